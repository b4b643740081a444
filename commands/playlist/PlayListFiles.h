#pragma once

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
    // one go (the old file stays whole on failure, which a message names).
    void cmdSaveList_Click();
    // Load List: reads the chosen file whole, then replaces the list with its
    // entries; "File Not Found" and the list unchanged when it cannot, and a
    // message naming the bound for a file too large or with too many entries.
    void cmdLoadList_Click();

private:
    CommonDialog &m_dialog;
    PlayListBox &m_playList1;
};
