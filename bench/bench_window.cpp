// Window figures: time from process start to the window shown, time to fill
// the file list for folders of 10,000 and 100,000 files, and the resident
// memory of the idle window. Prints figures; judges nothing.
//
//   bench_window            all figures (runs itself again for start-up)
//   bench_window --startup  one start-up, as the parent runs it
//
// Runs on any Qt platform: offscreen (the engine without video, as the
// real video surface needs a display) or xcb under xvfb-run (the player
// exactly as it starts).

#include "BenchEngine.h"
#include "app/Form1.h"
#include "engine/mpv/MpvEngine.h"
#include "widgets/FileListBox.h"
#include "widgets/QtCommonDialog.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <poll.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

qint64 monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// A field of /proc/self/status in kB, or -1.
long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

MpvEngine::Options engineOptions()
{
    // The offscreen platform cannot host the engine's OpenGL surface.
    MpvEngine::Options options;
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        options.video = false;
        options.audio = false;
    }
    return options;
}

// Child: start the player's window as main() does, report when it is on the
// screen, idle two seconds, report the memory, quit.
int startupChild(QApplication &app, qint64 mainEntered)
{
    const qint64 appReady = monotonicNs();
    const auto engineOwner = startEngine(engineOptions());
    MpvEngine &engine = *engineOwner;
    QtCommonDialog dialog;
    Form1 window(engine, dialog);
    dialog.setParentWidget(&window);

    struct FirstPaint : QObject
    {
        qint64 shown = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && shown == 0)
                // Once this paint is done and on its way to the screen.
                QTimer::singleShot(0, this, [this] { shown = monotonicNs(); });
            return false;
        }
    } firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    QTimer::singleShot(2000, &app, [&] {
        std::printf("shown %lld main %lld app %lld rss %ld\n", firstPaint.shown, mainEntered,
                    appReady, statusKb("VmRSS:"));
        std::fflush(stdout);
        app.quit();
    });
    return QApplication::exec();
}

// Child: the window as main() builds it; once Timer1 has had its first
// tick and turned itself off, every timer event of the process is counted
// for ten seconds, by receiver.
int idleChild(QApplication &app)
{
    const auto engineOwner = startEngine(engineOptions());
    MpvEngine &engine = *engineOwner;
    QtCommonDialog dialog;
    Form1 window(engine, dialog);
    dialog.setParentWidget(&window);
    window.show();

    struct TimerCount : QObject
    {
        std::map<QByteArray, int> byReceiver;
        bool eventFilter(QObject *receiver, QEvent *event) override
        {
            if (event->type() == QEvent::Timer) {
                QByteArray name = receiver->metaObject()->className();
                if (!receiver->objectName().isEmpty())
                    name += ' ' + receiver->objectName().toUtf8();
                ++byReceiver[name];
            }
            return false;
        }
    } count;
    QTimer::singleShot(3000, &app, [&] {
        const bool timerOn = window.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive();
        app.installEventFilter(&count);
        QTimer::singleShot(10000, &app, [&] {
            app.removeEventFilter(&count);
            int total = 0;
            for (const auto &[name, n] : count.byReceiver)
                total += n;
            // The single shot that ends this count is counted too.
            std::printf("Timer1 %s; timer events in 10 s: %d", timerOn ? "on" : "off", total);
            for (const auto &[name, n] : count.byReceiver)
                std::printf("%s %s x%d", name == count.byReceiver.begin()->first ? ":" : ",",
                            name.constData(), n);
            std::printf("\n");
            std::fflush(stdout);
            app.quit();
        });
    });
    return QApplication::exec();
}

void benchIdleTimers()
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--idle")});
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        std::printf("idle window: did not finish\n");
        return;
    }
    std::printf("idle window, in-process: %s", child.readAllStandardOutput().constData());
}

// ---- The player beside mpv, both as separate programs under X ----------

