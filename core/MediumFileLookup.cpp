#include "core/MediumFileLookup.h"

#include "core/SourceRule.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <dirent.h>

namespace {

using Entry = std::pair<qint64, QString>;

void lookUpOne(const Entry &entry, MediumFileLookup::Entries &found)
{
    const QFileInfo file(entry.second);
    if (!file.exists())
        found.emplace_back(entry.first, MediumFileLookup::tr("not found"));
    else if (const QString notMedium = SourceRule::notAMediumFile(file); !notMedium.isEmpty())
        found.emplace_back(entry.first, notMedium);
}

// The kind of each name in the folder, or false when it cannot be read or
// holds more names than are worth reading for these entries.
bool readFolder(const QString &folder, size_t entries, QHash<QByteArray, unsigned char> &kinds)
{
    DIR *dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return false;
    const size_t most = 4 * entries + 4096;
    bool whole = true;
    while (const dirent *name = readdir(dir)) {
        if (size_t(kinds.size()) >= most) {
            whole = false;
            break;
        }
        kinds.insert(QByteArray(name->d_name), name->d_type);
    }
    closedir(dir);
    return whole;
}

} // namespace

MediumFileLookup::Entries MediumFileLookup::noMediumFiles(const Entries &paths)
{
    // Only plain paths: "a/../b" names a file the folder read would not see.
    QHash<QString, std::vector<const Entry *>> byFolder;
    Entries found;
    for (const Entry &entry : paths) {
        const QString &path = entry.second;
        const qsizetype slash = path.lastIndexOf(u'/');
        if (slash < 0 || slash == path.size() - 1 || path.contains(QLatin1String("/./")) ||
            path.contains(QLatin1String("/../")) || path.contains(QLatin1String("//")))
            lookUpOne(entry, found);
        else
            byFolder[path.left(slash + 1)].push_back(&entry);
    }
    for (auto folder = byFolder.cbegin(); folder != byFolder.cend(); ++folder) {
        const std::vector<const Entry *> &entries = folder.value();
        QHash<QByteArray, unsigned char> kinds;
        if (entries.size() < size_t(folderReadFrom) ||
            !readFolder(folder.key(), entries.size(), kinds)) {
            for (const Entry *entry : entries)
                lookUpOne(*entry, found);
            continue;
        }
        for (const Entry *entry : entries) {
            const auto kind =
                kinds.constFind(QFile::encodeName(entry->second.mid(folder.key().size())));
            if (kind == kinds.constEnd())
                found.emplace_back(entry->first, tr("not found"));
            else if (*kind != DT_REG)
                // Links, and whatever the file system does not say, are looked at.
                lookUpOne(*entry, found);
        }
    }
    return found;
}
