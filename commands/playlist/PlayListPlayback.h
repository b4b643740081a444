#pragma once

#include "core/FileJob.h"

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

    // Load play-list file: hands the chosen play-list file to the engine and
    // shows its name in PLName; a cancel changes nothing.
    void cmdPLLoad_Click();
    // The hand-over step of Load play-list file, for a file chosen elsewhere
    // (the command line, a drop): PLName shows it and the engine plays it.
    void loadPlayListFile(const QString &path);
    // Generate: writes PlayList1.wpl in the working directory from
    // PlayList1.txt and the head and tail pieces, off the window's thread; a
    // message names what failed or that the files did not answer in time. A
    // press while one runs is left to that one.
    void cmdGenerate_Click();
    // Play simultaneously: Activates entry 0, then hands every other entry to
    // the engine in order.
    void cmdPlsi_Click();

    // How long Generate waits for its files, in milliseconds.
    void setDeadline(int milliseconds) { m_generating.setDeadline(milliseconds); }

private:
    MediaEngine &m_engine;
    CommonDialog &m_dialog;
    PlayListBox &m_playList1;
    QLineEdit &m_plName;
    FileJob m_generating;
};
