// Which names the engine lets its player open, decided without any player:
// names handed over directly, names the player is about to open, entries of
// the play lists it reads, with files, folders, pipes and undecodable names
// made in a temporary folder.
#include "core/HostFileEntries.h"
#include "core/MediumFileLookup.h"
#include "core/SourceRule.h"
#include "core/StyledSubtitleBound.h"
#include "core/TimedTextBound.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a row puts at its path before the rule looks at it.
enum class Make
{
    Nothing,
    File,
    Folder,
    Pipe
};

} // namespace

Q_DECLARE_METATYPE(Make)

class TestSourceRule : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void namesHandedOver_data();
    void namesHandedOver();
    void namesAboutToOpen_data();
    void namesAboutToOpen();
    void undecodableNamesAreRefused();
    void entriesByTheListTheyCameFrom_data();
    void entriesByTheListTheyCameFrom();
    void fileAddressesWithAHost_data();
    void fileAddressesWithAHost();
    void listEntriesThatAreNoMediumFile_data();
    void listEntriesThatAreNoMediumFile();
    void styledSubtitleValues_data();
    void styledSubtitleValues();
    void styledSubtitleScripts_data();
    void styledSubtitleScripts();
    void timedTextFiles_data();
    void timedTextFiles();

private:
    // Makes what the row asks for at this name inside the folder; "%1" in
    // a name stands for the folder.
    QString prepare(const QString &name, Make make);

    QTemporaryDir m_dir;
};

void TestSourceRule::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestSourceRule::prepare(const QString &name, Make make)
{
    const QString resolved = QString(name).replace(QLatin1String("%1"), m_dir.path());
    const QString path = m_dir.filePath(QStringLiteral("made"));
    QDir(path).removeRecursively();
    QFile::remove(path);
    switch (make) {
    case Make::Nothing:
        break;
    case Make::File:
        writeBytes(path, "RIFF");
        break;
    case Make::Folder:
        QDir().mkpath(path);
        break;
    case Make::Pipe:
        ::mkfifo(QFile::encodeName(path).constData(), 0644);
        break;
    }
    return resolved;
}

void TestSourceRule::namesHandedOver_data()
{
    // location: where the name leads, "%1" the folder; empty when refused.
    // error: a part of the reason when refused.
    QTest::addColumn<QString>("name");
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("location");
    QTest::addColumn<bool>("local");
    QTest::addColumn<QString>("error");
    QTest::newRow("a file") << "%1/made" << Make::File << "%1/made" << true << QString();
    QTest::newRow("a file URL") << "file://%1/made" << Make::File << "%1/made" << true << QString();
    QTest::newRow("a network stream") << "http://example.org/a.mp3" << Make::Nothing
                                      << "http://example.org/a.mp3" << false << QString();
    QTest::newRow("missing") << "%1/made" << Make::Nothing << QString() << false
                             << "made was not found";
    QTest::newRow("a folder") << "%1/made" << Make::Folder << QString() << false
                              << "made is a folder, not a medium";
    QTest::newRow("a pipe") << "%1/made" << Make::Pipe << QString() << false
                            << "made is a pipe or a device, not a medium file";
    QTest::newRow("a device") << "/dev/null" << Make::Nothing << QString() << false
                              << "null is a pipe or a device";
    QTest::newRow("a refused scheme") << "lavfi://sine" << Make::Nothing << QString() << false
                                      << "lavfi://sine was not opened: the source type";
    QTest::newRow("the MIDI route's scheme") << "corvelmidi://0123" << Make::Nothing << QString()
                                             << false << "corvelmidi://0123 was not opened";
    QTest::newRow("a file on another computer")
        << "file://other/x.mp3" << Make::Nothing << QString() << false << "another computer";
    QTest::newRow("a NUL in the name") << QStringLiteral("%1/ma\u0000de") << Make::File << QString()
                                       << false << "holds a NUL character";
    QTest::newRow("a Windows drive")
        << "C:\\Music\\a.mp3" << Make::Nothing << QString() << false << "Windows drive";
    QTest::newRow("%00 in a file URL")
        << "file://%1/made%00.mp3" << Make::File << QString() << false << "holds a NUL character";
    QTest::newRow("an escaped letter in a file URL")
        << "file://%1/m%61de" << Make::File << "%1/made" << true << QString();
}

