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

    void Drives_Change();
    void Folders_Change();
    void FileList_Click();

private:
    MediaEngine &m_engine;
    QTimer &m_timer1;
    DriveList &m_drives;
    FolderList &m_folders;
    FileListBox &m_fileList;
};
