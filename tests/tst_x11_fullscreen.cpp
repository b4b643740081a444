// The engine's own screen in the real window, with the real engine, on an X
// server with a window manager (openbox): full screen entered and left every
// way and the window given back control by control, the bar and the pointer
// resting, a subtitle on the picture and an error over it. The screens are
// saved as x11_fullscreen.png, x11_subtitle.png and x11_error.png in the
// working folder.
#include "app/Form1.h"
#include "engine/EngineMessage.h"
#include "engine/mpv/MpvRenderSurface.h"
#include "support/ControlBarParts.h"
#include "support/FormAccess.h"
#include "support/RealEngine.h"
#include "support/ScriptedDialog.h"
#include "support/TestMedia.h"
#include "support/WindowManager.h"

#include <QScreen>
#include <QtTest>

namespace {

constexpr int timeout = 20000;

enum class Way
{
    DoubleClick,
    KeyF,
    KeyF11,
    KeyEscape,
    BarButton
};

// Where every control is and whether it shows; the timers, which have no
// place, by whether they run.
QStringList layoutOf(const QWidget &form)
{
    QStringList layout;
    for (const char *timer : {"Timer1", "Timer2"})
        if (const auto *running = controlOf<QTimer>(form, timer))
            layout << QStringLiteral("%1 %2").arg(timer).arg(running->isActive());
    const QHash<QString, QWidget *> controls = visualControls(form);
    for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
        const QRect g = it.value()->geometry();
        layout << QStringLiteral("%1 %2,%3 %4x%5 %6")
                      .arg(it.key())
                      .arg(g.x())
                      .arg(g.y())
                      .arg(g.width())
                      .arg(g.height())
                      .arg(it.value()->isVisible() ? "shown" : "hidden");
    }
    layout.sort();
    return layout;
}

QImage screenOf(QWidget &window)
{
    return window.screen()->grabWindow(window.winId()).toImage();
}

} // namespace

Q_DECLARE_METATYPE(Way)

class TestX11FullScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowIsGivenBack_data();
    void windowIsGivenBack();
    void barAndPointerRest();
    void subtitleOnThePicture();
    void errorOverThePicture();

private:
    void use(Way way);

    WindowManager m_wm;
    TestMedia m_media;
    QString m_clip;
    std::unique_ptr<MpvEngine> m_engine;
    ScriptedDialog m_dialog;
    std::unique_ptr<Form1> m_form;
    QWidget *m_player = nullptr;
};

void TestX11FullScreen::initTestCase()
{
    QVERIFY2(m_wm.start(), qPrintable(m_wm.error()));
    m_clip =
        m_media.colourClip(QStringLiteral("blue.mp4"), 60.0, QSize(320, 240), QColor(20, 40, 160));
    QVERIFY2(!m_clip.isEmpty(), qPrintable(m_media.lastError()));
    MpvEngine::Options options;
    options.audio = false;
    m_engine = makeEngine(options);
    m_form = std::make_unique<Form1>(*m_engine, m_dialog);
    m_player = controlOf(*m_form, "MPlayer1");
    m_form->move(40, 30);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    // The window manager has framed the window.
    QTRY_VERIFY_WITH_TIMEOUT(m_form->frameGeometry() != m_form->geometry(), timeout);
    m_engine->setUrl(m_clip);
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->status(), QStringLiteral("Playing"), timeout);
}

void TestX11FullScreen::cleanupTestCase()
{
    m_form.reset();
    m_engine.reset();
}

void TestX11FullScreen::use(Way way)
{
    switch (way) {
    case Way::DoubleClick:
        QTest::mouseDClick(m_player, Qt::LeftButton, {}, QPoint(m_player->width() / 2, 60));
        break;
    case Way::KeyF:
    case Way::KeyF11:
    case Way::KeyEscape: {
        const Qt::Key key = way == Way::KeyF     ? Qt::Key_F
                            : way == Way::KeyF11 ? Qt::Key_F11
                                                 : Qt::Key_Escape;
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : m_form.get(), key);
        break;
    }
    case Way::BarButton:
        QTest::mouseClick(ControlBarParts(m_player).fullScreen, Qt::LeftButton);
        break;
    }
}

