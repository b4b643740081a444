// The player beside mpv and VLC, each a separate program under X, started in
// turns: process start to its window mapped on the X server, a file given on
// the command line to its first frame on the screen (a solid red clip,
// watched in the window's pixels), and the resident memory and wake-ups of
// the idle window. Prints figures with their ratios; judges nothing.
//
//   xvfb-run -a -s "-ac -screen 0 1280x1024x24" build/bench/bench_startup [runs]
//
// VLC refuses to run as root; then it is started as the user nobody, which
// needs the X server without access control (-ac). Paths after the count
// are other builds of the player, timed beside this one.

#include "BenchClock.h"
#include "XWatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Context switches of every thread of the process: wake-ups and preemptions.
long contextSwitches(qint64 pid)
{
    long all = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(tid + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:") ||
                line.startsWith("nonvoluntary_ctxt_switches:"))
                all += line.mid(line.indexOf(':') + 1).trimmed().toLong();
    }
    return all;
}

// CPU milliseconds the process has used (user and system).
double processCpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = double(fields.value(11).toLongLong() + fields.value(12).toLongLong());
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

struct Program
{
    QString name;
    QString executable;
    QStringList idleArguments;
    // The clip is appended.
    QStringList fileArguments;
    // Started as the user nobody (VLC will not run as root).
    bool unprivileged = false;

    std::vector<double> mappedMs = {}, firstFrameMs = {}, residentMiB = {};
    double idleCpuMs = -1;
    long idleWakeUps = -1;
    int noFrame = 0;
};

void startProgram(QProcess &process, const Program &program, const QStringList &arguments,
                  const QString &home)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(QProcess::nullDevice());
    if (program.unprivileged) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral("setpriv"),
                      QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups"), program.executable} +
                          arguments);
    } else {
        process.start(program.executable, arguments);
    }
}

void stopProgram(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
}

// One start without a file: window mapped, memory once it has settled, and
// on request ten seconds of idle wake-ups and CPU.
void runIdle(XWatch &watch, Program &program, const QString &home, bool idleFigures)
{
    QProcess process;
    watch.clear();
    const qint64 started = monotonicNs();
    startProgram(process, program, program.idleArguments, home);
    if (!process.waitForStarted(10000))
        return;
    const qint64 mapped = watch.waitForWindowOf(process.processId(), 30000);
    if (mapped) {
        program.mappedMs.push_back(double(mapped - started) / 1e6);
        // Time for an engine loaded after the window to be in.
        QThread::msleep(3000);
        program.residentMiB.push_back(
            double(processStatusKb(QString::number(process.processId()), "VmRSS:")) / 1024.0);
        if (idleFigures) {
            QThread::msleep(1000);
            const long switches = contextSwitches(process.processId());
            const double cpu = processCpuMs(process.processId());
            QThread::msleep(10000);
            program.idleWakeUps = contextSwitches(process.processId()) - switches;
            program.idleCpuMs = processCpuMs(process.processId()) - cpu;
        }
    }
    stopProgram(process);
}

// One start with the clip: process start to the first red on the screen.
void runFile(XWatch &watch, Program &program, const QString &clip, const QString &home)
{
    QProcess process;
    watch.clear();
    const qint64 started = monotonicNs();
    startProgram(process, program, program.fileArguments + QStringList{clip}, home);
    if (!process.waitForStarted(10000))
        return;
    xcb_window_t window = 0;
    if (watch.waitForWindowOf(process.processId(), 30000, &window)) {
        const qint64 red = watch.waitForRed(window, 20000);
        if (red)
            program.firstFrameMs.push_back(double(red - started) / 1e6);
        else
            ++program.noFrame;
    }
    stopProgram(process);
}

