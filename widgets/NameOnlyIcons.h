#pragma once

#include <QFileIconProvider>
#include <QMimeDatabase>

// The file dialog's icons and type names, told from each file's name alone.
// Qt's own read the start of any file whose name does not tell its type, and
// a file on a stalled mount, or a kernel pipe that presents itself as a file,
// would then hold the dialog's look at the folder, and its closing, for ever.
class NameOnlyIcons : public QFileIconProvider
{
public:
    using QFileIconProvider::icon;
    // A folder's or drive's stock icon; for a file, the themed icon of the type
    // its name gives, else the plain file icon.
    QIcon icon(const QFileInfo &info) const override;
    // For a file, the description of the type its name gives; else Qt's.
    QString type(const QFileInfo &info) const override;

private:
    QMimeDatabase m_types;
};
