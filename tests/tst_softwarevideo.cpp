// The real engine drawing video through its software surface, which needs no
// OpenGL, so this runs on Qt's offscreen platform: the colours of generated
// clips, a window that cannot be seen drawing nothing while playback goes on,
// and the program's picture as a Wayland compositor shows it.
#include "app/Form1.h"
#include "engine/mpv/MpvSoftwareVideoWidget.h"
#include "support/FormAccess.h"
#include "support/RealEngine.h"
#include "support/ScriptedDialog.h"
#include "support/TestMedia.h"

#include <QtTest>

namespace {

constexpr int timeout = 20000;
const QColor red(220, 20, 30);
const QColor green(20, 200, 40);

bool near(const QColor &a, const QColor &b, int tolerance = 40)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

MpvEngine::Options software()
{
    MpvEngine::Options options;
    options.audio = false;
    options.videoOutput = VideoOutput::Software;
    return options;
}

double positionOf(const MpvEngine &engine)
{
    return engine.position().value_or(-1.0);
}

// What the surface paints, through its own paintEvent.
QImage shown(MpvRenderSurface &surface)
{
    return surface.widget()->grab().toImage();
}

QSize devicePixels(QWidget *widget)
{
    return (QSizeF(widget->size()) * widget->devicePixelRatioF()).toSize();
}

// The share of a compositor's screenshot, taken into folder, that shows this colour.
double shareOnScreen(const QString &shooter, const QProcessEnvironment &env, const QDir &folder,
                     const QColor &colour)
{
    QProcess shot;
    shot.setProcessEnvironment(env);
    shot.setWorkingDirectory(folder.path());
    shot.start(shooter, {});
    if (!shot.waitForFinished(10000) || shot.exitCode() != 0)
        return 0.0;
    const QStringList taken = folder.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Time);
    const QImage screen(taken.isEmpty() ? QString() : folder.filePath(taken.first()));
    qint64 matching = 0;
    for (int y = 0; y < screen.height(); y += 4) {
        for (int x = 0; x < screen.width(); x += 4)
            matching += near(screen.pixelColor(x, y), colour) ? 1 : 0;
    }
    return screen.isNull() ? 0.0 : matching * 16.0 / (qint64(screen.width()) * screen.height());
}

} // namespace

class TestSoftwareVideo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void coloursFollowTheClip();
    void hiddenOrMinimisedDrawsNothingAndPlaysOn();
    void programShowsItsPictureUnderWayland();

private:
    TestMedia m_media;
    QString m_red;
    QString m_green;
};

void TestSoftwareVideo::initTestCase()
{
    m_red = m_media.colourClip(QStringLiteral("red.mp4"), 30.0, QSize(320, 240), red);
    m_green = m_media.colourClip(QStringLiteral("green.mkv"), 30.0, QSize(320, 240), green);
    QVERIFY2(!m_red.isEmpty() && !m_green.isEmpty(), qPrintable(m_media.lastError()));
}

void TestSoftwareVideo::coloursFollowTheClip()
{
    const auto engineOwner = makeEngine(software());
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    MpvRenderSurface *surface = videoSurfaceIn(engine.widget());
    QVERIFY(dynamic_cast<MpvSoftwareVideoWidget *>(surface));
    QTRY_VERIFY_WITH_TIMEOUT(surface->hasRenderContext(), timeout);
    // Nothing to show yet: black, not garbage.
    QVERIFY(near(shown(*surface).pixelColor(surface->widget()->rect().center()), Qt::black, 10));

    engine.setUrl(m_red);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), timeout);
    const QPoint centre = surface->widget()->rect().center();
    QTRY_VERIFY_WITH_TIMEOUT(near(shown(*surface).pixelColor(centre), red), timeout);
    QVERIFY(surface->framesDrawn() > 0);
    QCOMPARE(surface->frameSize(), devicePixels(surface->widget()));
    // The 4:3 clip keeps its shape in the wider area: black bars at the sides.
    const QImage redShot = shown(*surface);
    QVERIFY(redShot.save(QStringLiteral("software_video_red.png")));
    const QColor side = redShot.pixelColor(3, centre.y());
    QVERIFY2(near(side, Qt::black, 20), qPrintable(describe(side)));

    engine.setUrl(m_green);
    QTRY_VERIFY_WITH_TIMEOUT(near(shown(*surface).pixelColor(centre), green), timeout);
    QVERIFY(shown(*surface).save(QStringLiteral("software_video_green.png")));
}