void TestX11FullScreen::windowIsGivenBack_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Way>("enter");
    QTest::addColumn<Way>("leave");
    QTest::newRow("double-click, Escape") << ""
                                          << "pfname" << Way::DoubleClick << Way::KeyEscape;
    QTest::newRow("F, Escape") << ""
                               << "cmdStop" << Way::KeyF << Way::KeyEscape;
    QTest::newRow("F11, F") << ""
                            << "FileList" << Way::KeyF11 << Way::KeyF;
    QTest::newRow("Full mode: bar button, double-click")
        << "cmdFullScreen_Click"
        << "cmdOriginal" << Way::BarButton << Way::DoubleClick;
    // In order: Full hides the play list that Original shows again.
    QTest::newRow("Original mode: double-click, F11")
        << "cmdOriginal_Click"
        << "pfname" << Way::DoubleClick << Way::KeyF11;
    QTest::newRow("Small mode: F, Escape") << "cmdSmallScreen_Click"
                                           << "cmdStop" << Way::KeyF << Way::KeyEscape;
}

void TestX11FullScreen::windowIsGivenBack()
{
    QFETCH(QString, mode);
    QFETCH(QString, focus);
    QFETCH(Way, enter);
    QFETCH(Way, leave);
    Form1 &form = *m_form;
    if (!mode.isEmpty())
        QVERIFY(runHandler(form, mode.toLatin1().constData()));
    QWidget *focused = controlOf(form, focus.toLatin1().constData());
    focused->setFocus();
    QTRY_VERIFY(focused->hasFocus());
    const QStringList layoutBefore = layoutOf(form);
    // 48 controls with a place, two timers; the common dialog is a service.
    QCOMPARE(layoutBefore.size(), 50);
    const QRect windowBefore = form.geometry();
    const QRect frameBefore = form.frameGeometry();

    use(enter);
    QTRY_VERIFY(m_engine->fullScreen());
    const QRect screen = form.screen()->geometry();
    QTRY_COMPARE_WITH_TIMEOUT(form.geometry(), screen, timeout);
    QVERIFY(form.windowState() & Qt::WindowFullScreen);
    QTRY_COMPARE(m_player->geometry(), form.rect());
    QCOMPARE(QRect(m_player->mapToGlobal(QPoint(0, 0)), m_player->size()), screen);
    if (QTest::currentDataTag() == QLatin1String("double-click, Escape")) {
        QTRY_VERIFY_WITH_TIMEOUT(
            videoSurfaceIn(m_player) && videoSurfaceIn(m_player)->framesDrawn() > 10, timeout);
        const QImage shot = form.screen()->grabWindow(0).toImage();
        QVERIFY(shot.save(QStringLiteral("x11_fullscreen.png")));
        QCOMPARE(shot.size(), screen.size());
        // The window's controls are covered: none shows on the screen.
        const QColor atList = shot.pixelColor(controlOf(form, "PlayList1")->geometry().center());
        QVERIFY2(atList.red() < 60 && atList.green() < 80, qPrintable(atList.name()));
    }

    use(leave);
    QTRY_VERIFY(!m_engine->fullScreen());
    QTRY_VERIFY_WITH_TIMEOUT(!(form.windowState() & Qt::WindowFullScreen), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(form.geometry(), windowBefore, timeout);
    QTRY_COMPARE(form.frameGeometry(), frameBefore);
    QCOMPARE(layoutOf(form), layoutBefore);
    QTRY_VERIFY(focused->hasFocus());
}

void TestX11FullScreen::barAndPointerRest()
{
    Form1 &form = *m_form;
    controlOf(form, "cmdStop")->setFocus(); // letters stay with a list
    const QPoint picture(m_player->width() / 2, 80);
    QTest::mouseMove(m_player, picture);
    use(Way::KeyF);
    QTRY_COMPARE_WITH_TIMEOUT(m_player->geometry(), form.rect(), timeout);
    auto *bar = m_player->findChild<QWidget *>(QStringLiteral("engineControlBar"));
    QVERIFY(bar && bar->isVisible());
    // A generous bound: the bar goes after two seconds of rest.
    QTRY_VERIFY_WITH_TIMEOUT(!bar->isVisible(), timeout);
    QCOMPARE(m_player->cursor().shape(), Qt::BlankCursor);
    QTest::mouseMove(m_player, picture + QPoint(40, 30));
    QTRY_VERIFY(bar->isVisible());
    QCOMPARE(m_player->cursor().shape(), Qt::ArrowCursor);
    use(Way::KeyEscape);
    QTRY_VERIFY_WITH_TIMEOUT(!(form.windowState() & Qt::WindowFullScreen), timeout);
    QVERIFY(bar->isVisible());
}

void TestX11FullScreen::subtitleOnThePicture()
{
    const QString words = m_media.bytesFile(
        QStringLiteral("words.srt"), "1\n00:00:00,000 --> 00:10:00,000\nWHITE WORDS ON BLUE\n\n");
    // From its start again (the clip may have ended by now), on a picture
    // large enough to read: the rows before left it in the Small mode.
    QVERIFY(runHandler(*m_form, "cmdMedium_Click"));
    m_engine->setUrl(m_clip);
    m_engine->addSubtitleFile(words);
    QWidget *video = videoSurfaceIn(m_player)->widget();
    const QRect area(video->mapTo(m_form.get(), QPoint(0, 0)), video->size());
    // The lowest fifth of the picture, where subtitles go, gets white letters.
    const auto whiteInSubtitleStrip = [&] {
        const QImage shot = screenOf(*m_form);
        int white = 0;
        for (int y = area.bottom() - area.height() / 5; y < area.bottom(); ++y)
            for (int x = area.left(); x < area.right(); x += 2)
                white += shot.pixelColor(x, y).lightness() > 220;
        return white;
    };
    QTRY_VERIFY_WITH_TIMEOUT(whiteInSubtitleStrip() > 50, timeout);
    QVERIFY(screenOf(*m_form).save(QStringLiteral("x11_subtitle.png")));

    // Off hides it.
    m_engine->selectTrack(MediaTrack::Type::Subtitle, 0);
    QTRY_COMPARE_WITH_TIMEOUT(whiteInSubtitleStrip(), 0, timeout);
}

void TestX11FullScreen::errorOverThePicture()
{
    const QString broken = m_media.textFile(QStringLiteral("broken.wpl"),
                                            QStringLiteral("<?wpl version=\"1.0\"?><smil><bo"));
    m_dialog.answerOpen(broken);
    QVERIFY(runHandler(*m_form, "cmdPLLoad_Click"));
    auto *message = m_player->findChild<EngineMessage *>(QStringLiteral("engineMessage"));
    QVERIFY(message);
    QTRY_VERIFY_WITH_TIMEOUT(message->isVisible(), 2000);
    QVERIFY2(message->text().startsWith(QLatin1String("Error: ")), qPrintable(message->text()));
    QVERIFY2(message->text().contains(QLatin1String("broken.wpl")), qPrintable(message->text()));
    QCoreApplication::processEvents();
    m_form->repaint();
    const QImage shot = screenOf(*m_form);
    QVERIFY(shot.save(QStringLiteral("x11_error.png")));
    // On the screen, over the picture: the message's own dark box.
    const QPoint corner = message->mapTo(m_form.get(), QPoint(3, 3));
    QCOMPARE(shot.pixelColor(corner), message->palette().color(QPalette::Window));
    QVERIFY(m_dialog.messages.isEmpty());
}

QTEST_MAIN(TestX11FullScreen)
#include "tst_x11_fullscreen.moc"
