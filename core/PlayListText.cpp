#include "core/PlayListText.h"

#include "core/TextDecoding.h"

// Reading rules beyond the plain fields, chosen so that no input loses an
// entry a person would count as one:
// - CR LF, LF and a lone CR all end a line, so lists from any editor load.
// - A byte-order mark (UTF-8 or UTF-16) is dropped and decides the encoding;
//   bytes that are not UTF-8 are read as Windows-1252, as a list saved on
//   Windows would be.
// - Blank lines, and the empty fields of ",," or a trailing comma, are not
//   entries. A quoted field is an entry even when empty ("" round-trips).
// - Blanks after an unquoted field are dropped, as those before it are.
// - A double quote inside an unquoted field is an ordinary character.
// - A quoted field never runs past its line end: a quote never closed makes
//   the rest of that line one entry and costs none of the lines after it.

namespace PlayListText {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}
bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

QStringView withoutTrailingBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

} // namespace

QByteArray write(const QStringList &entries)
{
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString &entry : entries)
        size += entry.size() + 4;
    bytes.reserve(size);
    for (const QString &entry : entries) {
        bytes += '"';
        bytes += entry.toUtf8();
        bytes += "\"\r\n";
    }
    return bytes;
}

qsizetype firstUnwritable(const QStringList &entries)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString &entry = entries.at(i);
        if (entry.contains(u'"') || entry.contains(u'\n') || entry.contains(u'\r'))
            return i;
    }
    return -1;
}

QStringList read(const QByteArray &bytes, qsizetype maxEntries)
{
    return readText(TextDecoding::decode(bytes), maxEntries);
}

QStringList readText(QStringView text, qsizetype maxEntries)
{
    QStringList entries;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && entries.size() <= maxEntries) {
        while (i < n && isBlank(text[i]))
            ++i;
        if (i == n)
            break;
        const qsizetype start = text[i] == u'"' ? i + 1 : i;
        if (text[i] == u'"') {
            i = start;
            while (i < n && text[i] != u'"' && !isLineEnd(text[i]))
                ++i;
            if (i < n && text[i] == u'"') {
                entries << text.mid(start, i - start).toString();
                while (i < n && text[i] != u',' && !isLineEnd(text[i]))
                    ++i;
            } else {
                const QStringView value = withoutTrailingBlanks(text.mid(start, i - start));
                if (!value.isEmpty())
                    entries << value.toString();
            }
        } else {
            while (i < n && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
            const QStringView value = withoutTrailingBlanks(text.mid(start, i - start));
            if (!value.isEmpty())
                entries << value.toString();
        }
        ++i; // the separator, if any
    }
    return entries;
}

QString linePath(QStringView line)
{
    while (!line.isEmpty() && isBlank(line.front()))
        line = line.mid(1);
    line = withoutTrailingBlanks(line);
    if (!line.startsWith(u'"'))
        return line.toString();
    line = line.mid(1);
    const qsizetype close = line.lastIndexOf(u'"');
    return (close < 0 ? line : line.left(close)).toString();
}

} // namespace PlayListText