void printRatio(const char *what, double ours, double theirs, const char *peer, double target)
{
    if (ours <= 0 || theirs <= 0)
        return;
    const double ratio = ours / theirs;
    std::printf("  %-26s ours / %-28s %5.2fx  (target at most %.2fx: %s)\n", what, peer, ratio,
                target, ratio <= target ? "met" : "missed");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    XWatch watch;
    if (!watch.ok()) {
        std::printf("needs an X server (run under xvfb-run)\n");
        return 1;
    }
    QTemporaryDir folder;
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther);
    const QString clip = folder.filePath(QStringLiteral("red.mp4"));
    const int made =
        QProcess::execute(QStringLiteral("ffmpeg"),
                          {QStringLiteral("-loglevel"), QStringLiteral("error"),
                           QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                           QStringLiteral("color=c=red:s=640x360:r=25"), QStringLiteral("-t"),
                           QStringLiteral("10"), QStringLiteral("-c:v"), QStringLiteral("libx264"),
                           QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), clip});
    if (made != 0) {
        std::printf("ffmpeg could not make the clip\n");
        return 1;
    }
    QFile::setPermissions(clip, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const QString home = folder.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    QFile::setPermissions(home, QFileDevice::Permissions(0x7777));

    std::vector<Program> programs;
    const QString player = QDir(QCoreApplication::applicationDirPath())
                               .absoluteFilePath(QStringLiteral("../corvel-media-player"));
    programs.push_back({QStringLiteral("corvel-media-player"), player, {}, {}});
    for (int i = 2; i < argc; ++i)
        programs.push_back({QStringLiteral("other build %1").arg(i - 1),
                            QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath(),
                            {},
                            {}});
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    if (!mpv.isEmpty())
        programs.push_back({QStringLiteral("mpv"),
                            mpv,
                            {QStringLiteral("--idle"), QStringLiteral("--force-window")},
                            {QStringLiteral("--vo=x11")}});
    const QString vlc = QStandardPaths::findExecutable(QStringLiteral("vlc"));
    if (!vlc.isEmpty())
        programs.push_back(
            {QStringLiteral("vlc"),
             vlc,
             {QStringLiteral("--no-qt-privacy-ask")},
             {QStringLiteral("--no-qt-privacy-ask"), QStringLiteral("--vout=xcb_x11")},
             geteuid() == 0});

    for (int run = 0; run < runs; ++run) {
        for (Program &program : programs) {
            runIdle(watch, program, home, run == runs - 1);
            runFile(watch, program, clip, home);
        }
    }

    std::printf("each started %d times in turns under X; medians (best in brackets)\n", runs);
    std::printf("  %-20s %22s %22s %14s %s\n", "program", "start to window mapped",
                "file to first frame", "idle resident", "idle 10 s");
    for (const Program &p : programs) {
        const auto best = [](const std::vector<double> &v) {
            return v.empty() ? -1.0 : *std::min_element(v.begin(), v.end());
        };
        std::printf(
            "  %-20s %12.0f ms (%4.0f) %12.0f ms (%4.0f) %10.1f MiB %ld wake-ups, %.0f ms "
            "CPU%s\n",
            qPrintable(p.name), median(p.mappedMs), best(p.mappedMs), median(p.firstFrameMs),
            best(p.firstFrameMs), median(p.residentMiB), p.idleWakeUps, p.idleCpuMs,
            p.noFrame ? qPrintable(QStringLiteral(" (no frame seen in %1 runs)").arg(p.noFrame))
                      : "");
    }
    std::printf("  (mpv: --idle --force-window without a file, --vo=x11 with one; "
                "vlc: Qt interface, --vout=xcb_x11 with a file)\n");
    const Program &ours = programs.front();
    for (const Program &peer : programs) {
        if (&peer == &ours)
            continue;
        if (peer.name.startsWith(QLatin1String("other build"))) {
            std::printf("  %s: start to window mapped %.2fx, first frame %.2fx, memory %.2fx of "
                        "it\n",
                        qPrintable(peer.name), median(ours.mappedMs) / median(peer.mappedMs),
                        median(ours.firstFrameMs) / median(peer.firstFrameMs),
                        median(ours.residentMiB) / median(peer.residentMiB));
            continue;
        }
        if (peer.name == QLatin1String("vlc")) {
            printRatio("start to window mapped", median(ours.mappedMs), median(peer.mappedMs),
                       "vlc", 0.5);
            printRatio("idle resident memory", median(ours.residentMiB), median(peer.residentMiB),
                       "vlc", 0.9);
            printRatio("file to first frame", median(ours.firstFrameMs), median(peer.firstFrameMs),
                       "vlc", 1.0);
        } else {
            printRatio("start to window mapped", median(ours.mappedMs), median(peer.mappedMs),
                       "mpv --idle --force-window", 1.0);
            printRatio("idle resident memory", median(ours.residentMiB), median(peer.residentMiB),
                       "mpv --idle --force-window", 1.0);
            printRatio("file to first frame", median(ours.firstFrameMs), median(peer.firstFrameMs),
                       "mpv --vo=x11 FILE", 1.0);
        }
    }
    return 0;
}
