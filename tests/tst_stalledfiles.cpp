// Files that never answer, in the real engine: a medium whose every open
// waits (held by a lease in another process, as a file on a stalled network
// mount waits), and pipes beside a medium or named inside it, where mpv would
// look by itself. The window's thread must go on handling events and every
// command must still work; the pipes must not keep the medium from playing.
#include "commands/playlist/PlayListFiles.h"
#include "commands/playlist/PlayListPlayback.h"
#include "core/FileJob.h"
#include "support/FormFixture.h"
#include "support/RealEngine.h"
#include "support/TestFiles.h"
#include "support/TestMedia.h"
#include "widgets/PlayListBox.h"
#include "widgets/QtCommonDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QListView>
#include <QtTest>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int startTimeout = 15000;

// Another process holding a write lease on a file: until it lets go (or the
// kernel breaks the lease, 45 s by default), whoever else opens the file
// waits inside open().
class HeldFile
{
public:
    explicit HeldFile(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_child = ::fork();
        if (m_child == 0) {
            // Only calls that are safe after fork() in a threaded program.
            ::signal(SIGIO, SIG_IGN);
            ::alarm(40);
            const int fd = ::open(name.constData(), O_WRONLY);
            const char held = (fd >= 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) ? 'y' : 'n';
            (void)::write(ready[1], &held, 1);
            ::pause();
            ::_exit(0);
        }
        char held = 'n';
        if (m_child > 0 && ::read(ready[0], &held, 1) == 1)
            m_held = held == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~HeldFile() { release(); }
    bool held() const { return m_held; }
    void release()
    {
        if (m_child > 0) {
            ::kill(m_child, SIGKILL);
            ::waitpid(m_child, nullptr, 0);
            m_child = -1;
        }
    }

private:
    pid_t m_child = -1;
    bool m_held = false;
};

// Counts how often a 50 ms timer fired while events were handled.
int ticksDuring(int milliseconds)
{
    int ticks = 0;
    QTimer beat;
    beat.setInterval(50);
    QObject::connect(&beat, &QTimer::timeout, [&ticks] { ++ticks; });
    beat.start();
    QTest::qWait(milliseconds);
    return ticks;
}

bool makePipe(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

} // namespace

class TestStalledFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void commandsWorkWhileAFileWaits();
    void pipesBesideAMediumAreLeftAlone_data();
    void pipesBesideAMediumAreLeftAlone();
    void listsInsideAMediumNamingPipesAreRefused_data();
    void listsInsideAMediumNamingPipesAreRefused();
    void entrySwappedForAPipeWhileItOpens();
    void entryMadeAPipeAfterItWasLookedAt();
    void playListFilesThatWaitLeaveTheWindowFree_data();
    void playListFilesThatWaitLeaveTheWindowFree();
    void theFileDialogDoesNotReadTheFiles();

private:
    TestMedia m_media;
    QString m_tone; // 1.5 s
};

void TestStalledFiles::initTestCase()
{
    m_tone = m_media.wav(QStringLiteral("tone.wav"), 1.5);
    QVERIFY2(!m_tone.isEmpty(), qPrintable(m_media.lastError()));
}

void TestStalledFiles::commandsWorkWhileAFileWaits()
{
    const QString stalled = m_media.wav(QStringLiteral("stalled.wav"), 1.0);
    QVERIFY(!stalled.isEmpty());
    HeldFile hold(stalled);
    if (!hold.held())
        QSKIP("this file system takes no leases");

    auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    engine.setUrl(stalled);
    // Generous: 30 beats are due; a window held up by the file gets none.
    QVERIFY2(ticksDuring(1500) >= 10, "the window waited on the file");
    QCOMPARE(engine.status(), QStringLiteral("Opening"));
    // Not playing while nothing has opened, as the desktop's controls show it.
    QCOMPARE(engine.playbackState(), MediaEngine::PlaybackState::Stopped);
    engine.play();
    QCOMPARE(engine.playbackState(), MediaEngine::PlaybackState::Stopped);
    engine.stop();
    engine.setVolume(0);
    QCOMPARE(engine.volume(), 0);
    QVERIFY(ticksDuring(300) >= 2);

    // Another medium opens at once, the waiting one given up.
    engine.setUrl(m_tone);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(engine.duration() && qAbs(*engine.duration() - 1.5) < 0.05,
                             startTimeout);
    QCOMPARE(engine.playbackState(), MediaEngine::PlaybackState::Playing);

    // Exit while a file waits: the engine goes without waiting for it.
    engine.setUrl(stalled);
    QVERIFY(ticksDuring(300) >= 2);
    QElapsedTimer exit;
    exit.start();
    engineOwner.reset();
    QVERIFY2(exit.elapsed() < 10000, qPrintable(QString::number(exit.elapsed())));
    hold.release();

    // Once the file answers it plays like any other.
    auto again = makeEngine(MpvEngine::Options::headless());
    again->setUrl(stalled);
    QTRY_COMPARE_WITH_TIMEOUT(again->status(), QStringLiteral("Playing"), startTimeout);
}

