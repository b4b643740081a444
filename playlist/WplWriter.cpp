#include "playlist/WplWriter.h"

#include "playlist/PlayListText.h"
#include "playlist/TextDecoding.h"

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

} // namespace

QByteArray generate(const QByteArray &head, const QByteArray &savedList, const QByteArray &tail)
{
    QByteArray out;
    out.reserve(head.size() + savedList.size() * 2 + tail.size());
    appendLines(out, head);
    for (const QString &line : textLines(TextDecoding::decode(savedList))) {
        const QString path = PlayListText::linePath(line);
        if (path.isEmpty())
            continue;
        out += "<media src=\"";
        out += escapeAttribute(path).toUtf8();
        out += "\"/>\r\n";
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
