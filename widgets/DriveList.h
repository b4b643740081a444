#pragma once

#include <QComboBox>
#include <QList>

// The drive list (Drives): the mounted volumes that hold files, each shown as
// its root path and its label ("/media/ann/USB [USB]"). Choosing another
// volume raises driveChange(). The list is read again each time it opens, so
// a volume mounted meanwhile shows up.
class DriveList : public QComboBox
{
    Q_OBJECT
public:
    struct Volume
    {
        QString rootPath;
        QString label;
    };

    explicit DriveList(QWidget *parent = nullptr);

    // The mounted volumes worth browsing: pseudo file systems (proc, sysfs,
    // cgroups, devices, snaps, container layers ...) are left out.
    static QList<Volume> mountedVolumes();

    // Replaces the entries, keeping the current volume when it is still there.
    // Raises no driveChange().
    void setVolumes(const QList<Volume> &volumes);
    // The current entry's text, which begins with the volume's root path.
    QString drive() const { return currentText(); }
    // The current volume's root path.
    QString rootPath() const;
    // Selects the listed volume that holds this path, without raising
    // driveChange().
    void showDriveOf(const QString &path);

    void showPopup() override;

signals:
    void driveChange();
};
