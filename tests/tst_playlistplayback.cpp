#include "commands/playlist/PlayList.h"
#include "commands/playlist/PlayListFiles.h"
#include "commands/playlist/PlayListPlayback.h"
#include "core/MidiSong.h"
#include "core/PlayListText.h"
#include "core/WplWriter.h"
#include "core/XmlPlayList.h"
#include "engine/mpv/MpvEngine.h"
#include "support/FormFixture.h"
#include "support/RealEngine.h"
#include "support/TestMedia.h"
#include "widgets/PlayListBox.h"

#include "support/TestFiles.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QXmlStreamReader>

#include <QtTest>
#include <sys/resource.h>

namespace {

const QString loadFilter =
    QStringLiteral("Default|PlayList1.wpl|Media "
                   "Playlist(*.asx;*.m3u;*.wpl;*.wvx;*.wmx)|*.asx;*.m3u;*.wpl;*.wvx;*.wmx|");

// Paths of the media elements, as any XML reader sees them.
QStringList mediaSources(const QByteArray &document)
{
    QStringList sources;
    QXmlStreamReader xml(document);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("media"))
            sources << xml.attributes().value(QLatin1String("src")).toString();
    }
    if (xml.hasError())
        return {QStringLiteral("XML error: ") + xml.errorString()};
    return sources;
}

// The most memory the process has held so far, in bytes.
qint64 peakMemory()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// Generate works in the working directory: each test gets a fresh one.
struct InTemporaryFolder
{
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    InTemporaryFolder() { QDir::setCurrent(dir.path()); }
    ~InTemporaryFolder() { QDir::setCurrent(previous); }
    QString path(const QString &name) const { return dir.filePath(name); }
};

const QByteArray head = "<?wpl version=\"1.0\"?>\n<smil>\n<body>\r\n<seq>";
const QByteArray tail = "</seq>\n</body>\n</smil>\n";

} // namespace

class TestPlayListPlayback : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void outsideFilesAreReadBounded_data();
    void outsideFilesAreReadBounded();
    void writesSayWhenTheDiskIsFull_data();
    void writesSayWhenTheDiskIsFull();
    void loadPlayListFileHandsItToTheEngine();
    void cancelledLoadPlayListChangesNothing();
    void generateIsByteExact();
    void generateEscapesEveryPath();
    void generateFindsTheShippedPieces();
    void generateFailuresLeaveNoPartialFile();
    void generateBoundsTheSavedList_data();
    void generateBoundsTheSavedList();
    void playSimultaneouslyHandsOverEveryEntry();
    void generatedListPlaysWholeOnTheRealEngine();

private:
    // The pieces as the build places them beside the program.
    QString m_shippedFolder;

    struct Fixture : FormFixture
    {
        PlayListBox &list = *get<PlayListBox>("PlayList1");
        QLineEdit &plName = *edit("PLName");
        void fill(const QStringList &entries)
        {
            for (const QString &entry : entries)
                list.addEntry(entry);
        }
        // The list saved as PlayList1.txt in the working directory.
        void saveAs(const QString &path)
        {
            dialog.answerOpen(path);
            runHandler(form, "cmdSaveList_Click");
        }
    };
};

void TestPlayListPlayback::initTestCase()
{
    // Tests start in the build folder, where the build copies the pieces.
    m_shippedFolder = QDir::currentPath();
    QVERIFY2(QFileInfo::exists(m_shippedFolder + QStringLiteral("/Pl1.txt")),
             qPrintable(m_shippedFolder));
}

void TestPlayListPlayback::outsideFilesAreReadBounded_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("Generate's saved list") << "Generate"
                                           << "PlayList1.txt"
                                           << "is too large";
    QTest::newRow("Generate's head") << "Generate"
                                     << "Pl1.txt"
                                     << "is too large";
    QTest::newRow("Load List") << "Load List"
                               << "list.txt"
                               << "at more than 64 MB";
    QTest::newRow("a Windows Media play list") << "xml"
                                               << "list.wpl"
                                               << "too large";
    QTest::newRow("a MIDI file") << "midi"
                                 << "song.mid"
                                 << "larger than 16 MB";
}

