// The real window with the real engine on a real X server: video must show in
// MPlayer1, upright and at the size of each screen mode, playback must go on
// when the window cannot be seen, and the window must answer while a subtitle
// takes seconds to draw, through both the OpenGL and the software surface.
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
const QColor lowerColour(20, 200, 40);

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

QSize devicePixels(QWidget *widget)
{
    return (QSizeF(widget->size()) * widget->devicePixelRatioF()).toSize();
}

// Whether the screen shows the clip's upper half above its lower half in
// this 4:3 picture, centred in the video's area.
bool upright(const QImage &screen, const QRect &video)
{
    const int height = qMin(video.height(), video.width() * 3 / 4);
    const QPoint centre = video.center();
    return near(screen.pixelColor(centre - QPoint(0, height / 4)), clipColour) &&
           near(screen.pixelColor(centre + QPoint(0, height / 4)), lowerColour);
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

// A styled subtitle of many lines, each asking for the costliest edge blur
// on every letter and turning all the while, so that no frame can reuse the
// one before: each takes mpv seconds to draw, in little memory.
QString slowSubtitle(int lines)
{
    QString script = QStringLiteral(
        "[Script Info]\nScriptType: v4.00+\nPlayResX: 384\nPlayResY: 288\n\n[V4+ Styles]\n"
        "Format: Name, Fontsize, PrimaryColour, Outline, Shadow, Alignment\n"
        "Style: Default,40,&H00FFFFFF,2,2,2\n\n[Events]\n"
        "Format: Layer, Start, End, Style, Text\n");
    for (int i = 0; i < lines; ++i) {
        script += QStringLiteral("Dialogue: 0,0:00:00.00,0:01:00.00,Default,"
                                 "{\\pos(%1,%2)\\fs60\\bord4\\blur20\\be127\\frz%3\\t(\\frz%4)}"
                                 "QWERTYUIOPASDFGHJKLZXCVBNMQWER\n")
                      .arg(i * 37 % 384)
                      .arg(i * 53 % 288)
                      .arg(i * 29 % 360)
                      .arg(i * 29 % 360 + 360);
    }
    return script;
}

// The longest time the window's thread went without running a timer's tick
// while condition was waited for, in milliseconds.
qint64 longestPauseUntil(const std::function<bool()> &condition, int waitMs)
{
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longest = qMax(longest, sinceTick.restart()); });
    ticker.start(50);
    QElapsedTimer total;
    total.start();
    while (!condition() && total.elapsed() < waitMs)
        QTest::qWait(50);
    return qMax(longest, sinceTick.elapsed());
}

// The window around a silent engine of its own, shown.
struct ShownForm
{
    ShownForm() { form.show(); }

    std::unique_ptr<MpvEngine> engine = makeEngine(silent());
    ScriptedDialog dialog;
    Form1 form{*engine, dialog};
};

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
    void uprightPictureFollowsTheScreenModes();
    void windowAnswersWhileASubtitleIsSlowToDraw();

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
    ShownForm shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form));
    MpvEngine &engine = *shown.engine;
    Form1 &form = shown.form;
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

void TestX11Video::uprightPictureFollowsTheScreenModes()
{
    const QString clip = m_media.path(QStringLiteral("halves.mp4"));
    QVERIFY(m_media.runFfmpeg(
        {"-f", "lavfi", "-i",
         QStringLiteral("color=c=0x%1:s=320x240:r=25,drawbox=y=120:h=120:c=0x%2:t=fill")
             .arg(clipColour.rgb() & 0xffffff, 6, 16, QLatin1Char('0'))
             .arg(lowerColour.rgb() & 0xffffff, 6, 16, QLatin1Char('0')),
         "-t", "30", "-pix_fmt", "yuv420p", clip}));
    ShownForm shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form));
    MpvEngine &engine = *shown.engine;
    Form1 &form = shown.form;
    MpvRenderSurface *surface = videoSurfaceIn(engine.widget());
    engine.setUrl(clip);
    QTRY_VERIFY_WITH_TIMEOUT(surface->framesDrawn() > 2, timeout);

    QList<QSize> seen;
    const std::pair<const char *, const char *> modes[] = {{"Start", nullptr},
                                                           {"Small", "cmdSmallScreen_Click"},
                                                           {"Medium", "cmdMedium_Click"},
                                                           {"Original", "cmdOriginal_Click"},
                                                           {"Full", "cmdFullScreen_Click"}};
    for (const auto &[name, command] : modes) {
        if (command)
            runHandler(form, command);
        const QSize wanted = devicePixels(surface->widget());
        QTRY_VERIFY2_WITH_TIMEOUT(surface->frameSize() == wanted, name, timeout);
        QVERIFY2(!seen.contains(wanted), name);
        seen << wanted;
        // On the screen, upright, at each size.
        QTRY_VERIFY2_WITH_TIMEOUT(upright(screenOf(form), videoRect(engine, form)), name, timeout);
    }
}

void TestX11Video::windowAnswersWhileASubtitleIsSlowToDraw()
{
    // Inside the medium, where no file beside it can be lightened first.
    const QString script = m_media.textFile(QStringLiteral("script.ass"), slowSubtitle(60));
    const QString clip = m_media.path(QStringLiteral("slow.mkv"));
    const QStringList video =
        QStringLiteral("-f lavfi -i color=c=0xc81e28:s=320x240:r=25").split(u' ');
    const QStringList output = QStringLiteral("-t 60 -map 0:v -map 1:s -c:v libx264 -preset "
                                              "ultrafast -pix_fmt yuv420p -c:s ass "
                                              "-disposition:s:0 default")
                                   .split(u' ');
    QVERIFY(m_media.runFfmpeg(video + QStringList{"-i", script} + output + QStringList{clip}));
    ShownForm shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form));
    MpvEngine &engine = *shown.engine;
    MpvRenderSurface *surface = videoSurfaceIn(engine.widget());
    QTRY_VERIFY_WITH_TIMEOUT(surface->hasRenderContext(), timeout);

    engine.setUrl(clip);
    // Two frames with the subtitle: the first may come before mpv has read it.
    const qint64 pause =
        longestPauseUntil([surface] { return surface->framesDrawn() >= 3; }, 4 * timeout);
    QVERIFY2(surface->framesDrawn() >= 3, qPrintable(QString::number(surface->framesDrawn())));
    QVERIFY2(pause < 2000, qPrintable(QStringLiteral("window held for %1 ms").arg(pause)));

    // Stop reaches mpv while a frame is being drawn.
    engine.stop();
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Stopped"), 2 * timeout);
}

QTEST_MAIN(TestX11Video)
#include "tst_x11_video.moc"
