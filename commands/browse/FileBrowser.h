#pragma once

#include <QObject>

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
    FileBrowser(MediaEngine &engine, QTimer &timer1, DriveList &drives, FolderList &folders,
                FileListBox &fileList, QObject *parent = nullptr);

    // Shows the root of the chosen drive in Folders (and so in FileList).
    // Throws std::runtime_error when that root cannot be opened, after putting
    // Drives back on the drive of the folder that Folders still shows.
    void Drives_Change();
    // Lists the media files of the folder that Folders shows.
    void Folders_Change();
    // Starts the position timer and hands the chosen file to the engine,
    // which plays it at once.
    void FileList_Click();

private:
    MediaEngine &m_engine;
    QTimer &m_timer1;
    DriveList &m_drives;
    FolderList &m_folders;
    FileListBox &m_fileList;
};
