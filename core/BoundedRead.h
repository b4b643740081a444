#pragma once

#include <QByteArray>
#include <QString>

// Reads a whole file that came from outside the player, never more than a
// cap: the read stops there whatever the file's size claims (files in /proc
// say 0 and go on for gigabytes). Only regular files are read, since a pipe
// or a device may never end or never answer.
struct BoundedRead
{
    enum class Failure
    {
        None,
        // Nothing of that name.
        Missing,
        // A folder, a pipe, a device.
        NotAFile,
        // It could not be opened or read; error says why.
        Unreadable,
        // It holds more than the cap.
        TooLarge
    };

    // The file's bytes; empty on any failure.
    QByteArray bytes;
    Failure failure = Failure::None;
    // Why, as a short phrase: the system's words when Unreadable ("Permission
    // denied"), else "No such file or directory", "not a file" or "larger
    // than N MB"; empty on success.
    QString error;

    bool ok() const { return failure == Failure::None; }

    // Reads the file at path, up to maxBytes.
    static BoundedRead file(const QString &path, qint64 maxBytes);
};
