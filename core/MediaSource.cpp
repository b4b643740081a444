#include "core/MediaSource.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

MediaSource local(const QString &path)
{
    return {MediaSource::Kind::Local, path, QString()};
}

MediaSource refused(const QString &reason)
{
    return {MediaSource::Kind::Refused, QString(), reason};
}

MediaSource fileUrl(const QString &entry, const QString &baseFolder)
{
    QUrl url(entry);
    if (!url.isValid())
        return refused(QStringLiteral("not a valid file address"));
    if (!url.host().isEmpty()) {
        if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
            return refused(QStringLiteral("a file on another computer (%1), which is not opened")
                               .arg(url.host()));
        url.setHost(QString());
    }
    const QString path = url.toLocalFile();
    if (path.isEmpty())
        return refused(QStringLiteral("not a valid file address"));
    // "%00" decodes to a NUL, which would cut the name short as a literal
    // one would.
    if (path.contains(QChar(0)))
        return refused(QStringLiteral("holds a NUL character"));
    if (path.startsWith(u'/'))
        return local(path);
    return local(QDir::cleanPath(baseFolder + u'/' + path));
}

} // namespace

const QStringList &MediaSource::networkSchemes()
{
    static const QStringList schemes = {QStringLiteral("http"), QStringLiteral("https"),
                                        QStringLiteral("mms"),  QStringLiteral("mmsh"),
                                        QStringLiteral("rtsp"), QStringLiteral("rtmp")};
    return schemes;
}

QString MediaSource::windowsPathReason(const QString &entry)
{
    if (entry.size() >= 2 && entry[1] == u':' && entry[0].isLetter() && entry[0].unicode() < 128)
        return QStringLiteral("a Windows drive path (%1:), which this system does not have")
            .arg(entry[0].toUpper());
    if (entry.startsWith(u'\\'))
        return QStringLiteral("a Windows network or drive path, which this system does not have");
    return {};
}

bool MediaSource::isNetworkAddress(const QString &entry)
{
    const qsizetype colon = entry.indexOf(QLatin1String("://"));
    if (colon < 1 || !networkSchemes().contains(entry.left(colon).toLower()))
        return false;
    const QUrl url(entry);
    return url.isValid() && !url.host().isEmpty();
}

bool MediaSource::longerThanAnyPath(const QString &entry)
{
    // A UTF-16 unit is at most three bytes of UTF-8.
    if (entry.size() * 3 < longestPathBytes)
        return false;
    // The longest path with each byte written as "%XX", after its scheme.
    if (entry.size() > 3 * longestPathBytes + 64)
        return true;
    const bool fileAddress = entry.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
    const QString path = fileAddress ? QUrl(entry).path(QUrl::FullyDecoded) : entry;
    return path.toUtf8().size() >= longestPathBytes;
}

MediaSource MediaSource::classify(const QString &entry, const QString &baseFolder)
{
    if (longerThanAnyPath(entry))
        return refused(QStringLiteral("a name longer than any path can be"));
    const QString base = baseFolder.startsWith(u'/') ? baseFolder : QDir(baseFolder).absolutePath();
    if (entry.isEmpty())
        return refused(QStringLiteral("an empty entry"));
    // The engine takes names as C strings: a NUL would cut the name short
    // and open a different file.
    if (entry.contains(QChar(0)))
        return refused(QStringLiteral("holds a NUL character"));

    const QString windows = windowsPathReason(entry);
    if (!windows.isEmpty())
        return refused(windows);

    static const QRegularExpression schemePattern(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch match = schemePattern.match(entry);
    if (match.hasMatch()) {
        const QString scheme = match.captured(1).toLower();
        const bool slashes = entry.mid(match.capturedEnd()).startsWith(QLatin1String("//"));
        if (scheme == QLatin1String("file"))
            return fileUrl(entry, base);
        if (slashes) {
            if (!networkSchemes().contains(scheme))
                return refused(QStringLiteral("the source type \"%1://\" is not allowed in a play "
                                              "list (allowed: files and %2)")
                                   .arg(scheme, networkSchemes().join(QLatin1String(", "))));
            const QUrl url(entry);
            if (!url.isValid() || url.host().isEmpty())
                return refused(QStringLiteral("not a valid network address"));
            return {Kind::Network, entry, QString()};
        }
    }

    if (entry.startsWith(u'/'))
        return local(entry);

    const QString literal = QDir::cleanPath(base + u'/' + entry);
    if (!entry.contains(u'\\') || QFileInfo::exists(literal))
        return local(literal);
    QString mapped = entry;
    mapped.replace(u'\\', u'/');
    return local(QDir::cleanPath(base + u'/' + mapped));
}