void TestStalledFiles::pipesBesideAMediumAreLeftAlone_data()
{
    // The medium's name and the pipes made beside it, each where mpv looks
    // for subtitles, cover art or other parts of it.
    QTest::addColumn<QString>("medium");
    QTest::addColumn<QStringList>("pipes");
    QTest::newRow("subtitles") << "clip.wav" << QStringList{QStringLiteral("clip.srt")};
    QTest::newRow("subtitles with a language")
        << "clip.wav" << QStringList{QStringLiteral("clip.en.ass")};
    QTest::newRow("cover art by the medium's name")
        << "song.wav" << QStringList{QStringLiteral("song.jpg")};
    QTest::newRow("cover art of the folder")
        << "song.wav" << QStringList{QStringLiteral("cover.jpg"), QStringLiteral("Folder.png")};
}

void TestStalledFiles::pipesBesideAMediumAreLeftAlone()
{
    QFETCH(QString, medium);
    QFETCH(QStringList, pipes);
    const QString folder = m_media.path(QString::fromUtf8(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + u'/' + medium;
    QVERIFY(QFile::copy(m_tone, path));
    for (const QString &pipe : pipes)
        QVERIFY(makePipe(folder + u'/' + pipe));

    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    engine.setUrl(path);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, startTimeout);
}

void TestStalledFiles::listsInsideAMediumNamingPipesAreRefused_data()
{
    // A file mpv would read as a list of parts it opens itself; %1 a pipe,
    // %2 the tone.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a cue sheet naming a pipe")
        << "album.cue"
        << "FILE \"%1\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
        << "a cue sheet naming";
    QTest::newRow("a cue sheet naming another source")
        << "odd.cue"
        << "FILE \"av://lavfi:sine\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
        << "which is not a local file";
    QTest::newRow("an edit list") << "parts.wav"
                                  << "# mpv EDL v0\n%1,0,1\n%2,0,1\n"
                                  << "an edit list";
}

void TestStalledFiles::listsInsideAMediumNamingPipesAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, content);
    QFETCH(QString, reason);
    const QString pipe = m_media.path(name + QStringLiteral(".pipe"));
    QVERIFY(makePipe(pipe));
    const QString file = m_media.textFile(name, content.arg(pipe, m_tone));
    QVERIFY(!file.isEmpty());

    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    engine.setUrl(file);
    QTRY_VERIFY2_WITH_TIMEOUT(engine.status().startsWith(QLatin1String("Error: ")),
                              qPrintable(engine.status()), startTimeout);
    QVERIFY2(engine.status().contains(reason), qPrintable(engine.status()));
    QVERIFY(ticksDuring(300) >= 2);

    // The tone still opens after it.
    engine.setUrl(m_tone);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
}

