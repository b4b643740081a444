// Generate copies a UTF-8 saved list by its bytes and decodes any other list
// first. A list saved as UTF-16 takes the decoding way for the very same
// text, so the two documents must be the same bytes, or the same refusal.
#include "core/WplWriter.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QtTest>

namespace {

const QByteArray head = "<?wpl version=\"1.0\"?>\r\n<smil><body><seq>\r\n";
const QByteArray tail = "</seq></body></smil>\r\n";

QByteArray utf16WithMark(const QString &text)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(text));
}

// The document, or the refusal's text prefixed by "refused: ".
QByteArray outcome(const QByteArray &saved)
{
    const WplWriter::Document document = WplWriter::generate(head, saved, tail);
    return document.error.isEmpty() ? document.bytes
                                    : QByteArray("refused: ") + document.error.toUtf8();
}

// A line of a saved list: quoted or not, with blanks around it, made of
// characters that need escaping, non-Latin letters, an emoji and now and
// then a character XML cannot hold.
QString randomLine(QRandomGenerator &random)
{
    static const QString alphabet = QStringLiteral("ab/. ,&<>\"'\t#;é€Жあ") + QChar(0xFEFF);
    QString line;
    const int blanks = int(random.bounded(3));
    line.fill(u' ', blanks);
    const bool quoted = random.bounded(4) != 0;
    if (quoted)
        line += u'"';
    const int length = int(random.bounded(30));
    for (int i = 0; i < length; ++i) {
        const quint32 pick = random.bounded(200);
        if (pick == 0)
            line += QChar(0x07); // a control character
        else if (pick == 1)
            line += QChar(0xFFFE);
        else if (pick == 2)
            line += QStringLiteral("\U0001F600");
        else
            line += alphabet.at(int(pick % alphabet.size()));
    }
    if (quoted && random.bounded(5) != 0)
        line += u'"';
    if (random.bounded(3) == 0)
        line += QStringLiteral(" trailing");
    return line;
}

} // namespace

class TestWplWriter : public QObject
{
    Q_OBJECT
private slots:
    void bothWaysGiveTheSameBytes();
};

void TestWplWriter::bothWaysGiveTheSameBytes()
{
    QRandomGenerator random(7);
    const QStringList lineEnds = {QStringLiteral("\r\n"), QStringLiteral("\n"),
                                  QStringLiteral("\r")};
    int documents = 0;
    int refusals = 0;
    for (int list = 0; list < 3000; ++list) {
        QString text;
        const int lines = int(random.bounded(6));
        for (int i = 0; i < lines; ++i)
            text += randomLine(random) + lineEnds.at(int(random.bounded(3)));
        if (random.bounded(4) == 0)
            text += randomLine(random); // no line end after the last line
        const QByteArray utf8 =
            (random.bounded(5) == 0 ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();

        const QByteArray byBytes = outcome(utf8);
        QCOMPARE(byBytes, outcome(utf16WithMark(text)));
        if (byBytes.startsWith("refused: "))
            ++refusals;
        else
            ++documents;
    }
    // Both kinds of outcome were compared, not only one.
    QVERIFY2(documents > 1000 && refusals > 100,
             qPrintable(QStringLiteral("%1 documents, %2 refusals").arg(documents).arg(refusals)));

    // The saved list as Save List writes it, at full size.
    QString saved;
    for (int i = 0; i < 100000; ++i)
        saved += QStringLiteral("\"/home/user/Музыка/Album %1/Track %2 & <b>, \"x\".mp3\"\r\n")
                     .arg(i / 12)
                     .arg(i % 12);
    const QByteArray large = outcome(saved.toUtf8());
    QCOMPARE(large, outcome(utf16WithMark(saved)));
    QCOMPARE(large.count("<media src="), 100000);
    QVERIFY(large.contains("<media src=\"/home/user/Музыка/Album 0/Track 1 &amp; &lt;b&gt;, "
                           "&quot;x&quot;.mp3\"/>\r\n"));
}

QTEST_MAIN(TestWplWriter)
#include "tst_wplwriter.moc"