void TestSourceRule::namesHandedOver()
{
    QFETCH(QString, name);
    QFETCH(Make, make);
    QFETCH(QString, location);
    QFETCH(bool, local);
    QFETCH(QString, error);
    const SourceRule::Decision decision = SourceRule::forUrl(prepare(name, make));
    QCOMPARE(decision.location, QString(location).replace(QLatin1String("%1"), m_dir.path()));
    QCOMPARE(decision.local, local);
    if (error.isEmpty())
        QCOMPARE(decision.error, QString());
    else
        QVERIFY2(decision.error.contains(error), qPrintable(decision.error));
}

void TestSourceRule::namesAboutToOpen_data()
{
    // Empty reasons: the name may open. The list check never looks at the
    // disk, the load check and the XML play-list check do.
    QTest::addColumn<QString>("name");
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("onLoad");
    QTest::addColumn<QString>("inList");
    QTest::addColumn<QString>("inXmlList");
    const QString folder = QStringLiteral("a folder, not a medium");
    const QString pipe = QStringLiteral("a pipe or a device, not a medium file");
    const QString scheme = QStringLiteral("the source type");
    QTest::newRow("a file") << "%1/made" << Make::File << QString() << QString() << QString();
    QTest::newRow("a missing file")
        << "%1/made" << Make::Nothing << QString() << QString() << QString();
    QTest::newRow("a folder") << "%1/made" << Make::Folder << folder << QString() << folder;
    QTest::newRow("a pipe") << "%1/made" << Make::Pipe << pipe << QString() << pipe;
    QTest::newRow("a network stream")
        << "https://example.org/live" << Make::Nothing << QString() << QString() << QString();
    QTest::newRow("lavfi") << "av://lavfi:sine" << Make::Nothing << scheme << scheme << QString();
    QTest::newRow("edl") << "edl://%1/made,0,1" << Make::File << scheme << scheme << QString();
    QTest::newRow("fd") << "fd://0" << Make::Nothing << scheme << scheme << QString();
}

void TestSourceRule::namesAboutToOpen()
{
    QFETCH(QString, name);
    QFETCH(Make, make);
    QFETCH(QString, onLoad);
    QFETCH(QString, inList);
    QFETCH(QString, inXmlList);
    const QString prepared = prepare(name, make);
    const auto expect = [](const QString &reason, const QString &part) {
        return part.isEmpty() ? reason.isEmpty() : reason.contains(part);
    };
    QVERIFY2(expect(SourceRule::refusedOnLoad(prepared), onLoad),
             qPrintable(SourceRule::refusedOnLoad(prepared)));
    QVERIFY2(expect(SourceRule::refusedInList(prepared), inList),
             qPrintable(SourceRule::refusedInList(prepared)));
    QVERIFY2(expect(SourceRule::refusedInXmlList(prepared), inXmlList),
             qPrintable(SourceRule::refusedInXmlList(prepared)));
}

void TestSourceRule::undecodableNamesAreRefused()
{
    // "bad", the bytes FF FE (not UTF-8), ".wav": read as text, the name is
    // "bad\uFFFD\uFFFD.wav", which leads nowhere or to another file.
    const QByteArray folder = QFile::encodeName(m_dir.path());
    const QByteArray raw = folder + "/bad\xff\xfe.wav";
    FILE *file = std::fopen(raw.constData(), "w");
    QVERIFY(file);
    std::fclose(file);
    const QString shown = m_dir.filePath(QStringLiteral("bad\uFFFD\uFFFD.wav"));
    QCOMPARE(SourceRule::lossyPart(shown), QStringLiteral("bad\uFFFD\uFFFD.wav"));
    QVERIFY(SourceRule::forUrl(shown).error.contains(QLatin1String("not valid text")));

    // A neighbour really named so cannot be told apart from it either.
    QVERIFY(writeBytes(shown, "RIFF"));
    QVERIFY(SourceRule::forUrl(shown).error.contains(QLatin1String("not valid text")));
    QVERIFY(SourceRule::forUrl(shown).location.isEmpty());

    // Once the undecodable one is gone, the name is plain text again.
    QCOMPARE(::unlink(raw.constData()), 0);
    QCOMPARE(SourceRule::lossyPart(shown), QString());
    QCOMPARE(SourceRule::forUrl(shown).location, shown);
}

