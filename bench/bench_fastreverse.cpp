// Fast reverse on the real engine: how soon it moves, how fast it runs back,
// how many frames it shows and what it costs, on 20 s 1280x720 H.264 clips
// with a key frame every 10 s (the encoder's default) and every second.
//
//     bench_fastreverse [clip ...]
//
// Without arguments it makes its clips with ffmpeg in a temporary folder.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <sys/resource.h>

#include "BenchClock.h"
#include "BenchEngine.h"

namespace {

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool makeClip(const QString &path, int keyFrameInterval)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-hide_banner", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                  "testsrc=s=1280x720:r=25:d=20", "-c:v", "libx264", "-preset", "veryfast", "-g",
                  QString::number(keyFrameInterval), "-pix_fmt", "yuv420p", path});
    return ffmpeg.waitForFinished(300000) && ffmpeg.exitCode() == 0;
}

void measure(const QString &clip)
{
    QTextStream out(stdout);
    MpvEngine::Options options;
    options.video = false;
    options.audio = false;
    const auto engineOwner = startEngine(options);
    MpvEngine &engine = *engineOwner;
    engine.setUrl(clip);
    if (!waitFor([&] { return engine.status() == QLatin1String("Playing"); }, 30000)) {
        out << clip << ": did not start (" << engine.status() << ")\n";
        return;
    }
    engine.seek(19.5);
    engine.pause();
    waitFor([&] { return engine.position().value_or(0) > 19.4; }, 30000);

    const double from = engine.position().value_or(0);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    engine.fastReverse();

    double firstMove = -1;
    int frames = 0;
    double last = from;
    const bool reachedStart = waitFor(
        [&] {
            const double now = engine.position().value_or(last);
            if (now != last) {
                ++frames;
                if (firstMove < 0)
                    firstMove = double(clock.elapsed()) / 1000.0;
                last = now;
            }
            return engine.status() == QLatin1String("Stopped");
        },
        120000);
    const double wall = double(clock.elapsed()) / 1000.0;
    const double cpu = cpuSeconds() - cpuBefore;

    out << clip << "\n";
    if (!reachedStart) {
        out << "  did not reach the start within 120 s\n";
        return;
    }
    out << QStringLiteral("  %1 s of media back in %2 s: %3x; first move after %4 s\n")
               .arg(from, 0, 'f', 1)
               .arg(wall, 0, 'f', 2)
               .arg(from / wall, 0, 'f', 2)
               .arg(firstMove, 0, 'f', 2);
    out << QStringLiteral("  %1 positions shown (%2 a second); CPU %3 s (%4% of one core); "
                          "peak resident %5 MB\n")
               .arg(frames)
               .arg(frames / wall, 0, 'f', 1)
               .arg(cpu, 0, 'f', 2)
               .arg(100.0 * cpu / wall, 0, 'f', 0)
               .arg(peakKilobytes() / 1024);
    out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList clips = app.arguments().mid(1);
    QTemporaryDir folder;
    if (clips.isEmpty()) {
        for (const int interval : {250, 25}) {
            const QString clip = folder.filePath(QStringLiteral("gop%1.mp4").arg(interval));
            if (!makeClip(clip, interval)) {
                std::fprintf(stderr, "ffmpeg could not make %s\n", qPrintable(clip));
                return 1;
            }
            clips << clip;
        }
    }
    for (const QString &clip : clips)
        measure(clip);
    return 0;
}
