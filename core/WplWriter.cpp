#include "core/WplWriter.h"

#include "core/PlayListText.h"
#include "core/TextDecoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

WplEntryError::WplEntryError(const QString &entry, const QString &reason)
    : std::runtime_error(
          QStringLiteral("This entry %1:\n\n%2").arg(reason, entry).toUtf8().toStdString()),
      m_entry(entry)
{
}

namespace WplWriter {

namespace {

void appendLines(QByteArray &out, const QByteArray &piece)
{
    qsizetype start = 0;
    while (start < piece.size()) {
        qsizetype end = piece.indexOf('\n', start);
        if (end < 0)
            end = piece.size();
        QByteArrayView line = QByteArrayView(piece).sliced(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        out += line;
        out += "\r\n";
        start = end + 1;
    }
}

QStringList textLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        lines << text.mid(start, end - start);
        if (end + 1 < n && text[end] == u'\r' && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The media line of one saved line, as the general way below writes it;
// false for a path with a character it would refuse, which that way then
// reports.
bool appendUtf8MediaLine(QByteArray &out, QByteArrayView line)
{
    while (!line.isEmpty() && isBlank(line.front()))
        line = line.sliced(1);
    while (!line.isEmpty() && isBlank(line.back()))
        line.chop(1);
    if (line.startsWith('"')) {
        line = line.sliced(1);
        const qsizetype close = line.lastIndexOf('"');
        if (close >= 0)
            line.truncate(close);
    }
    if (line.isEmpty())
        return true;
    out += "<media src=\"";
    const char *plain = line.begin();
    for (const char *p = line.begin(); p != line.end(); ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        const char *entity = nullptr;
        switch (byte) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        case '\t':
            entity = "&#9;";
            break;
        case 0xEF:
            // U+FFFE and U+FFFF, which XML cannot hold.
            if (line.end() - p >= 3 && static_cast<unsigned char>(p[1]) == 0xBF &&
                (static_cast<unsigned char>(p[2]) & 0xFE) == 0xBE)
                return false;
            continue;
        default:
            if (byte < 0x20)
                return false;
            continue;
        }
        out.append(plain, p - plain);
        out += entity;
        plain = p + 1;
    }
    out.append(plain, line.end() - plain);
    out += "\"/>\r\n";
    return true;
}

// Save List writes UTF-8, and valid UTF-8 decoded and encoded again gives
// the same bytes, so such a list is copied line by line without a string
// for every line: for a hundred thousand entries that is most of the time.
// False, with nothing appended, for any other list, which then takes the
// general way.
bool appendUtf8MediaLines(QByteArray &out, QByteArrayView list)
{
    if (list.startsWith("\xEF\xBB\xBF")) {
        list = list.sliced(3);
        // A second mark is text; leave that rarity to the general way.
        if (list.startsWith("\xEF\xBB\xBF"))
            return false;
    }
    if (!list.isValidUtf8())
        return false;
    const qsizetype before = out.size();
    qsizetype start = 0;
    const qsizetype n = list.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && list[end] != '\n' && list[end] != '\r')
            ++end;
        if (!appendUtf8MediaLine(out, list.sliced(start, end - start))) {
            out.truncate(before);
            return false;
        }
        start = end + 1;
    }
    return true;
}

} // namespace

QByteArray generate(const QByteArray &head, const QByteArray &savedList, const QByteArray &tail)
{
    QByteArray out;
    out.reserve(head.size() + savedList.size() * 2 + tail.size());
    appendLines(out, head);
    if (!appendUtf8MediaLines(out, savedList)) {
        for (const QString &line : textLines(TextDecoding::decode(savedList))) {
            const QString path = PlayListText::linePath(line);
            if (path.isEmpty())
                continue;
            out += "<media src=\"";
            out += escapeAttribute(path).toUtf8();
            out += "\"/>\r\n";
        }
    }
    appendLines(out, tail);
    return out;
}

QString escapeAttribute(QStringView text)
{
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c != u'&' && c != u'<' && c != u'>' && c != u'"' &&
               !c.isSurrogate() && c.unicode() < 0xFFFE;
    });
    if (plain)
        return text.toString();
    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            continue;
        case u'<':
            out += QLatin1String("&lt;");
            continue;
        case u'>':
            out += QLatin1String("&gt;");
            continue;
        case u'"':
            out += QLatin1String("&quot;");
            continue;
        case u'\t':
            out += QLatin1String("&#9;");
            continue;
        case u'\n':
            out += QLatin1String("&#10;");
            continue;
        case u'\r':
            out += QLatin1String("&#13;");
            continue;
        default:
            break;
        }
        if (c.unicode() < 0x20 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            throw WplEntryError(text.toString(),
                                QStringLiteral("holds a control character, which a Windows "
                                               "Media play list cannot hold"));
        if (c.isSurrogate()) {
            if (!c.isHighSurrogate() || i + 1 == text.size() || !text[i + 1].isLowSurrogate())
                throw WplEntryError(text.toString(),
                                    QStringLiteral("holds a broken Unicode character"));
            out += c;
            out += text[++i];
            continue;
        }
        out += c;
    }
    return out;
}

QString findPiece(const QString &name, const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

QStringList pieceFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {QDir::currentPath(), programFolder,
            QDir::cleanPath(programFolder + QStringLiteral("/../share/corvel-media-player"))};
}

} // namespace WplWriter
