#include "core/HostFileEntries.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

bool HostFileEntries::isTextList(const QString &path, const QByteArray &head)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"m3u" || suffix == u"m3u8" || suffix == u"pls")
        return true;
    // The engine also knows these lists by their first line.
    QByteArray start = head.left(64).trimmed();
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3);
    return start.startsWith("#EXTM3U") || start.toLower().startsWith("[playlist]");
}

std::vector<HostFileEntries::Entry> HostFileEntries::find(const QByteArray &text,
                                                          const QString &listPath)
{
    static const QRegularExpression plsKey(QStringLiteral("^File\\d+="),
                                           QRegularExpression::CaseInsensitiveOption);
    std::vector<Entry> found;
    // Cheap for the lists that hold no such address, which are nearly all.
    if (!text.contains("://") || !text.toLower().contains("file://"))
        return found;
    const QString folder = QFileInfo(listPath).absolutePath();
    for (const QByteArray &raw : text.split('\n')) {
        QString line = QString::fromUtf8(raw.trimmed());
        line.remove(plsKey);
        if (!line.startsWith(QLatin1String("file://"), Qt::CaseInsensitive))
            continue;
        const QString rest = line.mid(7);
        const qsizetype slash = rest.indexOf(u'/');
        const QString host = rest.left(slash);
        if (host.isEmpty())
            continue;
        const QString path = QUrl::fromPercentEncoding(rest.toUtf8());
        const QString reason =
            host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
                ? tr("a file address with a host (localhost), which would be read as a "
                     "folder of that name")
                : tr("a file on another computer (%1), which is not opened").arg(host);
        found.push_back({QDir::cleanPath(folder + u'/' + path), line, reason});
    }
    return found;
}
