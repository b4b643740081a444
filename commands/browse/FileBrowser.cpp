#include "commands/browse/FileBrowser.h"

#include "engine/MediaEngine.h"
#include "widgets/CommonDialog.h"
#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/TimerSwitch.h"

#include <QDir>
#include <QTimer>

FileBrowser::FileBrowser(MediaEngine &engine, CommonDialog &dialog, QTimer &timer1,
                         DriveList &drives, FolderList &folders, FileListBox &fileList,
                         QObject *parent)
    : QObject(parent), m_engine(engine), m_dialog(dialog), m_timer1(timer1), m_drives(drives),
      m_folders(folders), m_fileList(fileList)
{
    // A folder opened by double-click that cannot be read is no handler's
    // failure, but the user still has to learn why nothing happened.
    connect(&m_folders, &FolderList::openFailed, this, &FileBrowser::showError);
}

void FileBrowser::Drives_Change()
{
    const QString drive = m_drives.drive();
    const QString root = m_drives.rootPath();
    // Always the drive's root, not the folder last visited on it.
    if (m_folders.setPath(root))
        return;
    m_drives.showDriveOf(m_folders.path());
    showError(QStringLiteral("The drive \"%1\" cannot be opened: its root folder %2 is not "
                             "available.")
                  .arg(drive, QDir::toNativeSeparators(root)));
}

void FileBrowser::showError(const QString &message)
{
    m_dialog.showMessage(message, QStringLiteral("Error"));
}

void FileBrowser::Folders_Change()
{
    m_fileList.setPath(m_folders.path());
}

void FileBrowser::FileList_Click()
{
    enableTimer(m_timer1);
    QString path = QDir::toNativeSeparators(m_fileList.path());
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    m_engine.setUrl(path + m_fileList.fileName());
}