// Each reader of outside files given one that claims to be empty and goes on
// for gigabytes: it stops at its cap and says so.
void TestPlayListPlayback::outsideFilesAreReadBounded()
{
    QFETCH(QString, reader);
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    const QString endless = QStringLiteral("/proc/self/pagemap");
    if (!QFileInfo(endless).isFile() || QFileInfo(endless).size() != 0)
        QSKIP("No /proc/self/pagemap here that claims a size of 0");
    InTemporaryFolder here;
    for (const char *piece : {"Pl1.txt", "pl3.txt", "PlayList1.txt"})
        QVERIFY(writeBytes(here.path(QLatin1String(piece)), "\"/m/a.mp3\"\r\n"));
    QFile::remove(here.path(name));
    QVERIFY(QFile::link(endless, here.path(name)));
    Fixture fx;
    const qint64 before = peakMemory();

    QString said;
    if (reader == QLatin1String("Generate")) {
        fx.run("cmdGenerate_Click");
        said = fx.dialog.messages.value(0);
        QVERIFY(!QFileInfo::exists(here.path(QStringLiteral("PlayList1.wpl"))));
    } else if (reader == QLatin1String("Load List")) {
        fx.dialog.answerOpen(here.path(name));
        fx.run("cmdLoadList_Click");
        said = fx.dialog.messages.value(0);
        QCOMPARE(fx.list.listCount(), 0);
    } else if (reader == QLatin1String("xml")) {
        said = readXmlPlayList(here.path(name)).error;
    } else {
        said = MidiSong::readFile(here.path(name)).error();
    }
    QVERIFY2(said.contains(refusal), qPrintable(said));
    // At most the cap and a little, never the file's gigabytes.
    const qint64 added = peakMemory() - before;
    QVERIFY2(added < 300 * 1024 * 1024, qPrintable(QString::number(added)));
}

void TestPlayListPlayback::writesSayWhenTheDiskIsFull_data()
{
    QTest::addColumn<QByteArray>("handler");
    QTest::addColumn<int>("entries");
    QTest::addColumn<qint64>("room");
    QTest::newRow("Save List, no room at all") << QByteArray("cmdSaveList_Click") << 3 << qint64(0);
    QTest::newRow("Save List, room for a part")
        << QByteArray("cmdSaveList_Click") << 4000 << qint64(16 * 1024);
    QTest::newRow("Generate, no room at all") << QByteArray("cmdGenerate_Click") << 3 << qint64(0);
}

