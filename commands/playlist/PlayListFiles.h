#pragma once

#include "core/FileJob.h"

#include <QObject>

class CommonDialog;
class PlayListBox;

// Save List and Load List: the play list to and from its text file.
class PlayListFiles : public QObject
{
    Q_OBJECT
public:
    PlayListFiles(CommonDialog &dialog, PlayListBox &playList1, QObject *parent = nullptr);

    // Save List: writes every entry to the file chosen in the Open dialog, in
    // one go, off the window's thread (the old file stays whole on failure,
    // which a message names, as it names a file that does not answer in
    // time). A newer Save List replaces one still writing.
    void cmdSaveList_Click();
    // Load List: reads the chosen file whole off the window's thread, then
    // replaces the list with its entries; "File Not Found" and the list
    // unchanged when it cannot, and a message naming the bound for a file too
    // large or with too many entries, a pipe or a device, or a file that does
    // not answer in time. A newer Load List replaces one still reading.
    void cmdLoadList_Click();

    // How long Load List and Save List wait for their file, in milliseconds.
    void setDeadline(int milliseconds)
    {
        m_loading.setDeadline(milliseconds);
        m_saving.setDeadline(milliseconds);
    }

private:
    struct Loaded;
    void takeList(const QString &source, const Loaded &loaded);

    CommonDialog &m_dialog;
    PlayListBox &m_playList1;
    FileJob m_loading;
    FileJob m_saving;
};
