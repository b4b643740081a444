#pragma once

#include <QFile>

// Opens a file to read only when it is a regular file at the moment it is
// opened. A name looked at first and opened after may have become a pipe in
// between, and opening a pipe to read waits until something writes to it.
struct RegularFile
{
    // Opens path to read into file (with these modes besides ReadOnly);
    // false, file left closed, when it is no regular file or cannot be opened.
    static bool open(QFile &file, const QString &path, QIODevice::OpenMode modes = {});
};