void TestSourceRule::entriesByTheListTheyCameFrom_data()
{
    // lists: the play lists the entry sits in, outermost first, as mpv
    // names them; an empty reason: the entry may open.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("lists");
    QTest::addColumn<QString>("reason");
    const QStringList local{QStringLiteral("/m/list.m3u")};
    const QStringList remote{QStringLiteral("http://example.org/list.m3u")};
    const QString notNetwork = QStringLiteral("a play list from the network may name only");
    QTest::newRow("a file in a local list") << "/m/a.wav" << local << QString();
    QTest::newRow("a stream in a local list") << "http://example.org/a.mp3" << local << QString();
    QTest::newRow("a stream in a remote list") << "https://example.org/a" << remote << QString();
    QTest::newRow("a path in a remote list") << "/home/user/x.mid" << remote << notNetwork;
    QTest::newRow("a file URL in a remote list")
        << "file:///home/user/x.wav" << remote << notNetwork;
    QTest::newRow("a relative name in a remote list") << "x.wav" << remote << notNetwork;
    QTest::newRow("a path in a local list inside a remote one")
        << "/m/a.wav" << (remote + local) << notNetwork;
    QTest::newRow("a refused source in a remote list")
        << "lavfi://sine" << remote << "the source type";
    QTest::newRow("a drive joined to the list's folder")
        << "/m/C:\\Music\\a.mp3" << local << "a Windows drive path (C:)";
    QTest::newRow("a drive with slashes joined")
        << "/m/d:/a.mp3" << local << "a Windows drive path (D:)";
    QTest::newRow("a share joined to the list's folder")
        << "/m/\\\\server\\share\\a.mp3" << local << "a Windows network or drive path";
    QTest::newRow("a name with a colon in the folder") << "/m/a:b.wav" << local << QString();
    QTest::newRow("a drive-like name in a subfolder") << "/m/sub/C:\\a.mp3" << local << QString();
    QTest::newRow("a file on another computer")
        << "file://server/m/a.wav" << local << "a file on another computer (server)";
    QTest::newRow("%00 in a file URL") << "file:///m/a.wav%00.mp3" << local << "NUL character";
    QTest::newRow("the list itself") << "/m/list.m3u" << local << "names itself";
    QTest::newRow("a list it is inside")
        << "/m/outer.pls" << QStringList{QStringLiteral("/m/outer.pls"), local.first()}
        << "names a play list it is inside";
    QStringList eight, nine;
    for (int i = 0; i < 9; ++i)
        (i < 8 ? eight : nine) << QStringLiteral("/m/%1.m3u").arg(i);
    nine = eight + nine;
    QTest::newRow("eight lists deep") << "/m/a.wav" << eight << QString();
    QTest::newRow("nine lists deep") << "/m/a.wav" << nine << "inside more than 8 play lists";
    QTest::newRow("not in a list") << "/m/list.m3u" << QStringList() << QString();
}

void TestSourceRule::entriesByTheListTheyCameFrom()
{
    QFETCH(QString, name);
    QFETCH(QStringList, lists);
    QFETCH(QString, reason);
    SourceRule::ListOrigin origin;
    for (const QString &list : lists)
        origin = origin.inside(list);
    const QString refused = SourceRule::refusedInList(name, origin);
    if (reason.isEmpty())
        QCOMPARE(refused, QString());
    else
        QVERIFY2(refused.contains(reason), qPrintable(refused));
}

void TestSourceRule::fileAddressesWithAHost_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QByteArray>("text");
    // What the engine would open for each such entry, and the entry as written.
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("m3u") << "/m/a.m3u"
                         << QByteArray("#EXTM3U\nfile://server/x/a%20b.wav\r\nlocal.wav\n")
                         << QStringList{"/m/server/x/a b.wav"}
                         << QStringList{"file://server/x/a%20b.wav"};
    QTest::newRow("pls, any case")
        << "/m/a.pls"
        << QByteArray("[playlist]\nfile1=FILE://Host/y.mp3\n"
                      "File2=file:///abs.mp3\nFile3=http://h/z\n")
        << QStringList{"/m/Host/y.mp3"} << QStringList{"FILE://Host/y.mp3"};
    QTest::newRow("localhost, and a way out of the folder")
        << "/m/n/a.m3u" << QByteArray("file://localhost/../../etc/x.wav\n")
        << QStringList{"/m/etc/x.wav"} << QStringList{"file://localhost/../../etc/x.wav"};
    QTest::newRow("no address with a host")
        << "/m/a.m3u" << QByteArray("# file://commented\nfile:///a.wav\nfile:b.wav\n")
        << QStringList() << QStringList();
}

