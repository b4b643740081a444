// What playing a video costs through each of the player's video outputs,
// beside the mpv command line drawing into a window of the same size: CPU of
// the whole process as a share of one core, and the frames mpv dropped. Needs
// a display, for example:
//
//     xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_videocpu [seconds]
//
// It makes 1280x720 and 640x360 test patterns of 20 s (or the seconds given)
// with ffmpeg, then plays each one to its end in a fresh process per output:
// this program again (--play auto|opengl|software <clip>), mpv --vo=x11 and
// mpv --vo=gpu --gpu-sw. Sound goes nowhere (ao=null) in every run.
#include "BenchEngine.h"
#include "app/Form1.h"
#include "engine/mpv/MpvRenderSurface.h"
#include "widgets/QtCommonDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

// CPU seconds of every child process that has ended so far.
double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The output the engine chose and mpv's count of frames dropped at it, as
// the engine logs them when the surface is made and when a medium ends.
QString chosenOutput = QStringLiteral("none");
QString droppedFrames = QStringLiteral("-1");
QtMessageHandler passOn = nullptr;

void noteVideoLog(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static const QString dropped = QStringLiteral("Video frames dropped: ");
    static const QString output = QStringLiteral("Video output: ");
    if (qstrcmp(context.category, "corvel.video") == 0 && message.startsWith(dropped))
        droppedFrames = message.mid(dropped.size());
    if (qstrcmp(context.category, "corvel.video") == 0 && message.startsWith(output))
        chosenOutput = message.mid(output.size()).section(u' ', 0, 0);
    if (passOn)
        passOn(type, context, message);
}

// One clip played in the real window through one output; prints one line of
// key=value pairs for the parent to read.
int playOne(QApplication &app, const QString &outputName, const QString &clip)
{
    passOn = qInstallMessageHandler(noteVideoLog);
    MpvEngine::Options options;
    options.audio = false;
    options.videoOutput = parseVideoOutput(outputName).value_or(VideoOutput::Auto);
    const auto engineOwner = startEngine(options);
    MpvEngine &engine = *engineOwner;
    QtCommonDialog dialog;
    Form1 window(engine, dialog);
    dialog.setParentWidget(&window);
    window.show();

    QObject::connect(&engine, &MediaEngine::endOfStream, &app, [&] {
        auto *surface = dynamic_cast<MpvRenderSurface *>(
            engine.widget()->findChild<QWidget *>(QStringLiteral("videoSurface")));
        const QSize size = surface ? surface->widget()->size() : QSize();
        std::printf("RESULT output=%s surface=%dx%d drawn=%lld skipped=%lld dropped=%s\n",
                    qPrintable(chosenOutput), size.width(), size.height(),
                    surface ? surface->framesDrawn() : 0LL,
                    surface ? surface->framesSkipped() : 0LL, qPrintable(droppedFrames));
        std::fflush(stdout);
        QApplication::quit();
    });
    // Give the window a moment to appear, so its surface exists.
    QTimer::singleShot(300, &engine, [&] { engine.setUrl(clip); });
    QTimer::singleShot(600000, &app, [] {
        std::fprintf(stderr, "the clip did not end within 10 minutes\n");
        QApplication::exit(1);
    });
    return QApplication::exec();
}

bool makeClip(const QString &path, QSize size, int seconds)
{
    QProcess ffmpeg;
    const QString source = QStringLiteral("testsrc=s=%1x%2:r=25:d=%3")
                               .arg(size.width())
                               .arg(size.height())
                               .arg(seconds);
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-hide_banner",
                                            "-nostdin",
                                            "-loglevel",
                                            "error",
                                            "-y",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            source,
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            QStringLiteral("sine=d=%1").arg(seconds),
                                            "-c:v",
                                            "libx264",
                                            "-preset",
                                            "veryfast",
                                            "-pix_fmt",
                                            "yuv420p",
                                            "-c:a",
                                            "aac",
                                            path});
    return ffmpeg.waitForFinished(600000) && ffmpeg.exitCode() == 0;
}

struct Run
{
    QString label;
    double cpuPercent = -1;
    double wall = 0;
    QString dropped = QStringLiteral("?");
    QString surface;
    QString output;
    bool ok = false;
};

