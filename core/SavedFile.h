#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>

// Writing a whole file the player makes (a saved list, a generated play
// list). A new file, or one with a single name in a folder the player may
// write, is written beside the target and renamed over it, so a failure
// leaves any earlier file as it was; the new file takes the old one's owner,
// group and mode. An old file with several names (hard links), one whose
// owner the player cannot give on, or one in a folder it may not write, is
// written in place instead, so every name sees the new content (not atomic).
// Anything but a regular file is left alone. Any step may wait as long as
// the file system makes it, so callers run it off the window's thread.
namespace SavedFile {

// Writes bytes to path; returns "" on success, else why not as a short
// phrase: "the disk is full" when there is no room left, "it is a folder" or
// "it is a device or a pipe, not a file" for such a target, "given up" when
// givenUp turned true before the target was touched, else the system's words
// ("Permission denied").
QString write(const QString &path, const QByteArray &bytes,
              const std::atomic<bool> *givenUp = nullptr);

} // namespace SavedFile
