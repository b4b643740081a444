#include "core/MediaSource.h"
#include "core/XmlPlayList.h"

#include <QtTest>

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray wpl(const QStringList &sources)
{
    QByteArray document = "<?wpl version=\"1.0\"?>\n<smil><head><title>t</title></head>"
                          "<body><seq>\n";
    for (const QString &source : sources)
        document += "<media src=\"" + source.toUtf8() + "\"/>\n";
    return document + "</seq></body></smil>\n";
}

QByteArray asx(const QStringList &hrefs)
{
    QByteArray document = "<ASX VERSION=\"3.0\">\n<TITLE>t</TITLE>\n";
    for (const QString &href : hrefs)
        document += "<Entry><REF HREF=\"" + href.toUtf8() + "\"/></Entry>\n";
    return document + "</ASX>\n";
}

QByteArray utf16(const QString &text, bool littleEndian, bool withMark)
{
    QByteArray bytes;
    if (withMark)
        bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (const QChar c : text) {
        const char low = char(c.unicode() & 0xFF), high = char(c.unicode() >> 8);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
    return bytes;
}

} // namespace

class TestXmlPlayList : public QObject
{
    Q_OBJECT
private slots:
    void readsWplAndAsx();
    void resolvesLocalEntries();
    void refusesEverySchemeButTheAllowed();
    void classifiesSingleEntries();
    void refusesHostileFilesQuickly();
    void boundsAttributesAndNamespaces_data();
    void boundsAttributesAndNamespaces();
    void reportsBrokenFiles();
    void decodesDeclaredAndMarkedEncodings();
};

void TestXmlPlayList::readsWplAndAsx()
{
    const QString base = QStringLiteral("/lists");
    XmlPlayListResult result =
        readXmlPlayListData(wpl({QStringLiteral("/m/Tom &amp; Jerry &#233;&#x263A;.mp3"),
                                 QStringLiteral("  /m/b.ogg\n")}),
                            base);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.entries,
             QStringList({QStringLiteral("/m/Tom & Jerry é☺.mp3"), QStringLiteral("/m/b.ogg")}));
    QVERIFY(result.skipped.isEmpty());

    // Upper-case names, the first usable ref of an entry (the rest are its
    // alternatives), entries inside repeat, a link to another list, and the
    // bare "&" of hand-written URLs.
    result =
        readXmlPlayListData("<Asx Version=\"3.0\">"
                            "<ENTRY><Ref Href=\"lavfi://sine\"/><REF HREF=\"http://h/a?x=1&y=2\"/>"
                            "<ref href=\"http://h/alternative\"/></ENTRY>"
                            "<Repeat COUNT=\"2\"><Entry><!-- <Ref href=\"/m/comment.mp3\"/> "
                            "--><ref HREF=\"/m/R.MP3\"/></Entry></Repeat>"
                            "<EntryRef HREF=\"http://h/more.asx\"/>"
                            "<entry><ref href=\"\"/></entry>"
                            "</ASX>",
                            base);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.entries,
             QStringList({QStringLiteral("http://h/a?x=1&y=2"), QStringLiteral("/m/R.MP3")}));
    QCOMPARE(result.skipped.size(), 3);
    QVERIFY(result.skipped.at(0).startsWith(QStringLiteral("lavfi://sine: ")));
    QVERIFY(result.skipped.at(1).startsWith(QStringLiteral("http://h/more.asx: ")));

    // Elements outside their place are not entries.
    result = readXmlPlayListData("<smil><media src=\"/m/stray.mp3\"/><body><seq>"
                                 "<MEDIA SRC=\"/m/in.mp3\"/></seq></body></smil>",
                                 base);
    QCOMPARE(result.entries, QStringList{QStringLiteral("/m/in.mp3")});

    QVERIFY(isXmlPlayList(QStringLiteral("/a/B.WPL")) && isXmlPlayList(QStringLiteral("x.wvx")) &&
            isXmlPlayList(QStringLiteral("x.wmx")) && isXmlPlayList(QStringLiteral("x.asx")));
    QVERIFY(!isXmlPlayList(QStringLiteral("x.m3u")) && !isXmlPlayList(QStringLiteral("wpl")));
}

