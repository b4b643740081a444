#pragma once

#include <QObject>

class CommonDialog;
class DriveList;
class FileListBox;
class FolderList;
class MediaEngine;
class QTimer;

// The drive, folder and file lists: picking a drive shows its root, opening a
// folder shows its media files, and choosing a file plays it.
class FileBrowser : public QObject
{
    Q_OBJECT
public:
    // A folder that cannot be opened is reported in the dialog's message box.
    FileBrowser(MediaEngine &engine, CommonDialog &dialog, QTimer &timer1, DriveList &drives,
                FolderList &folders, FileListBox &fileList, QObject *parent = nullptr);

    // Shows the root of the chosen drive in Folders (and so in FileList).
    // When that root cannot be opened, Drives goes back to the drive of the
    // folder that Folders still shows and a message says why.
    void Drives_Change();
    // Lists the media files of the folder that Folders shows.
    void Folders_Change();
    // Starts the position timer and hands the chosen file to the engine,
    // which plays it at once.
    void FileList_Click();

private:
    void showError(const QString &message);

    MediaEngine &m_engine;
    CommonDialog &m_dialog;
    QTimer &m_timer1;
    DriveList &m_drives;
    FolderList &m_folders;
    FileListBox &m_fileList;
};