void TestStalledFiles::entrySwappedForAPipeWhileItOpens()
{
    const QString pipe = m_media.path(QStringLiteral("swap.pipe"));
    QVERIFY(makePipe(pipe));
    const QString swapped = m_media.path(QStringLiteral("swapped.wav"));
    const QByteArray target = QFile::encodeName(swapped), spare = target + ".next";
    const QByteArray sources[] = {QFile::encodeName(m_tone), QFile::encodeName(pipe)};
    std::atomic<bool> swapping{true};
    std::thread swapper([&] {
        for (int i = 0; swapping; ++i, ::usleep(500))
            if (::link(sources[i % 2].constData(), spare.constData()) == 0)
                ::rename(spare.constData(), target.constData());
    });
    const auto engine = makeEngine(MpvEngine::Options::headless());
    for (int attempt = 0; attempt < 6; ++attempt) {
        engine->setUrl(swapped);
        QVERIFY(ticksDuring(300) >= 2);
        // It opens, or is refused, by itself;
        QTRY_VERIFY2_WITH_TIMEOUT(engine->status() != QLatin1String("Opening"),
                                  "still opening a name made a pipe", 5000);
        // Stop acts at once, whether it opened or was refused,
        engine->stop();
        QVERIFY2(engine->status() == QLatin1String("Stopped") ||
                     engine->status().startsWith(QLatin1String("Error: ")),
                 qPrintable(engine->status()));
        // and so does the next medium.
        engine->setUrl(m_tone);
        QTRY_COMPARE_WITH_TIMEOUT(engine->status(), QStringLiteral("Playing"), startTimeout);
    }
    swapping = false;
    swapper.join();
}

