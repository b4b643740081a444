#include "core/RegularFile.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool RegularFile::open(QFile &file, const QString &path, QIODevice::OpenMode modes)
{
#ifdef Q_OS_UNIX
    // Without O_NONBLOCK, open() itself waits on a pipe.
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    // A file another process holds a lease on refuses such an open, where
    // others wait for it as for a file on a stalled mount: so does this one.
    if (fd < 0 && errno == EWOULDBLOCK)
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    if (file.open(fd, QIODevice::ReadOnly | modes, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
#else
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly | modes);
#endif
}
