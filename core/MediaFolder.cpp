#include "core/MediaFolder.h"

#include "core/FileNamePattern.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace MediaFolder {

namespace {

char16_t folded(char16_t c)
{
    if (c < 128)
        return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
    return QChar::toCaseFolded(c);
}

} // namespace

bool precedes(const QString &a, const QString &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    const QChar *x = a.constData();
    const QChar *y = b.constData();
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t p = folded(x[i].unicode());
        const char16_t q = folded(y[i].unicode());
        if (p != q)
            return p < q;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

QStringList fileNames(const QString &folder, const FileNamePattern &pattern)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
#ifdef Q_OS_UNIX
    // Read directly: QDirIterator builds a file-info object per entry, which
    // costs more than the rest of listing together in large folders.
    DIR *dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    const bool wildcards = pattern.hasWildcards();
    while (const dirent *entry = readdir(dir)) {
        const char *raw = entry->d_name;
        if (raw[0] == '.') // hidden, and the folder itself and its parent
            continue;
        const bool bySuffix = pattern.matchesBySuffix(raw);
        if (!bySuffix && !wildcards)
            continue;
        const QString name = QFile::decodeName(raw);
        if (!bySuffix && !pattern.matches(name))
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info;
            regular = fstatat(dirfd(dir), raw, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (regular)
            names << name;
    }
    closedir(dir);
#else
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (pattern.matches(it.fileName()))
            names << it.fileName();
    }
#endif
    std::sort(names.begin(), names.end(), precedes);
    return names;
}

QStringList filePaths(const QString &folder, const FileNamePattern &pattern)
{
    const QDir dir(folder);
    QStringList paths = fileNames(folder, pattern);
    for (QString &name : paths)
        name = dir.absoluteFilePath(name);
    return paths;
}

} // namespace MediaFolder
