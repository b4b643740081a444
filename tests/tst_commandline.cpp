// The command line: --help and --version from the real program, the options
// as read, and the files of the command line opened into the window through
// the play list's own commands (against the engine and dialog doubles).

#include "core/CommandLine.h"
#include "core/MediaTypes.h"
#include "desktop/MediaOpener.h"
#include "support/FormFixture.h"
#include "support/TestFiles.h"
#include "widgets/PlayListBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

namespace {

QStringList entries(const PlayListBox *list)
{
    QStringList all;
    for (int i = 0; i < list->listCount(); ++i)
        all << list->list(i);
    return all;
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The built program, run without a display and with no platform plugin
// chosen, so only an answer given before the window system starts can pass.
Run runProgram(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationDirPath() +
                      QStringLiteral("/../corvel-media-player"),
                  arguments);
    Run run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        run.err = process.errorString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

bool touch(const QString &path)
{
    return writeBytes(path, "media");
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void helpAndVersionWithoutDisplay();
    void readsOptionsAndFiles();
    void instanceOptions_data();
    void instanceOptions();
    void noArgumentsChangeNothing();
    void filesReplaceTheListAndTheFirstPlays();
    void playListFileIsHandedOver();
    void missingFileIsReportedAndTheRestOpens();
    void urlsAndRelativePaths();
    void folderStandsForItsMediaFiles();
    void manyProblemsAreCountedAndTheFirstNamed_data();
    void manyProblemsAreCountedAndTheFirstNamed();
    void undecodableNamesSayWhy_data();
    void undecodableNamesSayWhy();

private:
    QString file(const QString &name)
    {
        const QString path = m_dir->filePath(name);
        touch(path);
        return path;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void CommandLineTest::manyProblemsAreCountedAndTheFirstNamed_data()
{
    QTest::addColumn<int>("missing");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<int>("named");
    QTest::newRow("two") << 2 << QStringLiteral("These were not opened:") << 2;
    QTest::newRow("twenty") << 20 << QStringLiteral("These were not opened:") << 20;
    QTest::newRow("twenty-one") << 21 << QStringLiteral("These 21 were not opened; the first 20:")
                                << 20;
    QTest::newRow("ten thousand") << 10000
                                  << QStringLiteral("These 10,000 were not opened; the first 20:")
                                  << 20;
}

void CommandLineTest::manyProblemsAreCountedAndTheFirstNamed()
{
    QFETCH(int, missing);
    QFETCH(QString, heading);
    QFETCH(int, named);
    QStringList arguments;
    for (int i = 0; i < missing; ++i)
        arguments << m_dir->filePath(QStringLiteral("gone-%1.mp3").arg(i));
    const QString real = file(QStringLiteral("real.mp3"));
    arguments << real;
    FormFixture f;
    MediaOpener(f.form.commands(), f.dialog).openArguments(arguments, m_dir->path());
    QCOMPARE(f.engine.url(), real);
    QCOMPARE(f.dialog.messages.size(), 1);
    const QString message = f.dialog.messages.first();
    QVERIFY2(message.startsWith(QStringLiteral("Error: ") + heading),
             qPrintable(message.left(200)));
    // The first ones are named in order, and a line counts the rest.
    for (int i = 0; i < missing; ++i) {
        const QString line = QStringLiteral("%1 was not found.").arg(arguments.at(i));
        QCOMPARE(message.contains(line), i < named);
    }
    const QString rest =
        QStringLiteral("and %1 more.").arg(QLocale(QLocale::English).toString(missing - named));
    QCOMPARE(message.endsWith(rest), missing > named);
    QVERIFY(message.count(u'\n') <= named + 4);
}

void CommandLineTest::undecodableNamesSayWhy_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("there under bytes that are not UTF-8") << true;
    QTest::newRow("not there at all") << false;
}

void CommandLineTest::undecodableNamesSayWhy()
{
    QFETCH(bool, exists);
    // The bytes as the program receives them, and the argument as the
    // toolkit hands it over, every stray byte replaced.
    const QByteArray raw = QFile::encodeName(m_dir->path()) + "/caf\xe9 \xff.mp3";
    if (exists) {
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
    }
    // The temporary folder cannot remove a name it cannot spell.
    const auto remove = qScopeGuard([&raw] { ::unlink(raw.constData()); });
    const QString argument = QString::fromLocal8Bit(raw);
    QVERIFY(argument.contains(QChar::ReplacementCharacter));
    const QString real = file(QStringLiteral("real.mp3"));
    FormFixture f;
    MediaOpener(f.form.commands(), f.dialog).openArguments({argument, real}, m_dir->path());
    QCOMPARE(entries(f.get<PlayListBox>("PlayList1")), QStringList{real});
    QCOMPARE(f.dialog.messages.size(), 1);
    const QString message = f.dialog.messages.first();
    if (exists) {
        QVERIFY2(message.contains(QLatin1String("cannot be opened: the name")) &&
                     message.contains(QLatin1String("not valid text")) &&
                     !message.contains(QLatin1String("not found")),
                 qPrintable(message));
    } else {
        QCOMPARE(message, QStringLiteral("Error: %1 was not found.").arg(argument));
    }
}

void CommandLineTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void CommandLineTest::helpAndVersionWithoutDisplay()
{
    const Run help = runProgram({QStringLiteral("--help")});
    QVERIFY2(help.exitCode == 0, qPrintable(help.err));
    QVERIFY2(
        help.out.startsWith(QLatin1String("Usage: corvel-media-player [OPTION]... [FILE]...\n")),
        qPrintable(help.out));
    QVERIFY(help.out.contains(QLatin1String("--video-output <MODE>")));
    QVERIFY(help.out.contains(QLatin1String("-v, --version")));
    QVERIFY(help.err.isEmpty());
    QCOMPARE(runProgram({QStringLiteral("-h")}).out, help.out);

    const Run version = runProgram({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out.section(u'\n', 0, 0),
             QStringLiteral("corvel-media-player (Corvel Media Player) 2.6"));

    // A usage error goes to stderr with the GNU hint and a failing status,
    // and starts nothing.
    const Run wrong = runProgram({QStringLiteral("--no-such-option")});
    QCOMPARE(wrong.exitCode, 2);
    QVERIFY(wrong.out.isEmpty());
    QVERIFY2(wrong.err.contains(QLatin1String("Try 'corvel-media-player --help'")),
             qPrintable(wrong.err));
}

void CommandLineTest::readsOptionsAndFiles()
{
    CommandLine line;
    QCOMPARE(line.read({QStringLiteral("corvel-media-player")}), std::nullopt);
    QVERIFY(line.files().isEmpty());
    QVERIFY(line.videoOutput().isEmpty());

    QCOMPARE(
        line.read({QStringLiteral("corvel-media-player"), QStringLiteral("b.mp3"),
                   QStringLiteral("--video-output"), QStringLiteral("software"),
                   QStringLiteral("a b.mp3"), QStringLiteral("--"), QStringLiteral("--odd.mp3")}),
        std::nullopt);
    QCOMPARE(line.files(), QStringList({QStringLiteral("b.mp3"), QStringLiteral("a b.mp3"),
                                        QStringLiteral("--odd.mp3")}));
    QCOMPARE(line.videoOutput(), QStringLiteral("software"));
    QVERIFY(line.remembersPositions());

    qunsetenv(CommandLine::videoOutputVariable);
    line.applyEnvironment();
    QCOMPARE(qgetenv(CommandLine::videoOutputVariable), QByteArray("software"));
    qunsetenv(CommandLine::videoOutputVariable);

    // Without the option the variable is left alone.
    QCOMPARE(line.read({QStringLiteral("corvel-media-player"), QStringLiteral("x.mp3")}),
             std::nullopt);
    line.applyEnvironment();
    QVERIFY(!qEnvironmentVariableIsSet(CommandLine::videoOutputVariable));

    // --no-resume or CORVEL_RESUME=0: positions are neither read nor written.
    QVERIFY(!line.read({QStringLiteral("corvel-media-player"), QStringLiteral("--no-resume")}));
    QVERIFY(!line.remembersPositions());
    QVERIFY(!line.read({QStringLiteral("corvel-media-player")}));
    qputenv(CommandLine::resumeVariable, "0");
    QVERIFY(!line.remembersPositions());
    qunsetenv(CommandLine::resumeVariable);

    // An output the engine does not know is a usage error.
    QCOMPARE(
        line.read({QStringLiteral("corvel-media-player"), QStringLiteral("--video-output=vulkan")}),
        std::optional<int>(2));
    // Toolkit options that QApplication did not take are an error too, but
    // answerEarly() leaves them for later rather than failing.
    QCOMPARE(line.answerEarly({QStringLiteral("corvel-media-player"), QStringLiteral("-platform"),
                               QStringLiteral("offscreen")}),
             std::nullopt);
}

void CommandLineTest::instanceOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("enqueue");
    QTest::addColumn<bool>("newWindow");
    QTest::addColumn<QStringList>("files");

    QTest::newRow("neither") << QStringList{QStringLiteral("a.mp3")} << false << false
                             << QStringList{QStringLiteral("a.mp3")};
    QTest::newRow("enqueue before the files")
        << QStringList(
               {QStringLiteral("--enqueue"), QStringLiteral("a.mp3"), QStringLiteral("b.mp3")})
        << true << false << QStringList({QStringLiteral("a.mp3"), QStringLiteral("b.mp3")});
    QTest::newRow("enqueue after them")
        << QStringList({QStringLiteral("a.mp3"), QStringLiteral("--enqueue")}) << true << false
        << QStringList{QStringLiteral("a.mp3")};
    QTest::newRow("new window") << QStringList(
                                       {QStringLiteral("--new-window"), QStringLiteral("a.mp3")})
                                << false << true << QStringList{QStringLiteral("a.mp3")};
    QTest::newRow("both, no files")
        << QStringList({QStringLiteral("--new-window"), QStringLiteral("--enqueue")}) << true
        << true << QStringList();
    QTest::newRow("a file named like the option")
        << QStringList({QStringLiteral("--"), QStringLiteral("--enqueue")}) << false << false
        << QStringList{QStringLiteral("--enqueue")};
}

void CommandLineTest::instanceOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, enqueue);
    QFETCH(bool, newWindow);
    QFETCH(QStringList, files);

    CommandLine line;
    // A reading before leaves nothing behind.
    QCOMPARE(line.read({QStringLiteral("corvel-media-player"), QStringLiteral("--enqueue"),
                        QStringLiteral("--new-window")}),
             std::nullopt);
    QCOMPARE(line.read(QStringList{QStringLiteral("corvel-media-player")} + arguments),
             std::nullopt);
    QCOMPARE(line.enqueue(), enqueue);
    QCOMPARE(line.newWindow(), newWindow);
    QCOMPARE(line.files(), files);
    QVERIFY(line.helpText().contains(QLatin1String("--enqueue")));
    QVERIFY(line.helpText().contains(QLatin1String("--new-window")));
}

void CommandLineTest::noArgumentsChangeNothing()
{
    FormFixture f;
    auto *list = f.get<PlayListBox>("PlayList1");
    list->addEntry(QStringLiteral("/kept.mp3"));
    MediaOpener opener(f.form.commands(), f.dialog);
    opener.openArguments({}, m_dir->path());
    QCOMPARE(entries(list), QStringList{QStringLiteral("/kept.mp3")});
    QVERIFY(f.engine.calls.isEmpty());
    QVERIFY(f.dialog.messages.isEmpty());
    QCOMPARE(list->listIndex(), -1);
}

void CommandLineTest::filesReplaceTheListAndTheFirstPlays()
{
    const QString song = file(QStringLiteral("song.mp3"));
    const QString b = file(QStringLiteral("b.mp3"));
    const QString a = file(QStringLiteral("a.mp3"));

    // One file.
    {
        FormFixture f;
        auto *list = f.get<PlayListBox>("PlayList1");
        list->addEntry(QStringLiteral("/old.mp3"));
        MediaOpener(f.form.commands(), f.dialog).openArguments({song}, m_dir->path());
        QCOMPARE(entries(list), QStringList{song});
        QCOMPARE(list->listIndex(), 0);
        QCOMPARE(f.engine.commands(),
                 QStringList({QStringLiteral("url=") + song, QStringLiteral("play")}));
        QCOMPARE(f.edit("pfname")->text(), song);
        QVERIFY(f.timer1()->isActive());
        QVERIFY(f.dialog.messages.isEmpty());
    }
    // Several, in the order given (not name order), the first played once.
    {
        FormFixture f;
        auto *list = f.get<PlayListBox>("PlayList1");
        MediaOpener(f.form.commands(), f.dialog).openArguments({song, b, a}, m_dir->path());
        QCOMPARE(entries(list), QStringList({song, b, a}));
        QCOMPARE(list->listIndex(), 0);
        QCOMPARE(f.engine.commands(),
                 QStringList({QStringLiteral("url=") + song, QStringLiteral("play")}));
        QCOMPARE(f.engine.playbackState(), MediaEngine::PlaybackState::Playing);
    }
}

void CommandLineTest::playListFileIsHandedOver()
{
    const QString m3u = file(QStringLiteral("mix.M3U"));
    const QString wpl = file(QStringLiteral("PlayList1.wpl"));
    const QString song = file(QStringLiteral("song.mp3"));
    for (const char *suffix : {"x.wpl", "x.asx", "x.wvx", "x.wmx", "x.m3u", "x.WPL"})
        QVERIFY2(MediaTypes::isPlayListFile(QLatin1String(suffix)), suffix);
    QVERIFY(!MediaTypes::isPlayListFile(QStringLiteral("x.mp3")));
    QVERIFY(MediaTypes::isPlayListFile(QStringLiteral("http://example.com/a.asx?x=1")));

    // Alone: as Load play-list file, the list untouched.
    {
        FormFixture f;
        auto *list = f.get<PlayListBox>("PlayList1");
        list->addEntry(QStringLiteral("/kept.mp3"));
        MediaOpener(f.form.commands(), f.dialog).openArguments({m3u}, m_dir->path());
        QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("url=") + m3u});
        QCOMPARE(f.edit("PLName")->text(), m3u);
        QCOMPARE(entries(list), QStringList{QStringLiteral("/kept.mp3")});
        QCOMPARE(list->listIndex(), -1);
        QVERIFY(f.edit("pfname")->text().isEmpty());
    }
    // First of several: handed over, the others make the list, none plays.
    {
        FormFixture f;
        auto *list = f.get<PlayListBox>("PlayList1");
        MediaOpener(f.form.commands(), f.dialog).openArguments({wpl, song}, m_dir->path());
        QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("url=") + wpl});
        QCOMPARE(entries(list), QStringList{song});
        QCOMPARE(list->listIndex(), -1);
    }
    // After a media file it is one more entry of the list.
    {
        FormFixture f;
        auto *list = f.get<PlayListBox>("PlayList1");
        MediaOpener(f.form.commands(), f.dialog).openArguments({song, wpl}, m_dir->path());
        QCOMPARE(entries(list), QStringList({song, wpl}));
        QCOMPARE(f.engine.url(), song);
        QVERIFY(f.edit("PLName")->text().isEmpty());
    }
}

