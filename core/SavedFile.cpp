#include "core/SavedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <cerrno>
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

const QString notAFile = QStringLiteral("it is a device or a pipe, not a file");
const QString gaveUp = QStringLiteral("given up");

bool wanted(const std::atomic<bool> *givenUp)
{
    return !givenUp || !givenUp->load();
}

// Opens the old file to write without cutting it, or returns -1 with errno
// set. Made a pipe or a device since it was looked at, it is refused with
// ENXIO: opening a pipe to write waits for a reader. A file another program holds
// up refuses the first open, and the second waits like a stalled mount.
int openOld(const QByteArray &name)
{
    int handle = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0 && errno == EWOULDBLOCK)
        handle = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    struct stat status;
    if (handle >= 0 && (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode) ||
                        ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK) != 0)) {
        ::close(handle);
        errno = ENXIO;
        return -1;
    }
    return handle;
}

// Over the old file itself: cut to 0 bytes once it is open and the save is
// still wanted, then written.
QString writeInPlace(const QString &path, const QByteArray &bytes, const std::atomic<bool> *givenUp)
{
    const int handle = openOld(QFile::encodeName(path));
    if (handle < 0)
        return errno == ENXIO ? notAFile : qt_error_string(errno);
    QFile file;
    if (!file.open(handle, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return file.errorString();
    }
    if (!wanted(givenUp))
        return gaveUp;
    if (file.resize(0) && file.write(bytes) == bytes.size() && file.flush())
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

QString write(const QString &path, const QByteArray &bytes, const std::atomic<bool> *givenUp)
{
    struct stat old;
    const bool exists = ::stat(QFile::encodeName(path).constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return QStringLiteral("it is a folder");
    // Opening a pipe waits for a reader, and a device is not the user's list.
    if (exists && !S_ISREG(old.st_mode))
        return notAFile;
    if (exists && (old.st_nlink > 1 || !folderTakesNewFiles(path)))
        return writeInPlace(path, bytes, givenUp);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file, bytes.size());
    if (exists && !takeOver(file.handle(), old)) {
        file.cancelWriting();
        return writeInPlace(path, bytes, givenUp);
    }
    // Flushed before the rename: commit() itself takes a failed last write
    // for success and would put an empty file in the old one's place. An
    // unfinished file is removed with the object, as is one no longer wanted.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return failure(path, file, bytes.size());
    if (!wanted(givenUp))
        return gaveUp;
    if (file.commit())
        return {};
    return failure(path, file, bytes.size());
}

} // namespace SavedFile
