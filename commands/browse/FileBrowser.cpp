#include "commands/browse/FileBrowser.h"

#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "engine/MediaEngine.h"

#include <QDir>
#include <QTimer>
#include <stdexcept>

FileBrowser::FileBrowser(MediaEngine &engine, QTimer &timer1, DriveList &drives,
                         FolderList &folders, FileListBox &fileList, QObject *parent)
    : QObject(parent), m_engine(engine), m_timer1(timer1), m_drives(drives), m_folders(folders),
      m_fileList(fileList)
{
}

void FileBrowser::Drives_Change()
{
    const QString drive = m_drives.drive();
    const QString root = m_drives.rootPath();
    try {
        // Always the drive's root, not the folder last visited on it.
        m_folders.setPath(root);
    } catch (const std::runtime_error &) {
        m_drives.showDriveOf(m_folders.path());
        throw std::runtime_error(
            QStringLiteral("The drive \"%1\" cannot be opened: its root folder %2 is not "
                           "available.")
                .arg(drive, QDir::toNativeSeparators(root))
                .toStdString());
    }
}

void FileBrowser::Folders_Change()
{
    m_fileList.setPath(m_folders.path());
}

void FileBrowser::FileList_Click()
{
    m_timer1.start();
    QString path = QDir::toNativeSeparators(m_fileList.path());
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    m_engine.setUrl(path + m_fileList.fileName());
}