// On a small disk of its own (which only root may make), filled up.
void TestPlayListPlayback::writesSayWhenTheDiskIsFull()
{
    QFETCH(QByteArray, handler);
    QFETCH(int, entries);
    QFETCH(qint64, room);
    InTemporaryFolder here;
    const QString disk = here.path(QStringLiteral("disk"));
    QVERIFY(QDir(here.dir.path()).mkdir(QStringLiteral("disk")));
    if (QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=256k"), QStringLiteral("tmpfs"), disk}) != 0)
        QSKIP("A small disk of its own cannot be mounted here (needs root)");
    const auto unmount = qScopeGuard([&disk] {
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), disk});
    });
    QDir::setCurrent(disk);
    const QString earlier =
        QDir(disk).filePath(handler == "cmdGenerate_Click" ? QStringLiteral("PlayList1.wpl")
                                                           : QStringLiteral("saved.txt"));
    QVERIFY(writeBytes(earlier, "earlier file"));
    QVERIFY(writeBytes(QStringLiteral("Pl1.txt"), head));
    QVERIFY(writeBytes(QStringLiteral("pl3.txt"), tail));
    QVERIFY(writeBytes(QStringLiteral("PlayList1.txt"), "\"/m/a.mp3\"\r\n"));
    {
        QFile filler(QStringLiteral("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }
    QVERIFY(QFile::resize(QStringLiteral("filler"),
                          std::max<qint64>(0, QFileInfo(QStringLiteral("filler")).size() - room)));

    Fixture fx;
    for (int i = 0; i < entries; ++i)
        fx.list.addEntry(QStringLiteral("/media/music/a long folder name/track %1.mp3").arg(i));
    if (handler == "cmdSaveList_Click")
        fx.dialog.answerOpen(earlier);
    fx.run(handler.constData());
    QCOMPARE(fx.dialog.messages.size(), 1);
    QVERIFY2(fx.dialog.messages.first().contains(QLatin1String("the disk is full")),
             qPrintable(fx.dialog.messages.first()));
    // What was there before is kept whole, and nothing half-written is left.
    QCOMPARE(readBytes(earlier), QByteArray("earlier file"));
    QStringList files = QDir(disk).entryList(QDir::Files | QDir::Hidden);
    files.sort();
    QStringList expected = {QStringLiteral("Pl1.txt"), QStringLiteral("PlayList1.txt"),
                            QStringLiteral("filler"), QStringLiteral("pl3.txt"),
                            QFileInfo(earlier).fileName()};
    expected.sort();
    QCOMPARE(files, expected);
    QDir::setCurrent(here.dir.path());
}

void TestPlayListPlayback::loadPlayListFileHandsItToTheEngine()
{
    Fixture fx;
    fx.timer1()->stop();
    fx.dialog.setCancelError(true);
    fx.dialog.answerOpen(QStringLiteral("/lists/PlayList1.wpl"));
    fx.run("cmdPLLoad_Click");
    QCOMPARE(fx.dialog.openShown.last().filter, loadFilter);
    QCOMPARE(fx.plName.text(), QStringLiteral("/lists/PlayList1.wpl"));
    QCOMPARE(fx.engine.commands(), QStringList{QStringLiteral("url=/lists/PlayList1.wpl")});
    QCOMPARE(fx.dialog.fileName(), QString());
    // Playback starts by itself; the timer, pfname and the list are not ours.
    QVERIFY(!fx.timer1()->isActive());
    QCOMPARE(fx.edit("pfname")->text(), QString());
    QCOMPARE(fx.list.listCount(), 0);
}

void TestPlayListPlayback::cancelledLoadPlayListChangesNothing()
{
    Fixture fx;
    // Right after an Add, whose name the dialog has dropped.
    fx.dialog.answerOpen(QStringLiteral("/music/a.mp3"));
    runHandler(fx.form, "cmdAdd_Click");
    fx.dialog.cancelOpen();
    fx.run("cmdPLLoad_Click");
    QCOMPARE(fx.plName.text(), QString());
    QVERIFY(fx.engine.commands().isEmpty());

    // After a successful one: a cancel neither hands the list over again nor
    // leaves its name for the next Add to pick up.
    fx.dialog.answerOpen(QStringLiteral("/lists/mix.asx"));
    fx.run("cmdPLLoad_Click");
    fx.dialog.cancelOpen();
    fx.run("cmdPLLoad_Click");
    QCOMPARE(fx.plName.text(), QStringLiteral("/lists/mix.asx"));
    QCOMPARE(fx.engine.commands(), QStringList{QStringLiteral("url=/lists/mix.asx")});
    fx.dialog.cancelOpen();
    runHandler(fx.form, "cmdAdd_Click");
    QCOMPARE(fx.list.listCount(), 1);
    QVERIFY(fx.dialog.messages.isEmpty());
}

void TestPlayListPlayback::generateIsByteExact()
{
    InTemporaryFolder here;
    Fixture fx;
    QVERIFY(writeBytes(here.path(QStringLiteral("Pl1.txt")), head));
    QVERIFY(writeBytes(here.path(QStringLiteral("pl3.txt")), tail));
    const QByteArray headLines = "<?wpl version=\"1.0\"?>\r\n<smil>\r\n<body>\r\n<seq>\r\n";
    const QByteArray tailLines = "</seq>\r\n</body>\r\n</smil>\r\n";

    // An empty saved list: the head directly followed by the tail.
    fx.saveAs(here.path(QStringLiteral("PlayList1.txt")));
    fx.run("cmdGenerate_Click");
    QCOMPARE(readBytes(here.path(QStringLiteral("PlayList1.wpl"))), headLines + tailLines);

    fx.fill({QStringLiteral("/music/a.mp3"), QStringLiteral("/music/b c.ogg")});
    fx.saveAs(here.path(QStringLiteral("PlayList1.txt")));
    fx.run("cmdGenerate_Click");
    const QByteArray expected = headLines + "<media src=\"/music/a.mp3\"/>\r\n" +
                                "<media src=\"/music/b c.ogg\"/>\r\n" + tailLines;
    QCOMPARE(readBytes(here.path(QStringLiteral("PlayList1.wpl"))), expected);
    // Twice gives the same file, replacing the first.
    fx.run("cmdGenerate_Click");
    QCOMPARE(readBytes(here.path(QStringLiteral("PlayList1.wpl"))), expected);
    QVERIFY(fx.dialog.messages.isEmpty());
    // Generate works from the saved file only.
    QVERIFY(fx.engine.commands().isEmpty());
    QCOMPARE(fx.list.listCount(), 2);
}

void TestPlayListPlayback::generateEscapesEveryPath()
{
    InTemporaryFolder here;
    Fixture fx;
    QVERIFY(writeBytes(here.path(QStringLiteral("Pl1.txt")), head));
    QVERIFY(writeBytes(here.path(QStringLiteral("pl3.txt")), tail));
    // Saved entries and hand-made lines: unquoted, commas, blanks, blank lines.
    QVERIFY(writeBytes(here.path(QStringLiteral("PlayList1.txt")),
                       "\"/m/Tom & Jerry <live> 'x'.mp3\"\r\n"
                       "\r\n"
                       "/m/unquoted, with comma.mp3\r\n"
                       "   \r\n"
                       "  \"/m/tab\there 12\" single.flac\"  \n"
                       "\"/m/\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80.ogg\"\r\n"));
    fx.run("cmdGenerate_Click");
    QVERIFY2(fx.dialog.messages.isEmpty(), qPrintable(fx.dialog.messages.join('\n')));
    const QByteArray document = readBytes(here.path(QStringLiteral("PlayList1.wpl")));
    QVERIFY(document.contains("<media src=\"/m/Tom &amp; Jerry &lt;live&gt; 'x'.mp3\"/>\r\n"));
    QVERIFY(document.contains("<media src=\"/m/tab&#9;here 12&quot; single.flac\"/>\r\n"));
    const QStringList paths = {QStringLiteral("/m/Tom & Jerry <live> 'x'.mp3"),
                               QStringLiteral("/m/unquoted, with comma.mp3"),
                               QStringLiteral("/m/tab\there 12\" single.flac"),
                               QStringLiteral("/m/été 😀.ogg")};
    QCOMPARE(mediaSources(document), paths);
    // Our own reader gives the same paths back.
    QCOMPARE(readXmlPlayList(here.path(QStringLiteral("PlayList1.wpl"))).entries, paths);

    QByteArray escaped;
    QVERIFY(WplWriter::appendEscaped(escaped, "a\r\nb>").isEmpty());
    QCOMPARE(escaped, QByteArray("a&#13;&#10;b&gt;"));
    const QString why = WplWriter::appendEscaped(escaped, "bell\x07");
    QVERIFY2(why.contains(QLatin1String("control character")), qPrintable(why));
    QCOMPARE(escaped, QByteArray("a&#13;&#10;b&gt;"));
    // A list saved as UTF-16 can hold half a character, which no XML can.
    const QByteArray halfCharacter("\xFF\xFE\x22\x00\x00\xD8\x22\x00", 8);
    const WplWriter::Document refused = WplWriter::generate("<h>\n", halfCharacter, "<t>\n");
    QVERIFY2(refused.error.contains(QLatin1String("broken Unicode")), qPrintable(refused.error));
    QVERIFY(refused.bytes.isEmpty());
}

void TestPlayListPlayback::generateFindsTheShippedPieces()
{
    InTemporaryFolder here;
    QVERIFY(writeBytes(here.path(QStringLiteral("Pl1.txt")), "mine\n"));
    const QStringList folders = {here.dir.path(), m_shippedFolder};
    QCOMPARE(WplWriter::findPiece(QStringLiteral("Pl1.txt"), folders),
             here.path(QStringLiteral("Pl1.txt")));
    QCOMPARE(WplWriter::findPiece(QStringLiteral("pl3.txt"), folders),
             m_shippedFolder + QStringLiteral("/pl3.txt"));
    QCOMPARE(WplWriter::findPiece(QStringLiteral("none.txt"), folders), QString());
    const QStringList searched = WplWriter::pieceFolders();
    QCOMPARE(searched.value(0), here.dir.path());
    QCOMPARE(searched.value(1), QCoreApplication::applicationDirPath());
    QVERIFY(QFile::remove(here.path(QStringLiteral("Pl1.txt"))));

    // With no pieces in the working directory the program's own are used,
    // and together they make a play list that our reader accepts. They are
    // put beside this test program for the while.
    const QString beside = QCoreApplication::applicationDirPath();
    QStringList placed;
    for (const QString &name : {QStringLiteral("Pl1.txt"), QStringLiteral("pl3.txt")}) {
        if (!QFileInfo::exists(beside + u'/' + name)) {
            QVERIFY(QFile::copy(m_shippedFolder + u'/' + name, beside + u'/' + name));
            placed << beside + u'/' + name;
        }
    }
    Fixture fx;
    fx.fill({QStringLiteral("/m/one.mp3"), QStringLiteral("/m/two & three.mp3")});
    fx.saveAs(here.path(QStringLiteral("PlayList1.txt")));
    fx.run("cmdGenerate_Click");
    for (const QString &file : placed)
        QFile::remove(file);
    QVERIFY2(fx.dialog.messages.isEmpty(), qPrintable(fx.dialog.messages.join('\n')));
    const QByteArray document = readBytes(here.path(QStringLiteral("PlayList1.wpl")));
    QVERIFY(document.startsWith("<?wpl version=\"1.0\"?>\r\n<smil>\r\n"));
    QVERIFY(!document.contains("\n\n") && document.count('\n') == document.count("\r\n"));
    const XmlPlayListResult read = readXmlPlayList(here.path(QStringLiteral("PlayList1.wpl")));
    QCOMPARE(read.error, QString());
    QCOMPARE(read.entries,
             QStringList({QStringLiteral("/m/one.mp3"), QStringLiteral("/m/two & three.mp3")}));
}

void TestPlayListPlayback::generateFailuresLeaveNoPartialFile()
{
    InTemporaryFolder here;
    Fixture fx;
    const QString output = here.path(QStringLiteral("PlayList1.wpl"));
    QVERIFY(writeBytes(here.path(QStringLiteral("Pl1.txt")), head));
    QVERIFY(writeBytes(here.path(QStringLiteral("pl3.txt")), tail));
    QVERIFY(writeBytes(output, "earlier play list"));

    // No saved list.
    fx.run("cmdGenerate_Click");
    QCOMPARE(fx.dialog.messages.size(), 1);
    QVERIFY(fx.dialog.messages.last().startsWith(QStringLiteral("Error: ")));
    QVERIFY2(fx.dialog.messages.last().contains(here.path(QStringLiteral("PlayList1.txt"))),
             qPrintable(fx.dialog.messages.last()));
    QCOMPARE(readBytes(output), QByteArray("earlier play list"));

    // A path that XML cannot carry is named, and nothing is written.
    QVERIFY(writeBytes(here.path(QStringLiteral("PlayList1.txt")),
                       "\"/m/ok.mp3\"\r\n\"/m/b\x01.mp3\"\r\n"));
    fx.run("cmdGenerate_Click");
    QCOMPARE(fx.dialog.messages.size(), 2);
    QVERIFY2(fx.dialog.messages.last().contains(QStringLiteral("/m/b\x01.mp3")),
             qPrintable(fx.dialog.messages.last()));
    QCOMPARE(readBytes(output), QByteArray("earlier play list"));

    // The output cannot be written: its name is taken by a folder.
    QVERIFY(writeBytes(here.path(QStringLiteral("PlayList1.txt")), "\"/m/ok.mp3\"\r\n"));
    QVERIFY(QFile::remove(output));
    QVERIFY(QDir(here.dir.path()).mkdir(QStringLiteral("PlayList1.wpl")));
    fx.run("cmdGenerate_Click");
    QCOMPARE(fx.dialog.messages.size(), 3);
    QVERIFY2(fx.dialog.messages.last().contains(output), qPrintable(fx.dialog.messages.last()));
    QVERIFY(QFileInfo(output).isDir());
    QStringList files = QDir(here.dir.path()).entryList(QDir::Files | QDir::Hidden);
    files.sort();
    QCOMPARE(files, QStringList({QStringLiteral("Pl1.txt"), QStringLiteral("PlayList1.txt"),
                                 QStringLiteral("pl3.txt")}));

    // A missing head is named (unless one is found beside the program).
    QVERIFY(QFile::remove(here.path(QStringLiteral("Pl1.txt"))));
    if (WplWriter::findPiece(QStringLiteral("Pl1.txt"), WplWriter::pieceFolders()).isEmpty()) {
        fx.run("cmdGenerate_Click");
        QCOMPARE(fx.dialog.messages.size(), 4);
        QVERIFY(fx.dialog.messages.last().contains(QStringLiteral("Pl1.txt")));
    }
    QVERIFY(fx.engine.commands().isEmpty());
}

void TestPlayListPlayback::generateBoundsTheSavedList_data()
{
    // The saved list: line repeated count times; refusal "" when it is used.
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<QString>("refusal");
    const qsizetype most = PlayListText::maxEntries;
    QTest::newRow("a million among as many blank lines")
        << QByteArray("\"/m/a.mp3\"\r\n  \r\n") << most << QString();
    QTest::newRow("one more") << QByteArray("a\r\n") << most + 1
                              << QStringLiteral("with more than 1,000,000 entries");
    QTest::newRow("64 MB of one-character lines")
        << QByteArray("a\n") << qsizetype(32 * 1024 * 1024)
        << QStringLiteral("with more than 1,000,000 entries");
    QTest::newRow("one more in Windows-1252") << QByteArray("\"/m/caf\xE9.mp3\"\r\n") << most + 1
                                              << QStringLiteral("with more than 1,000,000 entries");
}

// The same bounds as Load List's, checked before anything is built.
void TestPlayListPlayback::generateBoundsTheSavedList()
{
    QFETCH(QByteArray, line);
    QFETCH(qsizetype, count);
    QFETCH(QString, refusal);
    InTemporaryFolder here;
    const QString output = here.path(QStringLiteral("PlayList1.wpl"));
    for (const char *piece : {"Pl1.txt", "pl3.txt"})
        QVERIFY(writeBytes(here.path(QLatin1String(piece)), head));
    QVERIFY(writeBytes(here.path(QStringLiteral("PlayList1.txt")), line.repeated(count)));
    Fixture fx;
    const qint64 before = peakMemory();
    fx.run("cmdGenerate_Click");
    const qint64 added = peakMemory() - before;
    QVERIFY2(added < 300 * 1024 * 1024, qPrintable(QString::number(added)));
    if (refusal.isEmpty()) {
        QVERIFY2(fx.dialog.messages.isEmpty(), qPrintable(fx.dialog.messages.join('\n')));
        QCOMPARE(readBytes(output).count("<media src="), count);
        return;
    }
    QCOMPARE(fx.dialog.messages.size(), 1);
    QVERIFY2(fx.dialog.messages.first().toLower().contains(refusal),
             qPrintable(fx.dialog.messages.first()));
    QVERIFY(fx.dialog.messages.first().contains(here.path(QStringLiteral("PlayList1.txt"))));
    QVERIFY(!QFileInfo::exists(output));
}

void TestPlayListPlayback::playSimultaneouslyHandsOverEveryEntry()
{
    {
        Fixture fx;
        fx.run("cmdPlsi_Click");
        QVERIFY(fx.engine.commands().isEmpty());
    }
    {
        Fixture fx;
        fx.timer1()->stop();
        fx.fill({QStringLiteral("/m/only.mp3")});
        fx.run("cmdPlsi_Click");
        QCOMPARE(fx.list.listIndex(), 0);
        QCOMPARE(fx.edit("pfname")->text(), QStringLiteral("/m/only.mp3"));
        QCOMPARE(fx.engine.commands(),
                 QStringList({QStringLiteral("url=/m/only.mp3"), QStringLiteral("play")}));
        QVERIFY(fx.timer1()->isActive());
    }
    {
        Fixture fx;
        fx.fill(
            {QStringLiteral("/m/1.mp3"), QStringLiteral("/m/2.mp3"), QStringLiteral("/m/3.mp3")});
        selectQuietly(fx.list, 2);
        fx.run("cmdPlsi_Click");
        const QStringList once = {QStringLiteral("url=/m/1.mp3"), QStringLiteral("play"),
                                  QStringLiteral("url=/m/2.mp3"), QStringLiteral("play"),
                                  QStringLiteral("url=/m/3.mp3"), QStringLiteral("play")};
        QCOMPARE(fx.engine.commands(), once);
        QCOMPARE(fx.list.listIndex(), 0);
        QCOMPARE(fx.edit("pfname")->text(), QStringLiteral("/m/1.mp3"));
        QCOMPARE(fx.engine.url(), QStringLiteral("/m/3.mp3"));
        // Pressed again with the first entry still selected: the whole list
        // again, its first entry included.
        fx.run("cmdPlsi_Click");
        QCOMPARE(fx.engine.commands(), once + once);
    }
}

void TestPlayListPlayback::generatedListPlaysWholeOnTheRealEngine()
{
    // Bounds a hang only; never paces the test.
    constexpr int timeout = 20000;
    TestMedia media;
    const QString first = media.wav(QStringLiteral("first, & one.wav"), 1.0);
    const QString second = media.wav(QStringLiteral("second <two>.wav"), 1.5, 660.0);
    QVERIFY2(!first.isEmpty() && !second.isEmpty(), qPrintable(media.lastError()));

    InTemporaryFolder here;
    QVERIFY(writeBytes(here.path(QStringLiteral("Pl1.txt")),
                       readBytes(m_shippedFolder + QStringLiteral("/Pl1.txt"))));
    QVERIFY(writeBytes(here.path(QStringLiteral("pl3.txt")),
                       readBytes(m_shippedFolder + QStringLiteral("/pl3.txt"))));
    MpvEngine::Options options;
    options.video = false;
    options.audio = false;
    const auto engineOwner = makeEngine(options);
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    auto &list = *controlOf<PlayListBox>(form, "PlayList1");
    list.addEntry(first);
    list.addEntry(second);
    dialog.answerOpen(here.path(QStringLiteral("PlayList1.txt")));
    runHandler(form, "cmdSaveList_Click");
    runHandler(form, "cmdGenerate_Click");
    QVERIFY2(dialog.messages.isEmpty(), qPrintable(dialog.messages.join('\n')));

    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    QElapsedTimer clock;
    clock.start();
    dialog.answerOpen(here.path(QStringLiteral("PlayList1.wpl")));
    runHandler(form, "cmdPLLoad_Click");
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, timeout);
    // Both entries played (1.0 s then 1.5 s): the longer one is left open.
    QVERIFY2(clock.elapsed() >= 2400, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(engine.duration() && qAbs(*engine.duration() - 1.5) < 0.05);
    QTest::qWait(500);
    QCOMPARE(ended.count(), 1);
}

QTEST_MAIN(TestPlayListPlayback)
#include "tst_playlistplayback.moc"
