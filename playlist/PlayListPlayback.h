#pragma once

#include <QObject>

class CommonDialog;
class MediaEngine;
class PlayListBox;
class QLineEdit;

// Whole play lists: hand a play-list file to the engine, generate
// PlayList1.wpl from the saved list, and hand every entry over at once.
class PlayListPlayback : public QObject
{
    Q_OBJECT
public:
    PlayListPlayback(MediaEngine &engine, CommonDialog &dialog, PlayListBox &playList1,
                     QLineEdit &plName, QObject *parent = nullptr);

    void cmdPLLoad_Click();
    void cmdGenerate_Click();
    void cmdPlsi_Click();

private:
    MediaEngine &m_engine;
    CommonDialog &m_dialog;
    PlayListBox &m_playList1;
    QLineEdit &m_plName;
};