void CommandLineTest::missingFileIsReportedAndTheRestOpens()
{
    const QString real = file(QStringLiteral("real.mp3"));
    const QString missing = m_dir->filePath(QStringLiteral("missing.mp3"));
    {
        FormFixture f;
        auto *list = f.get<PlayListBox>("PlayList1");
        MediaOpener(f.form.commands(), f.dialog).openArguments({missing, real}, m_dir->path());
        QCOMPARE(entries(list), QStringList{real});
        QCOMPARE(f.engine.url(), real);
        QCOMPARE(f.dialog.messages,
                 QStringList{QStringLiteral("Error: %1 was not found.").arg(missing)});
    }
    // Nothing openable: the list stays, nothing plays, one message names all.
    {
        FormFixture f;
        auto *list = f.get<PlayListBox>("PlayList1");
        list->addEntry(QStringLiteral("/kept.mp3"));
        MediaOpener(f.form.commands(), f.dialog)
            .openArguments(
                {missing, QStringLiteral("lavfi://sine"), QStringLiteral("C:\\music\\a.mp3")},
                m_dir->path());
        QCOMPARE(entries(list), QStringList{QStringLiteral("/kept.mp3")});
        QVERIFY(f.engine.calls.isEmpty());
        QCOMPARE(f.dialog.messages.size(), 1);
        const QString message = f.dialog.messages.first();
        QVERIFY2(message.startsWith(QLatin1String("Error: These were not opened:")),
                 qPrintable(message));
        QVERIFY(message.contains(missing + QStringLiteral(" was not found.")));
        QVERIFY(message.contains(QLatin1String("lavfi://sine cannot be opened")));
        QVERIFY(message.contains(QLatin1String("C:\\music\\a.mp3 cannot be opened")));
    }
}