void TestSoftwareVideo::hiddenOrMinimisedDrawsNothingAndPlaysOn()
{
    const auto engineOwner = makeEngine(software());
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    MpvRenderSurface *surface = videoSurfaceIn(engine.widget());
    engine.setUrl(m_red);
    QTRY_VERIFY_WITH_TIMEOUT(surface->framesDrawn() > 5, timeout);

    runHandler(form, "cmdMinimize_Click");
    QTRY_VERIFY(form.windowState() & Qt::WindowMinimized);
    // A frame already on its way may still land; none after it.
    QTest::qWait(100);
    qint64 drawn = surface->framesDrawn();
    qint64 skipped = surface->framesSkipped();
    double from = positionOf(engine);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > from + 2.0, timeout);
    QCOMPARE(surface->framesDrawn(), drawn);
    QVERIFY(surface->framesSkipped() > skipped + 20);
    QCOMPARE(engine.status(), QStringLiteral("Playing"));

    form.showNormal();
    form.hide();
    QTest::qWait(100);
    drawn = surface->framesDrawn();
    skipped = surface->framesSkipped();
    from = positionOf(engine);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > from + 2.0, timeout);
    QCOMPARE(surface->framesDrawn(), drawn);
    QVERIFY(surface->framesSkipped() > skipped + 20);

    // Back on screen, the picture comes back at once.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY_WITH_TIMEOUT(surface->framesDrawn() > drawn + 10, timeout);
    QVERIFY(near(shown(*surface).pixelColor(surface->widget()->rect().center()), red));
}

void TestSoftwareVideo::programShowsItsPictureUnderWayland()
{
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    const QString shooter = QStandardPaths::findExecutable(QStringLiteral("weston-screenshooter"));
    if (weston.isEmpty() || shooter.isEmpty())
        QSKIP("weston is not installed");
    QTemporaryDir runtime;
    QVERIFY(QFile::setPermissions(runtime.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.remove(QStringLiteral("DISPLAY"));
    // Its screenshots need --debug; pixman gives the headless screen pixels.
    QProcess compositor;
    compositor.setProcessEnvironment(env);
    compositor.start(weston,
                     {QStringLiteral("--backend=headless-backend.so"),
                      QStringLiteral("--use-pixman"), QStringLiteral("--debug"),
                      QStringLiteral("--socket=corvel-test"), QStringLiteral("--width=1024"),
                      QStringLiteral("--height=768"), QStringLiteral("--idle-time=0")});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runtime.filePath(QStringLiteral("corvel-test"))),
                             timeout);

    env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("corvel-test"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    QProcess player;
    player.setProcessEnvironment(env);
    player.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../corvel-media-player"),
                 {QStringLiteral("--new-window"), QStringLiteral("--video-output"),
                  QStringLiteral("software"), m_red});
    QVERIFY(player.waitForStarted());
    QTemporaryDir shots;
    // The 4:3 clip fills well over a tenth of the screen once it shows; each
    // look takes a while, so the wait is bounded by the clock.
    QElapsedTimer clock;
    clock.start();
    double share = 0.0;
    while ((share = shareOnScreen(shooter, env, QDir(shots.path()), red)) <= 0.1 &&
           clock.elapsed() < timeout)
        QTest::qWait(500);
    QVERIFY2(share > 0.1, qPrintable(QString::number(share)));
    player.kill();
    player.waitForFinished();
    compositor.terminate();
    compositor.waitForFinished();
}

QTEST_MAIN(TestSoftwareVideo)
#include "tst_softwarevideo.moc"
