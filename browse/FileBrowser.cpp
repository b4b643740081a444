#include "browse/FileBrowser.h"

FileBrowser::FileBrowser(MediaEngine &engine, QTimer &timer1, DriveList &drives, FolderList &folders,
                FileListBox &fileList, QObject *parent)
    : QObject(parent), m_engine(engine), m_timer1(timer1), m_drives(drives), m_folders(folders), m_fileList(fileList)
{
}

void FileBrowser::Drives_Change() {}

void FileBrowser::Folders_Change() {}

void FileBrowser::FileList_Click() {}