void TestXmlPlayList::resolvesLocalEntries()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("lists/sub")));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("lists/back\\slash.mp3")), "x"));
    const QString list = dir.filePath(QStringLiteral("lists/mix.wpl"));
    QVERIFY(writeBytes(
        list, wpl({QStringLiteral("a.mp3"), QStringLiteral("sub/b.mp3"),
                   QStringLiteral("..\\Music\\c d.mp3"), QStringLiteral("sub\\e.mp3"),
                   QStringLiteral("back\\slash.mp3"), QStringLiteral("file:///m/f%20g.mp3"),
                   QStringLiteral("file://localhost/m/h.mp3"), QStringLiteral("Live: intro.mp3"),
                   QStringLiteral("/abs/i.mp3"), QStringLiteral("-j.mp3"),
                   QStringLiteral("C:\\Music\\k.mp3"), QStringLiteral("\\\\server\\share\\l.mp3"),
                   QStringLiteral("file://server/m.mp3")})));
    const QString folder = dir.filePath(QStringLiteral("lists"));
    const XmlPlayListResult result = readXmlPlayList(list);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.entries,
             QStringList({folder + QStringLiteral("/a.mp3"), folder + QStringLiteral("/sub/b.mp3"),
                          dir.filePath(QStringLiteral("Music/c d.mp3")),
                          folder + QStringLiteral("/sub/e.mp3"),
                          folder + QStringLiteral("/back\\slash.mp3"), QStringLiteral("/m/f g.mp3"),
                          QStringLiteral("/m/h.mp3"), folder + QStringLiteral("/Live: intro.mp3"),
                          QStringLiteral("/abs/i.mp3"), folder + QStringLiteral("/-j.mp3")}));
    QCOMPARE(result.skipped.size(), 3);
    QVERIFY(result.skipped.at(0).startsWith(QStringLiteral("C:\\Music\\k.mp3: ")));
    QVERIFY(result.skipped.at(2).contains(QStringLiteral("server")));
}

void TestXmlPlayList::refusesEverySchemeButTheAllowed()
{
    // Everything mpv 0.35 lists besides files and the six stream schemes,
    // and the sources the engine reaches through them.
    const QStringList refused = {"av://lavfi:sine",
                                 "lavfi://sine",
                                 "edl://a.mp3,0,1",
                                 "memory://abc",
                                 "fd://0",
                                 "fdclose://3",
                                 "mf://*.jpg",
                                 "hex://41",
                                 "slice://0-1@/etc/passwd",
                                 "subfile://x",
                                 "null://",
                                 "dvd://1",
                                 "bd://1",
                                 "cdda://",
                                 "dvdnav://",
                                 "bluray://",
                                 "archive:///a.zip",
                                 "appending:///x",
                                 "lavf://x",
                                 "ffmpeg://x",
                                 "udp://h:1",
                                 "ftp://h/x",
                                 "tcp://h:1",
                                 "tls://h:1",
                                 "unix:///tmp/s",
                                 "sftp://h/x",
                                 "md5:///x",
                                 "concat://a|b",
                                 "smb://h/x",
                                 "avdevice://x",
                                 "dvb://1",
                                 "data://x",
                                 "ipfs://x",
                                 "gopher://h/x",
                                 "rtp://h:1",
                                 "srt://h:1",
                                 "rist://h:1",
                                 "httpproxy://h",
                                 "rtsps://h/x",
                                 "rtmps://h/x",
                                 "mmst://h/x",
                                 "mmshttp://h/x",
                                 "JavaScript://x",
                                 "made-up+scheme://x"};
    const QStringList allowed = {"http://h/a", "HTTPS://h/b", "mms://h/c",
                                 "mmsh://h/d", "rtsp://h/e",  "rtmp://h/f"};
    for (const bool asAsx : {false, true}) {
        QStringList entries = {QStringLiteral("/m/first.mp3")};
        for (const QString &scheme : refused)
            entries << scheme;
        entries << allowed;
        const QByteArray data = asAsx ? asx(entries) : wpl(entries);
        const XmlPlayListResult result = readXmlPlayListData(data, QStringLiteral("/lists"));
        QCOMPARE(result.error, QString());
        QCOMPARE(result.entries, QStringList({QStringLiteral("/m/first.mp3")}) + allowed);
        QCOMPARE(result.skipped.size(), refused.size());
        for (const QString &skipped : result.skipped)
            QVERIFY2(skipped.contains(QLatin1String("not allowed")), qPrintable(skipped));
    }
    QCOMPARE(MediaSource::networkSchemes(),
             QStringList({"http", "https", "mms", "mmsh", "rtsp", "rtmp"}));
}

