#include "core/BoundedRead.h"

#include <QFile>
#include <QFileInfo>

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.failure = Failure::Unreadable;
        read.error = file.errorString();
        return read;
    }
    // One byte past the cap tells a file of exactly maxBytes from a larger one.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        read.failure = Failure::Unreadable;
        read.error = file.errorString();
    } else if (bytes.size() > maxBytes) {
        read.failure = Failure::TooLarge;
        read.error = QStringLiteral("larger than %1 MB").arg(maxBytes / (1024 * 1024));
    } else {
        read.bytes = std::move(bytes);
    }
    return read;
}
