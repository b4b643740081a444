// What playing a video costs in the real window: CPU time and wall time of a
// whole clip played in MPlayer1, and how many frames were drawn. Needs a
// display with OpenGL, for example:
//
//     xvfb-run -a -s "-screen 0 1280x1024x24" bench_videocpu [clip]
//
// Without a clip it makes a 20 s 1280x720 test pattern with ffmpeg.
#include "app/Form1.h"
#include "browse/QtCommonDialog.h"
#include "playback/MpvEngine.h"
#include "playback/MpvVideoWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

#include "BenchClock.h"

namespace {

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QString clip = app.arguments().value(1);
    QTemporaryDir folder;
    if (clip.isEmpty()) {
        clip = folder.filePath(QStringLiteral("clip720.mp4"));
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"), {"-hide_banner",
                                                "-nostdin",
                                                "-loglevel",
                                                "error",
                                                "-y",
                                                "-f",
                                                "lavfi",
                                                "-i",
                                                "testsrc=s=1280x720:r=25:d=20",
                                                "-f",
                                                "lavfi",
                                                "-i",
                                                "sine=d=20",
                                                "-c:v",
                                                "libx264",
                                                "-preset",
                                                "veryfast",
                                                "-pix_fmt",
                                                "yuv420p",
                                                "-c:a",
                                                "aac",
                                                clip});
        if (!ffmpeg.waitForFinished(300000) || ffmpeg.exitCode() != 0) {
            std::fprintf(stderr, "ffmpeg could not make the clip\n");
            return 1;
        }
    }

    MpvEngine engine;
    QtCommonDialog dialog;
    Form1 window(engine, dialog);
    dialog.setParentWidget(&window);
    window.show();

    QElapsedTimer clock;
    double cpuAtStart = 0;
    QObject::connect(&engine, &MpvEngine::statusChanged, &app, [&](const QString &status) {
        if (status == QLatin1String("Playing") && !clock.isValid()) {
            clock.start();
            cpuAtStart = cpuSeconds();
        }
    });
    QObject::connect(&engine, &MediaEngine::endOfStream, &app, [&] {
        const double wall = double(clock.elapsed()) / 1000.0;
        const double cpu = cpuSeconds() - cpuAtStart;
        std::printf("%s\n  played in %.2f s wall; CPU %.2f s = %.0f%% of one core; "
                    "%lld frames drawn, %lld skipped\n",
                    qPrintable(clip), wall, cpu, 100.0 * cpu / wall,
                    engine.videoWidget() ? engine.videoWidget()->framesDrawn() : 0LL,
                    engine.videoWidget() ? engine.videoWidget()->framesSkipped() : 0LL);
        QApplication::quit();
    });
    // Give the window a moment to appear, so its surface exists.
    QTimer::singleShot(500, &engine, [&] { engine.setUrl(clip); });
    QTimer::singleShot(600000, &app, [] {
        std::fprintf(stderr, "the clip did not end within 10 minutes\n");
        QApplication::exit(1);
    });
    return QApplication::exec();
}