void TestXmlPlayList::classifiesSingleEntries()
{
    const auto kind = [](const QString &entry) {
        return MediaSource::classify(entry, QStringLiteral("/base")).kind;
    };
    QCOMPARE(kind(QStringLiteral("rtsp://cam.local:554/live")), MediaSource::Kind::Network);
    QCOMPARE(kind(QStringLiteral("http://")), MediaSource::Kind::Refused);
    QCOMPARE(kind(QString()), MediaSource::Kind::Refused);
    // Without "//" a word and a colon are part of a file name, as for the
    // engine: the entry becomes a path under the base folder.
    QCOMPARE(MediaSource::classify(QStringLiteral("concat:a|b"), QStringLiteral("/base")).location,
             QStringLiteral("/base/concat:a|b"));
    // A NUL would end the name early and open a different file.
    QCOMPARE(kind(QStringLiteral("/m/a.mp3") + QChar(0) + QStringLiteral("x")),
             MediaSource::Kind::Refused);
    QCOMPARE(kind(QStringLiteral("c:/Music/a.mp3")), MediaSource::Kind::Refused);
    QCOMPARE(kind(QStringLiteral("\\Music\\a.mp3")), MediaSource::Kind::Refused);

    const MediaSource rejected = MediaSource::classify(QStringLiteral("edl://x"), QString());
    QVERIFY(rejected.location.isEmpty());
    QVERIFY(rejected.reason.contains(QLatin1String("edl://")));
    // With no folder given, relative entries start from the current one.
    QCOMPARE(MediaSource::classify(QStringLiteral("./x/../a.mp3"), QString()).location,
             QDir::currentPath() + QStringLiteral("/a.mp3"));
    QCOMPARE(MediaSource::classify(QStringLiteral("file:///x/%C3%A9.mp3"), QString()).location,
             QStringLiteral("/x/é.mp3"));
}

