#pragma once

#include <QByteArray>
#include <QString>

// Writing a whole file the player makes (a saved list, a generated play
// list): written beside the target and renamed over it, so a failure leaves
// any earlier file as it was.
namespace SavedFile {

// Writes bytes to path; returns "" on success, else why not as a short
// phrase: "the disk is full" when there is no room left, else the system's
// words ("Permission denied").
QString write(const QString &path, const QByteArray &bytes);

} // namespace SavedFile