void CommandLineTest::urlsAndRelativePaths()
{
    const QString local = file(QStringLiteral("a b#1.mp3"));
    const QString relative = file(QStringLiteral("rel.mp3"));
    const QString stream = QStringLiteral("https://radio.example.com/live.mp3?id=3");
    FormFixture f;
    auto *list = f.get<PlayListBox>("PlayList1");
    MediaOpener(f.form.commands(), f.dialog)
        .openArguments({QUrl::fromLocalFile(local).toString(), stream, QStringLiteral("rel.mp3")},
                       m_dir->path());
    // A file URL becomes the file's path; a stream stays as written; a
    // relative path is taken from the folder the program was started in.
    QCOMPARE(entries(list), QStringList({local, stream, relative}));
    QCOMPARE(f.engine.url(), local);
    QVERIFY(f.dialog.messages.isEmpty());
}

void CommandLineTest::folderStandsForItsMediaFiles()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("album")));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("album/sub.mp3")));
    const QString b = file(QStringLiteral("album/B.MP3"));
    const QString a = file(QStringLiteral("album/a.wav"));
    const QString c = file(QStringLiteral("album/c.mp4"));
    file(QStringLiteral("album/notes.txt"));
    QCOMPARE(MediaOpener::mediaFilesIn(m_dir->filePath(QStringLiteral("album"))),
             QStringList({a, b, c}));

    FormFixture f;
    auto *list = f.get<PlayListBox>("PlayList1");
    MediaOpener(f.form.commands(), f.dialog)
        .openArguments({QStringLiteral("album")}, m_dir->path());
    QCOMPARE(entries(list), QStringList({a, b, c}));
    QCOMPARE(f.engine.url(), a);
}

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
