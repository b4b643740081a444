#pragma once

#include <QObject>
#include <QString>

class CommonDialog;
class MediaEngine;
class PlayListBox;
class QLineEdit;
class QTimer;

// The play list's commands: Activate (a click on an entry), Add, Remove,
// New List, Next and Previous.
class PlayList : public QObject
{
    Q_OBJECT
public:
    // The Add dialog's filter text.
    static const QString addFilter;

    PlayList(MediaEngine &engine, CommonDialog &dialog, PlayListBox &playList1, QTimer &timer1,
             QLineEdit &pfname, QLineEdit &text1, QLineEdit &text2, QObject *parent = nullptr);

    void PlayList1_Click();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdNewList_Click();
    void cmdNext_Click();
    void cmdBack_Click();

private:
    MediaEngine &m_engine;
    CommonDialog &m_dialog;
    PlayListBox &m_playList1;
    QTimer &m_timer1;
    QLineEdit &m_pfname;
    QLineEdit &m_text1;
    QLineEdit &m_text2;
};
