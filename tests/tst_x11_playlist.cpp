// The play list and the Open command in the real window, with the real engine,
// Qt's own file dialog and generated clips on a real X server.
#include "app/Form1.h"
#include "engine/mpv/MpvRenderSurface.h"
#include "support/FormAccess.h"
#include "support/RealEngine.h"
#include "support/TestMedia.h"
#include "widgets/LabelButton.h"
#include "widgets/PlayListBox.h"
#include "widgets/QtCommonDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <functional>

namespace {

constexpr int timeout = 20000;
const QColor red(200, 30, 40);
const QColor green(30, 180, 60);
const QColor blue(40, 60, 200);

bool near(const QColor &a, const QColor &b, int tolerance = 40)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// Answers the next file dialog the way a user does: types the path into the
// name box, optionally leaves a picture of the screen, and presses Open.
void answerFileDialog(const QString &path, const QString &screenshot = QString())
{
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path, screenshot] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        if (!screenshot.isEmpty()) {
            QTest::qWait(300);
            dialog->screen()->grabWindow(0).save(screenshot);
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
            ->button(QDialogButtonBox::Open)
            ->click();
    });
    poll->start();
}

MpvEngine::Options silent()
{
    MpvEngine::Options options;
    options.audio = false;
    return options;
}

} // namespace

class TestX11PlayList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void addClickStepAndOpen();

private:
    // Waits until the engine plays this clip and the video area shows its
    // colour, then keeps a picture of the window.
    void expectPlaying(const QString &clip, const QColor &colour, const QString &screenshot);

    TestMedia m_media;
    QString m_red, m_green, m_blue;
    MpvEngine *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void TestX11PlayList::initTestCase()
{
    m_red = m_media.colourClip(QStringLiteral("red.mp4"), 30.0, QSize(320, 240), red);
    m_green = m_media.colourClip(QStringLiteral("green.mp4"), 30.0, QSize(320, 240), green);
    // Upper case: the Add dialog's types match without regard to it.
    m_blue = m_media.colourClip(QStringLiteral("BLUE.MP4"), 30.0, QSize(320, 240), blue);
    QVERIFY2(!m_red.isEmpty() && !m_green.isEmpty() && !m_blue.isEmpty(),
             qPrintable(m_media.lastError()));
}

void TestX11PlayList::expectPlaying(const QString &clip, const QColor &colour,
                                    const QString &screenshot)
{
    QCOMPARE(m_engine->url(), clip);
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->status(), QStringLiteral("Playing"), timeout);
    QTRY_VERIFY(videoSurfaceIn(m_engine->widget()));
    QWidget *video = videoSurfaceIn(m_engine->widget())->widget();
    const QPoint centre = video->mapTo(m_form, video->rect().center());
    const auto shown = [&] {
        return m_form->screen()->grabWindow(m_form->winId()).toImage().pixelColor(centre);
    };
    QTRY_VERIFY_WITH_TIMEOUT(near(shown(), colour), timeout);
    QVERIFY(m_form->screen()->grabWindow(m_form->winId()).save(screenshot));
}

void TestX11PlayList::addClickStepAndOpen()
{
    const auto engineOwner = makeEngine(silent());
    MpvEngine &engine = *engineOwner;
    QtCommonDialog dialog;
    Form1 form(engine, dialog);
    dialog.setParentWidget(&form);
    m_engine = &engine;
    m_form = &form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY_WITH_TIMEOUT(videoSurfaceIn(engine.widget()) &&
                                 videoSurfaceIn(engine.widget())->hasRenderContext(),
                             timeout);

    auto *list = controlOf<PlayListBox>(form, "PlayList1");
    auto *add = controlOf<LabelButton>(form, "cmdAdd");
    auto *pfname = controlOf<QLineEdit>(form, "pfname");

    // Add three clips; nothing plays yet.
    answerFileDialog(m_red, QStringLiteral("x11_playlist_add_dialog.png"));
    QTest::mouseClick(add, Qt::LeftButton);
    answerFileDialog(m_green);
    QTest::mouseClick(add, Qt::LeftButton);
    answerFileDialog(m_blue);
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(list->listCount(), 3);
    QCOMPARE(list->list(2), m_blue);
    QCOMPARE(list->listIndex(), -1);
    QCOMPARE(engine.url(), QString());

    // A click on the second entry plays it.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    expectPlaying(m_green, green, QStringLiteral("x11_playlist_click.png"));
    QCOMPARE(pfname->text(), m_green);

    controlOf<QPushButton>(form, "cmdNext")->click();
    QCOMPARE(list->listIndex(), 2);
    expectPlaying(m_blue, blue, QStringLiteral("x11_playlist_next.png"));

    controlOf<QPushButton>(form, "cmdBack")->click();
    controlOf<QPushButton>(form, "cmdBack")->click();
    QCOMPARE(list->listIndex(), 0);
    expectPlaying(m_red, red, QStringLiteral("x11_playlist_previous.png"));

    // Open replaces the list by the chosen clip and plays it.
    answerFileDialog(m_blue, QStringLiteral("x11_playlist_open_dialog.png"));
    controlOf<QPushButton>(form, "cmdOpen")->click();
    QCOMPARE(list->listCount(), 1);
    QCOMPARE(list->listIndex(), 0);
    expectPlaying(m_blue, blue, QStringLiteral("x11_playlist_open.png"));
    QCOMPARE(pfname->text(), m_blue);
    QVERIFY(!controlOf<QPushButton>(form, "cmdRepeat")->isEnabled());
}

QTEST_MAIN(TestX11PlayList)
#include "tst_x11_playlist.moc"
