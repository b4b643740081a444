#include "core/PlayListText.h"
#include "core/TextDecoding.h"

#include <QtTest>

class TestPlayListText : public QObject
{
    Q_OBJECT
private slots:
    void writesQuotedLinesWithCrLf();
    void reportsEntriesTheFormatCannotHold();
    void roundTripsAwkwardPaths();
    void readsHandMadeFields();
    void readsOpenCasesWithoutLosingEntries();
    void decodesOtherProgramsEncodings();
    void survivesArbitraryBytes();
    void linePathStripsQuotesAndBlanks();
};

void TestPlayListText::writesQuotedLinesWithCrLf()
{
    QCOMPARE(PlayListText::write({}), QByteArray());
    QCOMPARE(PlayListText::write({QStringLiteral("C:\\Music\\a.mp3")}),
             QByteArray("\"C:\\Music\\a.mp3\"\r\n"));
    QCOMPARE(PlayListText::write({QStringLiteral("C:\\Music\\a.mp3")}).size(), 18);
    QCOMPARE(PlayListText::write({QStringLiteral("/m/a, b.mp3"), QStringLiteral(" x ")}),
             QByteArray("\"/m/a, b.mp3\"\r\n\" x \"\r\n"));
    // UTF-8 and no byte-order mark.
    QCOMPARE(PlayListText::write({QStringLiteral("/m/Café 東京.mp3")}),
             QByteArray("\"/m/Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC.mp3\"\r\n"));

    QStringList many;
    for (int i = 0; i < 150; ++i)
        many << QStringLiteral("/m/%1.mp3").arg(i);
    const QByteArray bytes = PlayListText::write(many);
    QCOMPARE(bytes.count("\r\n"), 150);
    QVERIFY(bytes.endsWith("\"/m/149.mp3\"\r\n"));
}

void TestPlayListText::reportsEntriesTheFormatCannotHold()
{
    QCOMPARE(PlayListText::firstUnwritable({}), -1);
    QCOMPARE(PlayListText::firstUnwritable({QStringLiteral("/a, b & <c>.mp3")}), -1);
    QCOMPARE(PlayListText::firstUnwritable({QStringLiteral("/a"), QStringLiteral("/say \"hi\"")}),
             1);
    QCOMPARE(PlayListText::firstUnwritable({QStringLiteral("/a\nb")}), 0);
    QCOMPARE(PlayListText::firstUnwritable({QStringLiteral("/a"), QStringLiteral("/a\rb")}), 1);
}

void TestPlayListText::roundTripsAwkwardPaths()
{
    const QStringList entries = {
        QStringLiteral("/music/Hello, World.mp3"),
        QStringLiteral("  leading and trailing blanks  "),
        QStringLiteral("/m/tab\there.ogg"),
        QStringLiteral("/m/Ünïcödé/日本語/Ελληνικά/😀.flac"),
        QStringLiteral("C:\\Music\\a,b,,c.mp3"),
        QStringLiteral("/m/apostrophe's & <angle>.mp3"),
        QStringLiteral("-starts-with-dash.mp3"),
        QString(),
        QStringLiteral("/m/a.mp3"),
        QStringLiteral("/m/a.mp3"),
    };
    QCOMPARE(PlayListText::read(PlayListText::write(entries)), entries);
}

void TestPlayListText::readsHandMadeFields()
{
    using PlayListText::readText;
    // Two unquoted paths on one line are two entries.
    QCOMPARE(readText(u"/m/a.mp3,/m/b.mp3\r\n"),
             QStringList({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}));
    // LF-only line ends, no final line end.
    QCOMPARE(readText(u"\"/m/a.mp3\"\n\"/m/b.mp3\""),
             QStringList({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}));
    // Blanks before a field are skipped; a quoted field keeps its commas and
    // drops what follows its closing quote.
    QCOMPARE(readText(u"   \"/m/x, y.mp3\" trailing junk,  /m/z.mp3\r\n"),
             QStringList({QStringLiteral("/m/x, y.mp3"), QStringLiteral("/m/z.mp3")}));
    QCOMPARE(readText(u""), QStringList());
    QCOMPARE(readText(u"\r\n\r\n"), QStringList());
}

