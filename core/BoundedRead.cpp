#include "core/BoundedRead.h"

#include "core/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

BoundedRead BoundedRead::file(const QString &path, qint64 maxBytes)
{
    BoundedRead read;
    const QFileInfo info(path);
    if (!info.exists()) {
        read.failure = Failure::Missing;
        read.error = QStringLiteral("No such file or directory");
        return read;
    }
    if (!info.isFile()) {
        read.failure = Failure::NotAFile;
        read.error = QStringLiteral("not a file");
        return read;
    }
    QFile file;
    if (!RegularFile::open(file, path, QIODevice::Unbuffered)) {
        // Made a pipe since it was looked at, or not readable.
        read.failure = Failure::Unreadable;
        read.error = QFileInfo(path).isFile() ? QStringLiteral("cannot be opened")
                                              : QStringLiteral("not a file");
        return read;
    }
    // In pieces, whatever the file claims as its size: /proc and /sys files
    // say 0, and /proc/self/pagemap goes on for gigabytes. A piece past the
    // cap tells a file of exactly maxBytes from a larger one. Pieces are a
    // multiple of 8 bytes, which some kernel files insist on.
    constexpr qint64 piece = 64 * 1024;
    QByteArray bytes;
    qint64 got = 0;
    while (got <= maxBytes) {
        bytes.resize(got + piece);
        const qint64 n = file.read(bytes.data() + got, piece);
        if (n < 0) {
            read.failure = Failure::Unreadable;
            read.error = file.errorString();
            return read;
        }
        got += n;
        if (n == 0)
            break;
    }
    bytes.resize(std::min(got, maxBytes + 1));
    if (got > maxBytes) {
        read.failure = Failure::TooLarge;
        read.error = QStringLiteral("larger than %1 MB").arg(maxBytes / (1024 * 1024));
    } else {
        bytes.squeeze();
        read.bytes = std::move(bytes);
    }
    return read;
}
