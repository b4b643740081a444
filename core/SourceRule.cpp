#include "core/SourceRule.h"

#include "core/MediaSource.h"
#include "core/ShortText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

SourceRule::Decision SourceRule::forUrl(const QString &url)
{
    Decision decision;
    const MediaSource source = MediaSource::classify(url, QString());
    if (source.kind == MediaSource::Kind::Refused) {
        decision.error = tr("%1 was not opened: %2").arg(ShortText::lines(url), source.reason);
        return decision;
    }
    if (source.kind == MediaSource::Kind::Network) {
        decision.location = source.location;
        return decision;
    }
    // Always absolute: the player reads "-x", "lavfi:x" or "edl://x" as
    // something else, never a name starting with "/".
    const QFileInfo file(source.location);
    const QString lossy = lossyPart(source.location);
    const QString notMedium = notAMediumFile(file);
    if (!lossy.isEmpty()) {
        decision.error = tr("the name \"%1\" holds bytes that are not valid text, so it cannot be "
                            "opened faithfully; rename it to play it")
                             .arg(ShortText::lines(lossy));
    } else if (!file.exists()) {
        decision.error = tr("%1 was not found").arg(ShortText::lines(file.fileName()));
    } else if (!notMedium.isEmpty()) {
        decision.error = tr("%1 is %2").arg(ShortText::lines(file.fileName()), notMedium);
    } else {
        decision.location = file.absoluteFilePath();
        decision.local = true;
    }
    return decision;
}

QString SourceRule::refusedOnLoad(const QString &name)
{
    const QString refused = refusedInList(name);
    if (!refused.isEmpty())
        return refused;
    const MediaSource source = MediaSource::classify(name, QString());
    if (source.kind != MediaSource::Kind::Local)
        return {};
    return notAMediumFile(QFileInfo(source.location));
}

QString SourceRule::refusedInList(const QString &name)
{
    // The player hands local entries over as absolute paths.
    if (name.startsWith(u'/') && !name.contains(QChar(0)))
        return {};
    const MediaSource source = MediaSource::classify(name, QString());
    return source.kind == MediaSource::Kind::Refused ? source.reason : QString();
}

SourceRule::ListOrigin SourceRule::ListOrigin::inside(const QString &list) const
{
    ListOrigin origin = *this;
    origin.lists << list;
    origin.network = network || MediaSource::isNetworkAddress(list);
    return origin;
}

QString SourceRule::refusedInList(const QString &name, const ListOrigin &origin)
{
    if (origin.lists.isEmpty())
        return refusedInList(name);
    if (origin.lists.size() > maxListDepth)
        return tr("inside more than %1 play lists, one within another").arg(maxListDepth);
    if (name == origin.lists.last())
        return tr("a play list that names itself");
    if (origin.lists.contains(name))
        return tr("a play list that names a play list it is inside");
    // mpv reads "C:\x" or "\\host\x" in a list as a name relative to
    // the list's folder.
    const QString &list = origin.lists.last();
    const QString folder = list.left(list.lastIndexOf(u'/') + 1);
    if (!folder.isEmpty() && name.startsWith(folder)) {
        const QString rest = name.mid(folder.size());
        const bool drive = rest.size() > 2 && (rest[2] == u'\\' || rest[2] == u'/');
        if (drive || rest.startsWith(QLatin1String("\\\\"))) {
            const QString windows = MediaSource::windowsPathReason(rest);
            if (!windows.isEmpty())
                return windows;
        }
    }
    const QString refused = refusedInList(name);
    if (!refused.isEmpty())
        return refused;
    if (origin.network && !MediaSource::isNetworkAddress(name))
        return tr("not a network address, and a play list from the network may name only "
                  "those");
    return {};
}

QString SourceRule::refusedInXmlList(const QString &entry)
{
    return entry.startsWith(u'/') ? notAMediumFile(QFileInfo(entry)) : QString();
}

QString SourceRule::notAMediumFile(const QFileInfo &file)
{
    if (file.isDir())
        return tr("a folder, not a medium");
    if (file.exists() && !file.isFile())
        return tr("a pipe or a device, not a medium file");
    return {};
}

QString SourceRule::refusedSubtitle(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return tr("it was not found");
    if (file.isDir())
        return tr("it is a folder");
    if (!file.isFile())
        return tr("it is a pipe or a device, not a file");
    if (file.size() > maxSubtitleBytes)
        return tr("at more than %1 MB it is larger than any subtitle file")
            .arg(maxSubtitleBytes >> 20);
    return {};
}

QString SourceRule::lossyPart(const QString &path)
{
#ifdef Q_OS_UNIX
    if (!path.contains(QChar::ReplacementCharacter))
        return {};
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString folder = QStringLiteral("/");
    for (const QString &part : parts) {
        if (part.contains(QChar::ReplacementCharacter)) {
            const QByteArray faithful = QFile::encodeName(part);
            bool lossy = false;
            if (DIR *dir = opendir(QFile::encodeName(folder).constData())) {
                while (const dirent *entry = readdir(dir)) {
                    const QByteArray raw(entry->d_name);
                    if (raw != faithful && QFile::decodeName(raw) == part) {
                        lossy = true;
                        break;
                    }
                }
                closedir(dir);
            }
            if (lossy)
                return part;
        }
        folder = QDir(folder).filePath(part);
    }
#else
    Q_UNUSED(path);
#endif
    return {};
}