// A field of /proc/<pid>/status in kB, or -1.
long processStatusKb(qint64 pid, const char *field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Context switches of every thread of the process (each one a wake-up
// after sleeping or a preemption), and of its main thread alone.
std::pair<long, long> contextSwitches(qint64 pid)
{
    long all = 0, mainThread = 0;
    QDirIterator tasks(QStringLiteral("/proc/%1/task").arg(pid), QDir::Dirs | QDir::NoDotAndDotDot);
    while (tasks.hasNext()) {
        const qint64 tid = QFileInfo(tasks.next()).fileName().toLongLong();
        QFile status(QStringLiteral("/proc/%1/task/%2/status").arg(pid).arg(tid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        long n = 0;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:") ||
                line.startsWith("nonvoluntary_ctxt_switches:"))
                n += line.mid(line.indexOf(':') + 1).trimmed().toLong();
        all += n;
        if (tid == pid)
            mainThread = n;
    }
    return {all, mainThread};
}

// CPU milliseconds the process has used (user and system).
double processCpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which may hold blanks.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = double(fields.value(11).toLongLong() + fields.value(12).toLongLong());
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// Watches the X server for top-level windows being mapped, so both programs
// are timed the same way from outside.
class MapWatch
{
public:
    MapWatch()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr);
        m_pidAtom = atom ? atom->atom : XCB_NONE;
        free(atom);
        xcb_flush(m_connection);
        m_ok = m_pidAtom != XCB_NONE;
    }
    ~MapWatch() { xcb_disconnect(m_connection); }
    bool ok() const { return m_ok; }

    // Drops what was seen so far.
    void clear()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            free(event);
    }

    // The monotonic time at which a window of this process was mapped, or 0.
    qint64 waitForWindowOf(qint64 pid, int timeoutMs)
    {
        const qint64 until = monotonicNs() + qint64(timeoutMs) * 1000000;
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (monotonicNs() < until) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                const qint64 at = monotonicNs();
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t window =
                    mapped ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
                free(event);
                if (mapped && pidOf(window) == pid)
                    return at;
            }
            poll(&fd, 1, 5);
        }
        return 0;
    }

private:
    qint64 pidOf(xcb_window_t window)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        qint64 pid = -1;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = *static_cast<uint32_t *>(xcb_get_property_value(reply));
        free(reply);
        return pid;
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = XCB_NONE;
    bool m_ok = false;
};

struct ProgramFigures
{
    std::vector<double> shownMs, rssMiB;
    double idleCpuMs = -1;
    long idleSwitches = -1, idleMainSwitches = -1;
};

// Starts the program, times its window, reads its memory two seconds
// later and, when asked, its idle wake-ups and CPU over ten more seconds.
void runProgram(MapWatch &watch, const QString &program, const QStringList &arguments,
                ProgramFigures &figures, bool idle)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    watch.clear();
    const qint64 started = monotonicNs();
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        std::printf("  %s did not start\n", qPrintable(program));
        return;
    }
    const qint64 shown = watch.waitForWindowOf(process.processId(), 30000);
    if (shown == 0) {
        std::printf("  %s showed no window\n", qPrintable(program));
    } else {
        figures.shownMs.push_back(double(shown - started) / 1e6);
        QThread::msleep(2000);
        figures.rssMiB.push_back(double(processStatusKb(process.processId(), "VmRSS:")) / 1024.0);
        if (idle) {
            // Timer1's first tick has turned it off by now.
            QThread::msleep(1500);
            const auto [all, mainThread] = contextSwitches(process.processId());
            const double cpu = processCpuMs(process.processId());
            QThread::msleep(10000);
            const auto [allAfter, mainAfter] = contextSwitches(process.processId());
            figures.idleSwitches = allAfter - all;
            figures.idleMainSwitches = mainAfter - mainThread;
            figures.idleCpuMs = processCpuMs(process.processId()) - cpu;
        }
    }
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
}

void printProgram(const char *name, const ProgramFigures &f)
{
    if (f.shownMs.empty())
        return;
    std::printf("  %-28s window mapped %5.0f ms (best %.0f), idle resident %6.1f MiB, "
                "idle 10 s: %ld wake-ups (main thread %ld), %.0f ms CPU\n",
                name, median(f.shownMs), *std::min_element(f.shownMs.begin(), f.shownMs.end()),
                median(f.rssMiB), f.idleSwitches, f.idleMainSwitches, f.idleCpuMs);
}