void TestXmlPlayList::refusesHostileFilesQuickly()
{
    // The classic billion laughs: ten levels of ten references.
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE asx [\n<!ENTITY lol \"lol\">\n";
    for (int level = 1; level <= 10; ++level) {
        laughs += "<!ENTITY lol" + QByteArray::number(level) + " \"";
        for (int i = 0; i < 10; ++i)
            laughs += "&lol" + (level > 1 ? QByteArray::number(level - 1) : QByteArray()) + ";";
        laughs += "\">\n";
    }
    laughs += "]>\n<asx><entry><ref href=\"&lol10;\"/></entry></asx>\n";
    XmlPlayListResult result = readXmlPlayListData(laughs, QStringLiteral("/lists"));
    QVERIFY(result.entries.isEmpty());
    QVERIFY2(result.error.contains(QLatin1String("entities")), qPrintable(result.error));

    // An external entity must read nothing.
    result = readXmlPlayListData("<?xml version=\"1.0\"?>\n<!DOCTYPE smil [\n"
                                 "<!ENTITY secret SYSTEM \"file:///etc/passwd\">]>\n"
                                 "<smil><body><seq><media src=\"&secret;\"/></seq></body></smil>",
                                 QStringLiteral("/lists"));
    QVERIFY(result.entries.isEmpty());
    QVERIFY(!result.error.isEmpty());

    // Parameter entities.
    result = readXmlPlayListData("<!DOCTYPE smil [<!ENTITY % p SYSTEM \"http://h/x.dtd\"> %p;]>"
                                 "<smil/>",
                                 QStringLiteral("/lists"));
    QVERIFY(!result.error.isEmpty());

    // A harmless DOCTYPE is fine.
    result = readXmlPlayListData("<!DOCTYPE smil><smil><body><seq><media src=\"/a\"/></seq></body>"
                                 "</smil>",
                                 QStringLiteral("/lists"));
    QCOMPARE(result.entries, QStringList{QStringLiteral("/a")});

    // Deep nesting.
    const QByteArray deep = "<asx>" + QByteArray("<entry>").repeated(100000) + "</asx>";
    result = readXmlPlayListData(deep, QStringLiteral("/lists"));
    QVERIFY2(result.error.contains(QLatin1String("deep")), qPrintable(result.error));

    // A file of 100 MB (sparse, so cheap to make) is refused without being read.
    QTemporaryDir dir;
    QFile huge(dir.filePath(QStringLiteral("huge.wpl")));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.write("<smil><body><seq>") > 0);
    QVERIFY(huge.resize(100 * 1024 * 1024));
    huge.close();
    result = readXmlPlayList(huge.fileName());
    QVERIFY2(result.error.contains(QLatin1String("too large")), qPrintable(result.error));
    QVERIFY(readXmlPlayListData(QByteArray(20 * 1024 * 1024, ' '), QString())
                .error.contains(QLatin1String("too large")));
}

void TestXmlPlayList::boundsAttributesAndNamespaces_data()
{
    QTest::addColumn<int>("attributes");
    QTest::addColumn<int>("namespaces");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("32 attributes") << 32 << 0 << 1 << QString();
    QTest::newRow("33 attributes") << 33 << 0 << 1 << QStringLiteral("more than 32 attributes");
    QTest::newRow("300,000 attributes, 3.2 MB")
        << 300000 << 0 << 1 << QStringLiteral("more than 32 attributes");
    QTest::newRow("100,000 entries of 5 attributes") << 5 << 0 << 100000 << QString();
    QTest::newRow("20,000 entries of 26 attributes")
        << 26 << 0 << 20000 << QStringLiteral("more than 500,000 attributes");
    QTest::newRow("30 namespaces") << 1 << 30 << 1 << QString();
    QTest::newRow("65 namespaces, one an element")
        << 1 << 65 << 65 << QStringLiteral("more than 64 namespace declarations");
}

void TestXmlPlayList::boundsAttributesAndNamespaces()
{
    QFETCH(int, attributes);
    QFETCH(int, namespaces);
    QFETCH(int, entries);
    QFETCH(QString, refusal);
    // Attribute values may hold ">" and "=", which end nothing.
    QByteArray extra;
    for (int i = 1; i < attributes; ++i)
        extra += " a" + QByteArray::number(i) + "=\"x=>\"";
    QByteArray body;
    for (int i = 0; i < entries; ++i) {
        const QByteArray declaration =
            i < namespaces && entries > 1 ? " xmlns:n" + QByteArray::number(i) + "=\"urn:n\"" : "";
        body +=
            "<media src=\"/m/" + QByteArray::number(i) + ".mp3\"" + extra + declaration + "/>\n";
    }
    QByteArray root = "<smil";
    for (int i = 0; i < namespaces && entries == 1; ++i)
        root += " xmlns:n" + QByteArray::number(i) + "=\"urn:n" + QByteArray::number(i) + "\"";
    const QByteArray file = root + "><body><seq>\n" + body + "</seq></body></smil>\n";
    QVERIFY(file.size() < 16 * 1024 * 1024);

    const XmlPlayListResult result = readXmlPlayListData(file, QStringLiteral("/lists"));
    if (refusal.isEmpty()) {
        QCOMPARE(result.error, QString());
        QCOMPARE(result.entries.size(), entries);
        QCOMPARE(result.entries.last(), QStringLiteral("/m/%1.mp3").arg(entries - 1));
    } else {
        QVERIFY2(result.error.contains(refusal), qPrintable(result.error));
        QVERIFY(result.entries.isEmpty());
    }
}