void TestSourceRule::fileAddressesWithAHost()
{
    QFETCH(QString, list);
    QFETCH(QByteArray, text);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, written);
    QStringList foundOpened;
    QStringList foundWritten;
    for (const HostFileEntries::Entry &entry : HostFileEntries::find(text, list)) {
        foundOpened << entry.opened;
        foundWritten << entry.written;
        QVERIFY(!entry.reason.isEmpty());
    }
    QCOMPARE(foundOpened, opened);
    QCOMPARE(foundWritten, written);
    QVERIFY(HostFileEntries::isTextList(list, text));
    QVERIFY(HostFileEntries::isTextList(QStringLiteral("/m/noname"), "\xEF\xBB\xBF#EXTM3U\n"));
    QVERIFY(!HostFileEntries::isTextList(QStringLiteral("/m/a.wav"), "RIFF"));
}

void TestSourceRule::listEntriesThatAreNoMediumFile_data()
{
    // entry: a name in a folder of its own, "%1" that folder; what the row
    // makes is at "%1/made". reason: a part of why it is no medium file,
    // empty when it is one. Each row is looked up alone and among enough
    // good siblings that the folder is read whole instead.
    QTest::addColumn<QString>("entry");
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a file") << "%1/made" << Make::File << QString();
    QTest::newRow("missing") << "%1/made" << Make::Nothing << "not found";
    QTest::newRow("a folder") << "%1/made" << Make::Folder << "a folder";
    QTest::newRow("a pipe") << "%1/made" << Make::Pipe << "a pipe or a device";
    QTest::newRow("a link to a file") << "%1/link" << Make::File << QString();
    QTest::newRow("a link to a pipe") << "%1/link" << Make::Pipe << "a pipe or a device";
    QTest::newRow("a link to nothing") << "%1/link" << Make::Nothing << "not found";
    QTest::newRow("a file through ..") << "%1/sub/../made" << Make::File << QString();
    QTest::newRow("missing through ..") << "%1/sub/../made" << Make::Nothing << "not found";
    QTest::newRow("a name differing in case") << "%1/MADE" << Make::File << "not found";
    QTest::newRow("a name beyond ASCII")
        << QStringLiteral("%1/made\u00e9") << Make::Nothing << "not found";
}

void TestSourceRule::listEntriesThatAreNoMediumFile()
{
    QFETCH(QString, entry);
    QFETCH(Make, make);
    QFETCH(QString, reason);
    const QString folder = m_dir.path();
    for (const int siblings : {0, MediumFileLookup::folderReadFrom + 8}) {
        const QString path = prepare(entry, make);
        QDir().mkpath(folder + QStringLiteral("/sub"));
        QFile::remove(folder + QStringLiteral("/link"));
        QVERIFY(QFile::link(folder + QStringLiteral("/made"), folder + QStringLiteral("/link")));
        MediumFileLookup::Entries entries;
        for (int i = 0; i < siblings; ++i) {
            const QString sibling = folder + QStringLiteral("/good-%1.wav").arg(i);
            writeBytes(sibling, "RIFF");
            entries.emplace_back(100 + i, sibling);
        }
        entries.emplace_back(7, path);
        const MediumFileLookup::Entries found = MediumFileLookup::noMediumFiles(entries);
        if (reason.isEmpty()) {
            QVERIFY2(found.empty(), qPrintable(QString::number(siblings)));
            continue;
        }
        QCOMPARE(found.size(), size_t(1));
        QCOMPARE(found.front().first, qint64(7));
        QVERIFY2(found.front().second.contains(reason),
                 qPrintable(found.front().second + u' ' + QString::number(siblings)));
    }
}