// The engine's look at the file waits on a lease; before it is let go, a
// pipe takes the name's place, so mpv opens a pipe the look never saw.
void TestStalledFiles::entryMadeAPipeAfterItWasLookedAt()
{
    const QString folder = m_media.path(QStringLiteral("late"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/late.wav");
    const QString pipe = folder + QStringLiteral("/late.pipe");
    QVERIFY(QFile::copy(m_tone, path));
    QVERIFY(makePipe(pipe));
    HeldFile hold(path);
    if (!hold.held())
        QSKIP("this file system takes no leases");
    auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    engine.setUrl(path);
    QVERIFY(ticksDuring(300) >= 2);
    QCOMPARE(engine.status(), QStringLiteral("Opening"));
    QCOMPARE(::rename(QFile::encodeName(pipe).constData(), QFile::encodeName(path).constData()), 0);
    hold.release();

    QTRY_VERIFY2_WITH_TIMEOUT(engine.status().startsWith(QLatin1String("Error: ")),
                              qPrintable(engine.status()), 5000);
    QVERIFY2(engine.status().contains(QLatin1String("a pipe or a device")),
             qPrintable(engine.status()));
    engine.setUrl(m_tone);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QElapsedTimer exit;
    exit.start();
    engineOwner.reset();
    QVERIFY2(exit.elapsed() < 10000, qPrintable(QString::number(exit.elapsed())));
}

void TestStalledFiles::playListFilesThatWaitLeaveTheWindowFree_data()
{
    // The command, the file of the working folder held up (with a second
    // name, so that it is written in place) and what the message says.
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("held");
    QTest::addColumn<bool>("twoNames");
    QTest::addColumn<QString>("said");
    QTest::newRow("Load List") << "cmdLoadList_Click"
                               << "PlayList1.txt" << false
                               << "PlayList1.txt could not be read in time";
    QTest::newRow("Generate, reading")
        << "cmdGenerate_Click"
        << "PlayList1.txt" << false << "PlayList1.txt or its pieces could not be read in time";
    QTest::newRow("Generate, writing")
        << "cmdGenerate_Click"
        << "PlayList1.wpl" << true << "it could not be written in time";
    QTest::newRow("Save List") << "cmdSaveList_Click"
                               << "saved.txt" << true << "could not be saved to %1 in time";
}

// A file a play-list command reads or writes, held as on a stalled mount:
// the window goes on, the command gives up at its deadline and says so,
// tries hold a few threads and no more, closing the window does not wait,
// and an answer that comes after all changes no file.
void TestStalledFiles::playListFilesThatWaitLeaveTheWindowFree()
{
    QFETCH(QString, handler);
    QFETCH(QString, held);
    QFETCH(bool, twoNames);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const auto back = qScopeGuard([&previous] { QDir::setCurrent(previous); });
    const QString path = dir.filePath(held);
    for (const QString &name : {QStringLiteral("Pl1.txt"), QStringLiteral("pl3.txt"),
                                QStringLiteral("PlayList1.txt"), held})
        QVERIFY(writeBytes(dir.filePath(name), "\"/m/new.mp3\"\r\n"));
    if (twoNames)
        QCOMPARE(::link(QFile::encodeName(path).constData(),
                        QFile::encodeName(path + QStringLiteral(".also")).constData()),
                 0);
    const auto filesNow = [&dir] {
        QHash<QString, QByteArray> files;
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            files.insert(name, readBytes(dir.filePath(name)));
        return files;
    };
    const QHash<QString, QByteArray> before = filesNow();
    auto hold = std::make_unique<HeldFile>(path);
    if (!hold->held())
        QSKIP("this file system takes no leases");
    auto fx = std::make_unique<FormFixture>();
    fx->form.findChild<PlayListFiles *>()->setDeadline(300);
    fx->form.findChild<PlayListPlayback *>()->setDeadline(300);
    auto &list = *fx->get<PlayListBox>("PlayList1");
    list.addEntry(QStringLiteral("/m/kept.mp3"));
    QStringList &told = fx->dialog.messages;
    const auto run = [&fx, &handler, &path] {
        fx->dialog.answerOpen(path);
        QVERIFY(fx->form.commands().trigger(handler));
    };

    run();
    QVERIFY2(ticksDuring(500) >= 4, "the window waited on the file");
    QTRY_COMPARE_WITH_TIMEOUT(told.size(), 1, 5000);
    QVERIFY2(told.first().contains(said.arg(path)), qPrintable(told.first()));
    QCOMPARE(list.list(list.listCount() - 1), QStringLiteral("/m/kept.mp3"));
    for (int i = 0; i < 20 && !told.last().contains(QLatin1String("earlier")); ++i) {
        run();
        QTRY_VERIFY_WITH_TIMEOUT(FileJob::outstanding() == 0, 5000);
    }
    QVERIFY2(told.last().contains(QStringLiteral("earlier have still not answered")),
             qPrintable(told.last()));

    hold.reset();
    QTRY_COMPARE_WITH_TIMEOUT(FileJob::threadsHeld(), 0, 10000);
    hold = std::make_unique<HeldFile>(path);
    QVERIFY(hold->held());
    run();
    QElapsedTimer close;
    close.start();
    fx.reset();
    QVERIFY2(close.elapsed() < 5000, qPrintable(QString::number(close.elapsed())));
    hold.reset();
    QTRY_COMPARE_WITH_TIMEOUT(FileJob::threadsHeld(), 0, 10000);
    QTest::qWait(100);
    QVERIFY2(filesNow() == before, "a file was written after it was given up");
}

// The dialog lists a folder holding a file that does not answer, one whose
// name does not tell its type: it shows it and closes at once.
void TestStalledFiles::theFileDialogDoesNotReadTheFiles()
{
    QTemporaryDir dir;
    const QString held = dir.filePath(QStringLiteral("notes"));
    QVERIFY(writeBytes(held, "some text"));
    HeldFile hold(held);
    if (!hold.held())
        QSKIP("this file system takes no leases");
    QtCommonDialog dialog;
    dialog.setFileName(dir.filePath(QStringLiteral("list.txt")));

    QStringList names;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, [&poll, &names] {
        auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        auto *view = files ? files->findChild<QListView *>(QStringLiteral("listView")) : nullptr;
        if (!view)
            return;
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            names << view->model()->index(row, 0, root).data().toString();
        if (!names.isEmpty() || poll.property("tries").toInt() > 100) {
            poll.stop();
            files->reject();
        }
        poll.setProperty("tries", poll.property("tries").toInt() + 1);
    });
    poll.start();
    QElapsedTimer shown;
    shown.start();
    dialog.askForFile(QString());
    QVERIFY2(shown.elapsed() < 10000, qPrintable(QString::number(shown.elapsed())));
    QCOMPARE(names, QStringList{QStringLiteral("notes")});
}

QTEST_MAIN(TestStalledFiles)
#include "tst_stalledfiles.moc"
