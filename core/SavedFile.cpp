#include "core/SavedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SavedFile {

namespace {

// The words for a write that failed: a disk that fills up mid-way cuts the
// write short without an error, and Qt then says "Unknown error"; the room
// left tells the truth.
QString failure(const QString &path, const QFileDevice &file, qsizetype size)
{
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (file.error() == QFileDevice::ResourceError ||
        (disk.isValid() && disk.bytesAvailable() < size))
        return QStringLiteral("the disk is full");
    return file.errorString();
}

// Over the old file itself: cut to 0 bytes, then written.
QString writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(bytes) == bytes.size() && file.flush())
        return {};
    return failure(path, file, bytes.size());
}

// Whether the folder of the existing file at path (where a new one is made
// beside it, links followed) lets the player make and rename files there.
bool folderTakesNewFiles(const QString &path)
{
    const QString folder = QFileInfo(QFileInfo(path).canonicalFilePath()).absolutePath();
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) ==
           0;
}

// Gives the new file behind handle the old one's owner, group and mode;
// false when the owner cannot be given on.
bool takeOver(int handle, const struct stat &old)
{
    struct stat made;
    if (::fstat(handle, &made) != 0)
        return false;
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
        ::fchown(handle, old.st_uid, old.st_gid) != 0)
        return false;
    // After the owner: a change of owner clears the set-user and set-group bits.
    return ::fchmod(handle, old.st_mode & 07777) == 0;
}

} // namespace

QString write(const QString &path, const QByteArray &bytes)
{
    struct stat old;
    const bool exists = ::stat(QFile::encodeName(path).constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return QStringLiteral("it is a folder");
    // Opening a pipe waits for a reader, and a device is not the user's list.
    if (exists && !S_ISREG(old.st_mode))
        return QStringLiteral("it is a device or a pipe, not a file");
    if (exists && (old.st_nlink > 1 || !folderTakesNewFiles(path)))
        return writeInPlace(path, bytes);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file, bytes.size());
    if (exists && !takeOver(file.handle(), old)) {
        file.cancelWriting();
        return writeInPlace(path, bytes);
    }
    // Flushed before the rename: commit() itself takes a failed last write
    // for success and would put an empty file in the old one's place. An
    // unfinished file is removed with the object.
    if (file.write(bytes) == bytes.size() && file.flush() && file.commit())
        return {};
    return failure(path, file, bytes.size());
}

} // namespace SavedFile