void TestSourceRule::styledSubtitleValues_data()
{
    // A line's text in a script 360 pixels high, and what is drawn of it.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("drawn");
    const QByteArray real = "{\\k20}Ka{\\k30}ra{\\blur2\\fs40\\bord3\\shad1\\fscx120}oke";
    QTest::newRow("real karaoke") << real << real;
    QTest::newRow("huge size") << QByteArray("{\\fs5000}Hi") << QByteArray("{\\fs360}Hi");
    QTest::newRow("exponent") << QByteArray("{\\fs1e9}Hi") << QByteArray("{\\fs360}Hi");
    QTest::newRow("in parentheses") << QByteArray("{\\fs(5000)}") << QByteArray("{\\fs(360)}");
    QTest::newRow("edges") << QByteArray("{\\bord100\\ybord99\\shad100\\blur500\\be900}")
                           << QByteArray("{\\bord45\\ybord45\\shad45\\blur22.5\\be32}");
    QTest::newRow("scale, spacing, shear") << QByteArray("{\\fscx5000\\fscy200\\fsp-9000\\fax-30}")
                                           << QByteArray("{\\fscx1000\\fscy200\\fsp-360\\fax-2}");
    QTest::newRow("inside an animation")
        << QByteArray("{\\t(0,500,\\fs9000\\blur2)}") << QByteArray("{\\t(0,500,\\fs360\\blur2)}");
    QTest::newRow("growing step by step")
        << QByteArray("{\\fs100\\fs+5}a{\\fs+19}b") << QByteArray("{\\fs100\\fs+5}a{\\fs360}b");
    for (const char *left : {"{\\fs}", "{\\fsabc}", "{\\fs\\blur}", "\\fs5000 {\\fs5000",
                             "{\\fsp}{\\fn Arial 5000}{\\pos(9000,9000)}"})
        QTest::newRow(left) << QByteArray(left) << QByteArray(left);
}

void TestSourceRule::styledSubtitleValues()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, drawn);
    int clamped = -1;
    QCOMPARE(StyledSubtitleBound::clampText(text, 360, &clamped), drawn);
    QCOMPARE(clamped > 0, text != drawn);
}

void TestSourceRule::styledSubtitleScripts_data()
{
    // A script's events, how many of them and whether each starts as the one
    // before ends; how many values are clamped and whether lines are left out.
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("event");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("apart");
    QTest::addColumn<int>("clamped");
    QTest::addColumn<bool>("dropped");
    const QByteArray plain = "[Script Info]\r\nPlayResY: 360\r\n\r\n[V4+ Styles]\r\nFormat: Name, "
                             "Fontsize, Outline, Shadow\r\nStyle: Default,40,2,1\r\n";
    const QByteArray heavy = "{\\blur50\\fs200\\bord50\\shad50}Heavy line";
    QTest::newRow("real lines") << plain << QByteArray("{\\blur2}Words {\\k40}sung") << 40 << false
                                << 0 << false;
    QTest::newRow("heavy lines") << plain << heavy << 2000 << false << 6000 << true;
    QTest::newRow("heavy lines one after another") << plain << heavy << 300 << true << 900 << false;
    QTest::newRow("countless plain lines")
        << plain << QByteArray("Line") << 50000 << false << 0 << true;
    QTest::newRow("a huge drawing")
        << plain << QByteArray("{\\p1}m 0 0 l 100000 0 100000 100000{\\p0}") << 1 << false << 0
        << true;
    QTest::newRow("a huge style, a tiny script")
        << QByteArray("[Script Info]\nPlayResX: 4\nPlayResY: 3\n[V4+ Styles]\nFormat: Name, "
                      "Fontsize, ScaleX\nStyle: Default,5000,100\n")
        << QByteArray("Big") << 1 << false << 1 << true;
    QTest::newRow("a huge style reached by a reset")
        << plain + "Style: Huge,5000,2,1\r\n"
        << QByteArray("{\\rHuge}Big") << 500 << false << 1 << true;
    QTest::newRow("an older script's style")
        << QByteArray("[Script Info]\nPlayResY: 288\n[V4 Styles]\nFormat: Name, Fontname, "
                      "Fontsize, PrimaryColour, SecondaryColour, TertiaryColour, BackColour, "
                      "Bold, Italic, BorderStyle, Outline, Shadow, Alignment\nStyle: "
                      "Default,Arial,20,0,0,0,0,0,0,1,900,2,2\n")
        << QByteArray("Words") << 1 << false << 1 << false;
}

