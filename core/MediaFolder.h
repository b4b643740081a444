#pragma once

#include <QString>
#include <QStringList>

class FileNamePattern;

// The one way the player lists a folder's media: the regular files (links to
// them included) whose names match a pattern, hidden ones (".name") left out,
// in name order with letter case ignored.
namespace MediaFolder {

// The matching file names of the folder; empty when it cannot be read.
QStringList fileNames(const QString &folder, const FileNamePattern &pattern);
// The same as absolute paths.
QStringList filePaths(const QString &folder, const FileNamePattern &pattern);
// Whether a comes before b in that order: letter case ignored, names that
// differ only in case in a fixed order.
bool precedes(const QString &a, const QString &b);

} // namespace MediaFolder
