#include "widgets/DriveList.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

const int RootRole = Qt::UserRole;

// Kernel and container file systems that hold nothing a user plays.
bool isPseudo(const QStorageInfo &volume)
{
    static const QList<QByteArray> types = {
        "proc",     "sysfs",       "devtmpfs", "devpts",      "cgroup",
        "cgroup2",  "securityfs",  "debugfs",  "tracefs",     "pstore",
        "bpf",      "configfs",    "fusectl",  "mqueue",      "hugetlbfs",
        "autofs",   "binfmt_misc", "efivarfs", "nsfs",        "rpc_pipefs",
        "ramfs",    "squashfs",    "overlay",  "fuse.portal", "fuse.gvfsd-fuse",
        "selinuxfs"};
    const QByteArray type = volume.fileSystemType();
    const QString root = volume.rootPath();
    // Overlay is what a container's "/" is; only its internal layers are noise.
    if (type == "overlay" && root == QLatin1String("/"))
        return false;
    if (types.contains(type))
        return true;
    static const QStringList systemFolders = {QStringLiteral("/proc"),
                                              QStringLiteral("/sys"),
                                              QStringLiteral("/dev"),
                                              QStringLiteral("/snap"),
                                              QStringLiteral("/var/lib/docker"),
                                              QStringLiteral("/var/lib/containers"),
                                              QStringLiteral("/run")};
    // Removable media are mounted below /run/media on some systems.
    if (root.startsWith(QLatin1String("/run/media/")))
        return false;
    for (const QString &folder : systemFolders)
        if (root == folder || root.startsWith(folder + QLatin1Char('/')))
            return true;
    return false;
}

// Whether path lies on the volume mounted at root.
bool holds(const QString &root, const QString &path)
{
    if (root == path || root == QLatin1String("/"))
        return true;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path.startsWith(prefix);
}

} // namespace

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    setVolumes(mountedVolumes());
    showDriveOf(QDir::currentPath());
    connect(this, &QComboBox::currentIndexChanged, this, [this] { emit driveChange(); });
}

QList<DriveList::Volume> DriveList::mountedVolumes()
{
    QList<Volume> volumes;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || isPseudo(volume))
            continue;
        QString label = volume.name();
        if (label.isEmpty())
            label = QString::fromUtf8(volume.fileSystemType());
        volumes.append({volume.rootPath(), label});
    }
    return volumes;
}

void DriveList::setVolumes(const QList<Volume> &volumes)
{
    const QString current = rootPath();
    const QSignalBlocker blocker(this);
    clear();
    for (const Volume &volume : volumes) {
        const QString root = QDir::toNativeSeparators(volume.rootPath);
        addItem(volume.label.isEmpty() ? root : QStringLiteral("%1 [%2]").arg(root, volume.label),
                volume.rootPath);
    }
    if (!current.isEmpty())
        showDriveOf(current);
}

QString DriveList::rootPath() const
{
    return currentData(RootRole).toString();
}

void DriveList::showDriveOf(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i, RootRole).toString();
        if (holds(root, clean) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(best);
    }
}

void DriveList::showPopup()
{
    setVolumes(mountedVolumes());
    QComboBox::showPopup();
}