void TestSourceRule::styledSubtitleScripts()
{
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, event);
    QFETCH(int, count);
    QFETCH(bool, apart);
    QFETCH(int, clamped);
    QFETCH(bool, dropped);
    QByteArray script = header + "[Events]\nFormat: Layer, Start, End, Style, Text\n";
    const auto time = [](int seconds) {
        return QByteArray::number(seconds / 3600) + ':' +
               QByteArray::number(seconds / 60 % 60).rightJustified(2, '0') + ':' +
               QByteArray::number(seconds % 60).rightJustified(2, '0') + ".00";
    };
    for (int i = 0; i < count; ++i)
        script += "Dialogue: 0," + time(apart ? i : 0) + ',' + time(apart ? i + 1 : 10 + i % 40) +
                  ",Default," + event + '\n';
    QVERIFY(StyledSubtitleBound::isStyled(script));
    const StyledSubtitleBound::Result result = StyledSubtitleBound::bound(script);
    QCOMPARE(result.clampedValues, clamped);
    QCOMPARE(result.droppedLines > 0, dropped);
    QCOMPARE(result.script.count("\nComment: "), result.droppedLines);
    QCOMPARE(result.script == script, !result.changed());
    // What is left shows: the first line, all of what a real script holds.
    QVERIFY(result.script.contains("\nDialogue: 0,0:00:00.00,0:00:") ||
            result.droppedLines == count);
    QVERIFY(result.droppedLines < count || count == 1);
}

void TestSourceRule::timedTextFiles_data()
{
    // A file's header and cue (%1 its number, %2 its start in seconds), how
    // many cues and whether each starts as the one before ends; how many
    // sizes are clamped and whether cues are left out.
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("cue");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("apart");
    QTest::addColumn<int>("clamped");
    QTest::addColumn<bool>("dropped");
    const QByteArray srt = "%1\r\n00:00:%2,000 --> 00:00:%3,500\r\n<i>Words</i> <font "
                           "size=\"20\">said</font>\r\n\r\n";
    QTest::newRow("real cues") << QByteArray() << srt << 50 << true << 0 << false;
    QTest::newRow("countless cues at once") << QByteArray() << srt << 20000 << false << 0 << true;
    QTest::newRow("a huge font size")
        << QByteArray() << QByteArray("1\n00:00:00,000 --> 00:00:01,000\n<font size='9e3'>Big\n\n")
        << 1 << false << 1 << false;
    QTest::newRow("cues whose times cannot be read")
        << QByteArray() << QByteArray("%1\nsoon --> later\nWords\n\n") << 20000 << false << 0
        << true;
    QTest::newRow("cues with settings, at once")
        << QByteArray("WEBVTT\n\n") << QByteArray("c%1\n00:%2.000 --> 00:%3.000 line:0\nWords\n\n")
        << 20000 << false << 0 << true;
}

void TestSourceRule::timedTextFiles()
{
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, cue);
    QFETCH(int, count);
    QFETCH(bool, apart);
    QFETCH(int, clamped);
    QFETCH(bool, dropped);
    QByteArray text = header;
    for (int i = 0; i < count; ++i) {
        const int start = apart ? i % 60 : 0;
        text += QString::fromLatin1(cue)
                    .arg(i + 1)
                    .arg(start, 2, 10, QLatin1Char('0'))
                    .arg(apart ? start : 59, 2, 10, QLatin1Char('0'))
                    .toLatin1();
    }
    QVERIFY(TimedTextBound::isTimed(text));
    const StyledSubtitleBound::Result result = TimedTextBound::bound(text);
    QCOMPARE(result.clampedValues, clamped);
    QCOMPARE(result.droppedLines > 0, dropped);
    QCOMPARE(result.script == text, !result.changed());
    // Whole cues go, the first one stays.
    QCOMPARE(result.script.count("-->"), count - result.droppedLines);
    QVERIFY(result.script.startsWith(text.left(text.indexOf("-->"))));
    QVERIFY(!result.script.contains("\n\n\n") || text.contains("\n\n\n"));
}

QTEST_MAIN(TestSourceRule)
#include "tst_sourcerule.moc"
