#include "core/SavedFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

namespace SavedFile {

QString write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Flushed before the rename: commit() itself takes a failed last write
    // for success and would put an empty file in the old one's place. An
    // unfinished file is removed with the object.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.commit())
        return {};
    // A disk that fills up mid-way cuts the write short without an error,
    // and Qt then says "Unknown error"; the room left tells the truth.
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (file.error() == QFileDevice::ResourceError ||
        (disk.isValid() && disk.bytesAvailable() < bytes.size()))
        return QStringLiteral("the disk is full");
    return file.errorString();
}

} // namespace SavedFile
