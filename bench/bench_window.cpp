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

#include "app/Form1.h"
#include "browse/FileListBox.h"
#include "browse/QtCommonDialog.h"
#include "playback/MpvEngine.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
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
    MpvEngine engine(engineOptions());
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
    MpvEngine engine(engineOptions());
    QtCommonDialog dialog;
    Form1 window(engine, dialog);
    window.show();
    app.processEvents();
    auto *list = window.control<FileListBox>(QStringLiteral("FileList"));
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

    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    benchStartup();
    for (int files : {10000, 100000})
        benchFill(app, files);
    return 0;
}