void TestPlayListText::readsOpenCasesWithoutLosingEntries()
{
    using PlayListText::readText;
    // Blank lines and empty fields are not entries; a quoted empty one is.
    QCOMPARE(readText(u"\r\n/m/a.mp3\r\n   \r\n\t\n/m/b.mp3,,\r\n\"\"\r\n"),
             QStringList({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3"), QString()}));
    // Blanks after an unquoted field go, as those before it do.
    QCOMPARE(readText(u"/m/a.mp3   \t\r\n"), QStringList({QStringLiteral("/m/a.mp3")}));
    // A quote inside an unquoted field is part of it.
    QCOMPARE(readText(u"/m/12\" single.mp3\r\n"),
             QStringList({QStringLiteral("/m/12\" single.mp3")}));
    // A quote never closed ends with its line and costs no other line.
    QCOMPARE(readText(u"\"/m/open, still.mp3  \r\n\"/m/b.mp3\"\r\n/m/c.mp3"),
             QStringList({QStringLiteral("/m/open, still.mp3"), QStringLiteral("/m/b.mp3"),
                          QStringLiteral("/m/c.mp3")}));
    QCOMPARE(readText(u"\"/m/last"), QStringList({QStringLiteral("/m/last")}));
    // Old Mac line ends (a lone CR).
    QCOMPARE(readText(u"\"/m/a.mp3\"\r\"/m/b.mp3\"\r"),
             QStringList({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}));
}

void TestPlayListText::decodesOtherProgramsEncodings()
{
    const QStringList expected = {QStringLiteral("C:\\Música\\é.mp3"), QStringLiteral("/m/b")};
    const QString text = QStringLiteral("\"C:\\Música\\é.mp3\"\r\n\"/m/b\"\r\n");
    // A UTF-8 byte-order mark would otherwise hide the first opening quote.
    QCOMPARE(PlayListText::read("\xEF\xBB\xBF" + text.toUtf8()), expected);
    // Notepad's "Unicode" and "Unicode big endian".
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (const QChar c : text) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    QCOMPARE(PlayListText::read(le), expected);
    QCOMPARE(PlayListText::read(be), expected);
    // A list saved in the Windows ANSI code page is not UTF-8.
    QCOMPARE(PlayListText::read("\"C:\\M\xFAsica\\\xE9.mp3\"\r\n\"/m/b\"\r\n"), expected);
    QCOMPARE(TextDecoding::fromWindows1252("\x80\x99\x81\xFF"), QStringLiteral("€™\u0081ÿ"));
    // Well-formed UTF-8 is read as such, anything else as Windows-1252.
    QCOMPARE(TextDecoding::decode("plain \xC3\xA9"), QStringLiteral("plain é"));
    QCOMPARE(TextDecoding::decode("broken \xC3"), QStringLiteral("broken Ã"));
}

void TestPlayListText::survivesArbitraryBytes()
{
    // Every input ends; every entry read is on one line.
    QRandomGenerator random(20240501);
    const char alphabet[] = "\"\",,\r\n\n  \tab/\xC3\xA9\xFF";
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes;
        const int size = random.bounded(64);
        for (int i = 0; i < size; ++i)
            bytes += alphabet[random.bounded(int(sizeof alphabet) - 1)];
        const QStringList entries = PlayListText::read(bytes);
        QVERIFY(entries.size() <= bytes.size());
        for (const QString &entry : entries)
            QVERIFY2(!entry.contains(u'\n') && !entry.contains(u'\r'), bytes.toHex().constData());
    }
}

void TestPlayListText::linePathStripsQuotesAndBlanks()
{
    using PlayListText::linePath;
    QCOMPARE(linePath(u"\"/m/a, b.mp3\""), QStringLiteral("/m/a, b.mp3"));
    QCOMPARE(linePath(u"  \"/m/a.mp3\"  "), QStringLiteral("/m/a.mp3"));
    QCOMPARE(linePath(u"/m/unquoted, with comma.mp3"),
             QStringLiteral("/m/unquoted, with comma.mp3"));
    QCOMPARE(linePath(u"\"/m/12\" single.mp3\""), QStringLiteral("/m/12\" single.mp3"));
    QCOMPARE(linePath(u"\"/m/never closed"), QStringLiteral("/m/never closed"));
    QCOMPARE(linePath(u"   \t"), QString());
    QCOMPARE(linePath(u"\"\""), QString());
}

QTEST_APPLESS_MAIN(TestPlayListText)
#include "tst_playlisttext.moc"
