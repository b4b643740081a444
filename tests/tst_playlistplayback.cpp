#include "commands/playlist/PlayList.h"
#include "commands/playlist/PlayListFiles.h"
#include "commands/playlist/PlayListPlayback.h"
#include "core/WplWriter.h"
#include "core/XmlPlayList.h"
#include "engine/mpv/MpvEngine.h"
#include "support/FormFixture.h"
#include "support/RealEngine.h"
#include "support/TestMedia.h"
#include "widgets/PlayListBox.h"

#include "support/TestFiles.h"
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QXmlStreamReader>

#include <QtTest>

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
    void loadPlayListFileHandsItToTheEngine();
    void cancelledLoadPlayListChangesNothing();
    void generateIsByteExact();
    void generateEscapesEveryPath();
    void generateFindsTheShippedPieces();
    void generateFailuresLeaveNoPartialFile();
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
