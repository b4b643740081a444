// Window figures: time from process start to the window shown, time to fill
// the file list for folders of 10,000 and 100,000 files, and the resident
// memory of the idle window. Prints figures; judges nothing.
//
//   bench_window            all figures (runs itself again for start-up)
//   bench_window --startup  one start-up, as the parent runs it
//   bench_window --steps    one start-up, step by step
//
// The player beside mpv and VLC, as separate programs, is bench_startup.
//
// Runs on any Qt platform: offscreen (the engine without video, as the
// real video surface needs a display) or xcb under xvfb-run (the player
// exactly as it starts).

#include "BenchClock.h"
#include "BenchEngine.h"
#include "app/Form1.h"
#include "commands/Commands.h"
#include "desktop/DesktopIntegration.h"
#include "engine/DeferredEngine.h"
#include "engine/mpv/MpvEngine.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/QtCommonDialog.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
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
#include <unistd.h>
#include <vector>

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
    // As the player does: the window first, the engine once it is painted.
    DeferredEngine engine;
    QtCommonDialog dialog;
    Form1 window(engine, dialog);
    dialog.setParentWidget(&window);

    struct FirstPaint : QObject
    {
        DeferredEngine *engine = nullptr;
        bool painted = false;
        qint64 shown = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && !painted) {
                painted = true;
                // Once this paint is done and on its way to the screen.
                QTimer::singleShot(0, this, [this] {
                    shown = monotonicNs();
                    engine->attach(startEngine(engineOptions()));
                });
            }
            return false;
        }
    } firstPaint;
    firstPaint.engine = &engine;
    window.installEventFilter(&firstPaint);
    window.show();
    QTimer::singleShot(2000, &app, [&] {
        std::printf("shown %lld main %lld app %lld rss %ld\n", firstPaint.shown, mainEntered,
                    appReady, processStatusKb(QStringLiteral("self"), "VmRSS:"));
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

// Child: the steps of start-up one by one, each timed on its own: the
// fonts, the window with its 51 controls (the drive, folder and file lists
// filled for the current folder, timed again on their own afterwards), the
// session bus, the first paint, and mpv's own initialisation.
int stepsChild(QApplication &app)
{
    QElapsedTimer clock;
    clock.start();
    const auto lap = [&clock] { return double(clock.nsecsElapsed()) / 1e6; };
    double t0 = lap();
    QFontDatabase::families();
    const double fonts = lap() - t0;
    DeferredEngine engine;
    QtCommonDialog dialog;
    t0 = lap();
    Form1 window(engine, dialog);
    const double built = lap() - t0;
    auto *folders = window.findChild<FolderList *>(QStringLiteral("Folders"));
    auto *files = window.findChild<FileListBox *>(QStringLiteral("FileList"));
    t0 = lap();
    folders->setPath(QDir::tempPath());
    files->setPath(QDir::tempPath());
    folders->setPath(QDir::currentPath());
    files->setPath(QDir::currentPath());
    const double lists = (lap() - t0) / 2;
    t0 = lap();
    DesktopIntegration desktop(window, window.commands(), window.playList(), engine, dialog);
    desktop.connectSessionBus();
    const double bus = lap() - t0;
    t0 = lap();
    window.show();
    window.repaint();
    const double paint = lap() - t0;
    t0 = lap();
    engine.attach(startEngine(engineOptions()));
    const double mpvInit = lap() - t0;
    std::printf("fonts %.1f window %.1f lists %.1f bus %.1f paint %.1f mpv %.1f\n", fonts, built,
                lists, bus, paint, mpvInit);
    std::fflush(stdout);
    Q_UNUSED(app);
    return 0;
}

void benchSteps()
{
    std::vector<double> columns[6];
    for (int run = 0; run < 7; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--steps")});
        if (!child.waitForFinished(60000)) {
            child.kill();
            child.waitForFinished();
            continue;
        }
        double v[6];
        if (std::sscanf(child.readAllStandardOutput().constData(),
                        "fonts %lf window %lf lists %lf bus %lf paint %lf mpv %lf", &v[0], &v[1],
                        &v[2], &v[3], &v[4], &v[5]) == 6)
            for (int i = 0; i < 6; ++i)
                columns[i].push_back(v[i]);
    }
    if (columns[0].empty())
        return;
    std::printf("start-up steps, median of %zu starts: fonts %.1f ms; the window and its 51 "
                "controls %.1f ms, of which filling the drive, folder and file lists about "
                "%.1f ms; session bus (MPRIS) %.1f ms; first paint %.1f ms; mpv's initialisation "
                "%.1f ms\n",
                columns[0].size(), median(columns[0]), median(columns[1]), median(columns[2]),
                median(columns[3]), median(columns[4]), median(columns[5]));
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
    std::printf("  application object ready to window shown (window, first paint): "
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
    if (app.arguments().contains(QStringLiteral("--steps")))
        return stepsChild(app);

    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    benchStartup();
    benchIdleTimers();
    benchSteps();
    for (int files : {10000, 100000})
        benchFill(app, files);
    return 0;
}
