#pragma once

#include <QComboBox>

// The drive list: the mounted volumes, each shown by its root path and name.
// Picking another volume raises driveChange().
class DriveList : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    // The current entry's text, which begins with the volume's root path.
    QString drive() const { return currentText(); }
    // The current volume's root path.
    QString rootPath() const;
    // Selects the volume that holds this path, without raising driveChange().
    void showDriveOf(const QString &path);
    void refresh();

signals:
    void driveChange();
};
