#include "browse/DriveList.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {
const int RootRole = Qt::UserRole;
}

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    refresh();
    showDriveOf(QDir::currentPath());
    connect(this, &QComboBox::activated, this, [this] { emit driveChange(); });
}

QString DriveList::rootPath() const { return currentData(RootRole).toString(); }

void DriveList::refresh()
{
    const QSignalBlocker blocker(this);
    clear();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        const QString name = volume.displayName() == root ? QString::fromUtf8(volume.fileSystemType())
                                                          : volume.displayName();
        addItem(QStringLiteral("%1 [%2]").arg(root, name), root);
    }
}

void DriveList::showDriveOf(const QString &path)
{
    const QString root = QStorageInfo(path).rootPath();
    const int index = findData(root, RootRole);
    if (index >= 0) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(index);
    }
}
