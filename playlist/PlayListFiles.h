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

    void cmdSaveList_Click();
    void cmdLoadList_Click();

private:
    CommonDialog &m_dialog;
    PlayListBox &m_playList1;
};
