#include "core/WplWriter.h"

#include "core/PlayListText.h"
#include "core/TextDecoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace WplWriter {

namespace {

const QString controlCharacter =
    QStringLiteral("holds a control character, which a Windows Media play list cannot hold");
const QString brokenCharacter = QStringLiteral("holds a broken Unicode character");

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

// Calls take(line) for every line of text, without its line end (CR LF, LF
// or a lone CR), until take returns false; false then.
template <class View, class Take> bool forEachLine(View text, Take take)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        if (!take(text.sliced(start, end - start)))
            return false;
        if (end + 1 < n && text[end] == u'\r' && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return true;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The path of one saved line, as PlayListText::linePath reads it, on bytes.
QByteArrayView linePathBytes(QByteArrayView line)
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
    return line;
}

QString refusal(const QString &entry, const QString &why)
{
    return QStringLiteral("This entry %1:\n\n%2").arg(why, entry);
}

// Appends one media line; the refusal when XML cannot hold the path.
QString appendMediaLine(QByteArray &out, QByteArrayView utf8Path)
{
    const qsizetype before = out.size();
    out += "<media src=\"";
    const QString why = appendEscaped(out, utf8Path);
    if (!why.isEmpty()) {
        out.truncate(before);
        return refusal(QString::fromUtf8(utf8Path), why);
    }
    out += "\"/>\r\n";
    return {};
}

// Save List writes UTF-8, and valid UTF-8 decoded and encoded again gives
// the same bytes, so such a list is copied line by line without a string
// for every line: for a hundred thousand entries that is most of the time.
// False, with nothing appended, for any other list, which is decoded first.
bool isCopiedByBytes(QByteArrayView list)
{
    if (list.startsWith("\xEF\xBB\xBF")) {
        list = list.sliced(3);
        // A second mark is text; leave that rarity to the decoding way.
        if (list.startsWith("\xEF\xBB\xBF"))
            return false;
    }
    return list.isValidUtf8();
}

QByteArrayView withoutMark(QByteArrayView list)
{
    return list.startsWith("\xEF\xBB\xBF") ? list.sliced(3) : list;
}

QString appendByBytes(QByteArray &out, QByteArrayView list)
{
    QString error;
    forEachLine(withoutMark(list), [&out, &error](QByteArrayView line) {
        const QByteArrayView path = linePathBytes(line);
        if (!path.isEmpty())
            error = appendMediaLine(out, path);
        return error.isEmpty();
    });
    return error;
}

QString appendDecoded(QByteArray &out, const QByteArray &list)
{
    QString error;
    forEachLine(QStringView(TextDecoding::decode(list)), [&out, &error](QStringView line) {
        const QString path = PlayListText::linePath(line);
        if (path.isEmpty())
            return true;
        error = path.isValidUtf16() ? appendMediaLine(out, path.toUtf8())
                                    : refusal(path, brokenCharacter);
        return error.isEmpty();
    });
    return error;
}

} // namespace

Document generate(const QByteArray &head, const QByteArray &savedList, const QByteArray &tail)
{
    Document document;
    QByteArray &out = document.bytes;
    out.reserve(head.size() + savedList.size() * 2 + tail.size());
    appendLines(out, head);
    document.error =
        isCopiedByBytes(savedList) ? appendByBytes(out, savedList) : appendDecoded(out, savedList);
    if (!document.error.isEmpty()) {
        document.bytes.clear();
        return document;
    }
    appendLines(out, tail);
    return document;
}

qsizetype entryCount(const QByteArray &savedList, qsizetype stopAfter)
{
    qsizetype count = 0;
    const auto counted = [&count, stopAfter](auto path) {
        if (!path.isEmpty())
            ++count;
        return count < stopAfter;
    };
    if (isCopiedByBytes(savedList)) {
        forEachLine(withoutMark(savedList),
                    [&counted](QByteArrayView line) { return counted(linePathBytes(line)); });
    } else {
        forEachLine(QStringView(TextDecoding::decode(savedList)),
                    [&counted](QStringView line) { return counted(PlayListText::linePath(line)); });
    }
    return count;
}

QString appendEscaped(QByteArray &out, QByteArrayView utf8)
{
    const qsizetype before = out.size();
    const char *plain = utf8.begin();
    for (const char *p = utf8.begin(); p != utf8.end(); ++p) {
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
        case '\n':
            entity = "&#10;";
            break;
        case '\r':
            entity = "&#13;";
            break;
        case 0xEF:
            // U+FFFE and U+FFFF.
            if (utf8.end() - p >= 3 && static_cast<unsigned char>(p[1]) == 0xBF &&
                (static_cast<unsigned char>(p[2]) & 0xFE) == 0xBE) {
                out.truncate(before);
                return controlCharacter;
            }
            continue;
        default:
            if (byte < 0x20) {
                out.truncate(before);
                return controlCharacter;
            }
            continue;
        }
        out.append(plain, p - plain);
        out += entity;
        plain = p + 1;
    }
    out.append(plain, utf8.end() - plain);
    return {};
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

QStringList pieceFolders(const QString &programFolder)
{
    const QString folder =
        programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    // Where the install put the data, seen from where it put the program,
    // whatever layout the build was configured with.
    return {QDir::currentPath(), folder,
            QDir::cleanPath(QDir(folder).filePath(QStringLiteral(CORVEL_DATA_FROM_PROGRAM)))};
}

} // namespace WplWriter