void benchBesideMpv()
{
    const QString player = QDir(QCoreApplication::applicationDirPath())
                               .absoluteFilePath(QStringLiteral("../corvel-media-player"));
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    MapWatch watch;
    if (!watch.ok() || mpv.isEmpty() || !QFileInfo(player).isExecutable()) {
        std::printf("beside mpv: needs X, mpv and %s\n", qPrintable(player));
        return;
    }
    const int runs = 5;
    ProgramFigures ours, theirs;
    for (int run = 0; run < runs; ++run) {
        const bool idle = run == runs - 1;
        runProgram(watch, player, {}, ours, idle);
        runProgram(watch, mpv, {QStringLiteral("--idle"), QStringLiteral("--force-window")}, theirs,
                   idle);
    }
    std::printf("beside mpv, each started %d times in turns, process start to its window "
                "mapped on X (median):\n",
                runs);
    printProgram("corvel-media-player", ours);
    printProgram("mpv --idle --force-window", theirs);
    if (!ours.rssMiB.empty() && !theirs.rssMiB.empty())
        std::printf("  resident memory: ours is %+.0f%% of mpv's; start-up: ours %+.0f ms\n",
                    (median(ours.rssMiB) / median(theirs.rssMiB) - 1.0) * 100.0,
                    median(ours.shownMs) - median(theirs.shownMs));
}

void benchStartup()
{
    const int runs = 5;
    std::vector<double> toShown, mainToShown, appToShown, rss;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const qint64 started = monotonicNs();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup")});
        if (!child.waitForFinished(30000)) {
            std::printf("start-up run %d did not finish\n", run);
            child.kill();
            child.waitForFinished();
            continue;
        }
        long long shown = 0, mainEntered = 0, appReady = 0;
        long resident = 0;
        const QByteArray out = child.readAllStandardOutput();
        if (std::sscanf(out.constData(), "shown %lld main %lld app %lld rss %ld", &shown,
                        &mainEntered, &appReady, &resident) != 4 ||
            shown == 0) {
            std::printf("start-up run %d reported nothing: %s\n", run, out.constData());
            continue;
        }
        toShown.push_back(double(shown - started) / 1e6);
        mainToShown.push_back(double(shown - mainEntered) / 1e6);
        appToShown.push_back(double(shown - appReady) / 1e6);
        rss.push_back(double(resident) / 1024.0);
    }
    if (toShown.empty())
        return;
    std::printf("start-up, process start to window shown: median %.0f ms (best %.0f, worst %.0f) "
                "over %zu runs\n",
                median(toShown), *std::min_element(toShown.begin(), toShown.end()),
                *std::max_element(toShown.begin(), toShown.end()), toShown.size());
    std::printf("  main() entered to window shown: median %.0f ms\n", median(mainToShown));
    std::printf("  application object ready to window shown (engine, window, first paint): "
                "median %.0f ms\n",
                median(appToShown));
    std::printf("resident memory of the idle window (2 s after start): median %.1f MiB\n",
                median(rss));
}

// Names like a real media folder: six in ten match the file list's pattern.
void makeFolder(const QString &path, int files)
{
    static const char *const types[] = {"mp3", "MP4", "avi", "wav", "jpg",
                                        "Mkv", "wma", "txt", "m4a", "mov"};
    for (int i = 0; i < files; ++i) {
        QFile file(QStringLiteral("%1/Track %2 - Artist %3.%4")
                       .arg(path)
                       .arg(i, 6, 10, QLatin1Char('0'))
                       .arg(i % 97)
                       .arg(QLatin1String(types[i % 10])));
        file.open(QIODevice::WriteOnly);
    }
}

void benchFill(QApplication &app, int files)
{
    QTemporaryDir folder;
    makeFolder(folder.path(), files);
    const auto engineOwner = startEngine(engineOptions());
    MpvEngine &engine = *engineOwner;
    QtCommonDialog dialog;
    Form1 window(engine, dialog);
    window.show();
    app.processEvents();
    auto *list = window.findChild<FileListBox *>(QStringLiteral("FileList"));
    const QString elsewhere = QDir::tempPath();

    std::vector<double> wall, cpu, shown;
    for (int run = 0; run < 7; ++run) {
        list->setPath(elsewhere);
        app.processEvents();
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        list->setPath(folder.path());
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);
        app.processEvents(); // lay out and paint the new rows
        shown.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("fill FileList, %d files (%d listed): median %.1f ms wall, %.1f ms CPU; "
                "%.1f ms until painted\n",
                files, list->listCount(), median(wall), median(cpu), median(shown));
}

} // namespace

int main(int argc, char *argv[])
{
    const qint64 mainEntered = monotonicNs();
    QApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--startup")))
        return startupChild(app, mainEntered);
    if (app.arguments().contains(QStringLiteral("--idle")))
        return idleChild(app);

    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    benchStartup();
    benchIdleTimers();
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        benchBesideMpv();
    for (int files : {10000, 100000})
        benchFill(app, files);
    return 0;
}
