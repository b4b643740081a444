// The real window with the real engine on a real X server: video must show in
// MPlayer1 and playback must go on when the window cannot be seen, through
// both the OpenGL and the software surface.
#include "app/Form1.h"
#include "engine/mpv/MpvRenderSurface.h"
#include "support/ControlBarParts.h"
#include "support/FormAccess.h"
#include "support/RealEngine.h"
#include "support/ScriptedDialog.h"
#include "support/TestMedia.h"

#include <QScreen>
#include <QtTest>

namespace {

constexpr int timeout = 20000;
// The clip's colour; its trip through YUV and back moves it by a few steps.
const QColor clipColour(200, 30, 40);

bool near(const QColor &a, const QColor &b, int tolerance = 40)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// Video on through the output of the current test row.
MpvEngine::Options withOutput()
{
    QFETCH_GLOBAL(VideoOutput, output);
    MpvEngine::Options options;
    options.videoOutput = output;
    return options;
}

// The same, sound off: no sound card here, and one test of the fallback to
// no sound is enough.
MpvEngine::Options silent()
{
    MpvEngine::Options options = withOutput();
    options.audio = false;
    return options;
}

QRect videoRect(MpvEngine &engine, QWidget &form)
{
    QWidget *video = videoSurfaceIn(engine.widget())->widget();
    return QRect(video->mapTo(&form, QPoint(0, 0)), video->size());
}

double positionOf(const MpvEngine &engine)
{
    return engine.position().value_or(-1.0);
}

// What the X server shows of the window, not what Qt thinks it drew.
QImage screenOf(QWidget &window)
{
    return window.screen()->grabWindow(window.winId()).toImage();
}

} // namespace

class TestX11Video : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase_data();
    void initTestCase();
    void clipPlaysVisiblyInMPlayer1();
    void mediumOpenedBeforeTheWindowShowsToo();
    void playbackGoesOnWhileMinimisedOrHidden();

private:
    TestMedia m_media;
    QString m_clip;
};

void TestX11Video::initTestCase_data()
{
    QTest::addColumn<VideoOutput>("output");
    QTest::newRow("opengl") << VideoOutput::OpenGL;
    QTest::newRow("software") << VideoOutput::Software;
}

void TestX11Video::initTestCase()
{
    m_clip = m_media.colourClip(QStringLiteral("red.mp4"), 30.0, QSize(320, 240), clipColour, true);
    QVERIFY2(!m_clip.isEmpty(), qPrintable(m_media.lastError()));
}

void TestX11Video::clipPlaysVisiblyInMPlayer1()
{
    QFETCH_GLOBAL(VideoOutput, output);
    const auto engineOwner = makeEngine(withOutput());
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *player = controlOf(form, "MPlayer1");
    QVERIFY(player);
    QCOMPARE(player->geometry(), QRect(8, 8, 721, 537));
    QVERIFY(videoSurfaceIn(engine.widget()));
    QCOMPARE(videoOutputIn(engine.widget()), output);
    QTRY_VERIFY_WITH_TIMEOUT(videoSurfaceIn(engine.widget())->hasRenderContext(), timeout);

    engine.setUrl(m_clip);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(videoSurfaceIn(engine.widget())->framesDrawn() > 10, timeout);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 1.0, timeout);

    const QImage shot = screenOf(form);
    QVERIFY(shot.save(QStringLiteral("x11_video_%1.png").arg(videoOutputName(output))));
    const QRect video = videoRect(engine, form);
    const QColor middle = shot.pixelColor(video.center());
    QVERIFY2(near(middle, clipColour), qPrintable(describe(middle)));
    // The 4:3 clip keeps its shape: black bars at the sides of the wider area.
    const QColor side = shot.pixelColor(video.left() + 5, video.center().y());
    QVERIFY2(near(side, Qt::black, 20), qPrintable(describe(side)));

    // The seek slider is in full view, clear of the window's transport buttons.
    SeekSlider *seek = ControlBarParts(player).seek;
    QVERIFY(seek);
    const QRect slider(seek->mapTo(&form, QPoint(0, 0)), seek->size());
    for (QWidget *button : form.findChildren<QWidget *>()) {
        if (button->isVisible() && button->parentWidget() == &form && button != player)
            QVERIFY2(!button->geometry().intersects(slider), qPrintable(button->objectName()));
    }
}

void TestX11Video::mediumOpenedBeforeTheWindowShowsToo()
{
    const auto engineOwner = makeEngine(silent());
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    engine.setUrl(m_clip);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), timeout);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY_WITH_TIMEOUT(videoSurfaceIn(engine.widget())->framesDrawn() > 10, timeout);
    const QRect video = videoRect(engine, form);
    QTRY_VERIFY_WITH_TIMEOUT(near(screenOf(form).pixelColor(video.center()), clipColour), timeout);
}

void TestX11Video::playbackGoesOnWhileMinimisedOrHidden()
{
    const auto engineOwner = makeEngine(silent());
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    engine.setUrl(m_clip);
    QTRY_VERIFY_WITH_TIMEOUT(videoSurfaceIn(engine.widget())->framesDrawn() > 5, timeout);

    form.showMinimized();
    QTRY_VERIFY(form.windowState() & Qt::WindowMinimized);
    const double minimisedAt = positionOf(engine);
    const qint64 skippedBefore = videoSurfaceIn(engine.widget())->framesSkipped();
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > minimisedAt + 2.0, timeout);
    QVERIFY(videoSurfaceIn(engine.widget())->framesSkipped() > skippedBefore + 10);
    QCOMPARE(engine.status(), QStringLiteral("Playing"));

    // A hidden window is not exposed at all, whatever the window manager does.
    form.hide();
    const double hiddenAt = positionOf(engine);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > hiddenAt + 2.0, timeout);

    form.showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const qint64 drawnBefore = videoSurfaceIn(engine.widget())->framesDrawn();
    QTRY_VERIFY_WITH_TIMEOUT(videoSurfaceIn(engine.widget())->framesDrawn() > drawnBefore + 10,
                             timeout);
}

QTEST_MAIN(TestX11Video)
#include "tst_x11_video.moc"
