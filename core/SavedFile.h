#pragma once

#include <QByteArray>
#include <QString>

// Writing a whole file the player makes (a saved list, a generated play
// list). A new file, or one with a single name in a folder the player may
// write, is written beside the target and renamed over it, so a failure
// leaves any earlier file as it was; the new file takes the old one's owner,
// group and mode. An old file with several names (hard links), one whose
// owner the player cannot give on, or one in a folder it may not write, is
// written in place instead, so every name sees the new content (not atomic).
// Anything but a regular file is left alone.
namespace SavedFile {

// Writes bytes to path; returns "" on success, else why not as a short
// phrase: "the disk is full" when there is no room left, "it is a folder" or
// "it is a device or a pipe, not a file" for such a target, else the
// system's words ("Permission denied").
QString write(const QString &path, const QByteArray &bytes);

} // namespace SavedFile