// Runs a program to its end and measures it; its output is kept for parsing.
Run measure(const QString &label, const QString &program, const QStringList &arguments,
            QString *output)
{
    Run run;
    run.label = label;
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const double cpuBefore = childCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(600000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.wall = double(clock.elapsed()) / 1000.0;
    run.cpuPercent = 100.0 * (childCpuSeconds() - cpuBefore) / run.wall;
    run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (!run.ok)
        std::fprintf(stderr, "%s failed:\n%s\n", qPrintable(label),
                     qPrintable(QString::fromLocal8Bit(process.readAllStandardError())));
    return run;
}

QString field(const QString &text, const QString &key)
{
    const QRegularExpression pattern(QStringLiteral("\\b%1=(\\S+)").arg(key));
    return pattern.match(text).captured(1);
}

Run ours(const QString &self, const QString &output, const QString &clip)
{
    QString text;
    Run run = measure(QStringLiteral("corvel %1").arg(output), self,
                      {QStringLiteral("--play"), output, clip}, &text);
    run.output = field(text, QStringLiteral("output"));
    run.surface = field(text, QStringLiteral("surface"));
    run.dropped = field(text, QStringLiteral("dropped"));
    if (!run.output.isEmpty() && output == QLatin1String("auto"))
        run.label += QStringLiteral(" (%1)").arg(run.output);
    run.ok = run.ok && !run.surface.isEmpty();
    return run;
}

Run mpv(const QString &label, const QStringList &vo, const QString &surface, const QString &script,
        const QString &clip)
{
    QString text;
    QStringList arguments{"--no-config",
                          "--ao=null",
                          "--hwdec=no",
                          "--really-quiet",
                          "--keepaspect-window=no",
                          "--geometry=" + surface,
                          "--script=" + script};
    Run run = measure(label, QStringLiteral("mpv"), arguments + vo + QStringList{clip}, &text);
    run.dropped = field(text, QStringLiteral("dropped"));
    run.surface = surface;
    return run;
}

int benchmark(const QString &self, int seconds)
{
    QTemporaryDir folder;
    // mpv tells its dropped frames just before it lets the clip go.
    const QString script = folder.filePath(QStringLiteral("drops.lua"));
    QFile lua(script);
    if (!lua.open(QIODevice::WriteOnly) ||
        lua.write(
            "mp.add_hook('on_unload', 50, function()\n"
            "  io.stdout:write('dropped=' .. mp.get_property('frame-drop-count', '?') .. '\\n')\n"
            "end)\n") < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(script));
        return 1;
    }
    lua.close();

    for (const QSize size : {QSize(1280, 720), QSize(640, 360)}) {
        const QString clip = folder.filePath(QStringLiteral("clip%1.mp4").arg(size.height()));
        if (!makeClip(clip, size, seconds)) {
            std::fprintf(stderr, "ffmpeg could not make %s\n", qPrintable(clip));
            return 1;
        }
        QList<Run> runs;
        runs << ours(self, QStringLiteral("auto"), clip);
        runs << ours(self, QStringLiteral("opengl"), clip);
        runs << ours(self, QStringLiteral("software"), clip);
        const QString surface = runs.first().surface;
        if (surface.isEmpty()) {
            std::fprintf(stderr, "the player did not report its video size\n");
            return 1;
        }
        runs << mpv(QStringLiteral("mpv --vo=x11"), {QStringLiteral("--vo=x11")}, surface, script,
                    clip);
        runs << mpv(QStringLiteral("mpv --vo=gpu --gpu-sw"),
                    {QStringLiteral("--vo=gpu"), QStringLiteral("--gpu-sw")}, surface, script,
                    clip);

        std::printf("\n%dx%d clip, %d s, video area %s\n", size.width(), size.height(), seconds,
                    qPrintable(surface));
        std::printf("  %-30s %7s %8s %9s\n", "path", "CPU %", "wall s", "dropped");
        for (const Run &run : runs) {
            std::printf("  %-30s %7.1f %8.2f %9s%s\n", qPrintable(run.label), run.cpuPercent,
                        run.wall, qPrintable(run.dropped), run.ok ? "" : "  (failed)");
        }
        const auto ratio = [&](int ourRun, int theirRun) {
            return runs[theirRun].cpuPercent > 0
                       ? runs[ourRun].cpuPercent / runs[theirRun].cpuPercent
                       : 0.0;
        };
        std::printf("  auto / mpv --vo=x11:   %.2fx (target at most 1.15x)\n", ratio(0, 3));
        std::printf("  opengl / mpv --vo=gpu: %.2fx (target at most 1.15x)\n", ratio(1, 4));
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--play") == 0) {
        QApplication app(argc, argv);
        return playOne(app, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? qBound(2, QString::fromLocal8Bit(argv[1]).toInt(), 600) : 20;
    return benchmark(QCoreApplication::applicationFilePath(), seconds);
}