void TestXmlPlayList::reportsBrokenFiles()
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.wpl"));
    QVERIFY(writeBytes(empty, QByteArray()));
    const QString cut = dir.filePath(QStringLiteral("cut.asx"));
    QVERIFY(writeBytes(cut, "<asx>\n<entry><ref href=\"/m/a.mp3\"/></entry>\n<entry><ref hr"));
    const QString html = dir.filePath(QStringLiteral("page.wpl"));
    QVERIFY(writeBytes(html, "<html><body>Not found</body></html>"));
    const QString unclosed = dir.filePath(QStringLiteral("unclosed.asx"));
    QVERIFY(writeBytes(unclosed, "<asx><entry><ref href=\"/a\"/></asx>"));

    for (const QString &path :
         {empty, cut, html, unclosed, dir.filePath(QStringLiteral("gone.wpl")), dir.path()}) {
        const XmlPlayListResult result = readXmlPlayList(path);
        QVERIFY2(!result.error.isEmpty(), qPrintable(path));
        QVERIFY(result.entries.isEmpty());
    }
    QVERIFY(readXmlPlayList(cut).error.contains(QLatin1String("line 3")));
    QVERIFY(readXmlPlayList(html).error.contains(QLatin1String("<html>")));
}

void TestXmlPlayList::decodesDeclaredAndMarkedEncodings()
{
    const QString text = QStringLiteral("<asx version=\"3.0\"><entry><ref href=\"/m/Café €.mp3\"/>"
                                        "</entry></asx>");
    const QStringList expected = {QStringLiteral("/m/Café €.mp3")};
    const QString declared = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\n") + text;

    QCOMPARE(readXmlPlayListData(utf16(declared.arg("UTF-16"), true, true), {}).entries, expected);
    QCOMPARE(readXmlPlayListData(utf16(declared.arg("UTF-16"), false, true), {}).entries, expected);
    QCOMPARE(readXmlPlayListData(utf16(declared.arg("utf-16"), true, false), {}).entries, expected);
    QCOMPARE(readXmlPlayListData(utf16(text, false, true), {}).entries, expected);
    QCOMPARE(readXmlPlayListData("\xEF\xBB\xBF" + text.toUtf8(), {}).entries, expected);

    // Windows-1252: "é" is 0xE9 and "€" is 0x80, declared or not.
    const QByteArray ansi = "<asx><entry><ref href=\"/m/Caf\xE9 \x80.mp3\"/></entry></asx>";
    QCOMPARE(
        readXmlPlayListData("<?xml version=\"1.0\" encoding=\"Windows-1252\"?>" + ansi, {}).entries,
        expected);
    QCOMPARE(
        readXmlPlayListData("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + ansi, {}).entries,
        expected);
    QCOMPARE(readXmlPlayListData(ansi, {}).entries, expected);
    // Declared Windows-1252 wins even over bytes that would pass as UTF-8.
    QCOMPARE(readXmlPlayListData("<?xml version='1.0' encoding='cp1252'?>"
                                 "<asx><entry><ref href=\"/m/\xC3\xA9\"/></entry></asx>",
                                 {})
                 .entries,
             QStringList{QStringLiteral("/m/Ã©")});

    XmlPlayListResult result =
        readXmlPlayListData("<?xml version=\"1.0\" encoding=\"x-made-up\"?>" + ansi, {});
    QVERIFY2(result.error.contains(QLatin1String("x-made-up")), qPrintable(result.error));
    result = readXmlPlayListData("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + ansi, {});
    QVERIFY(!result.error.isEmpty());
}

QTEST_APPLESS_MAIN(TestXmlPlayList)
#include "tst_xmlplaylist.moc"
