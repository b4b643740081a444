#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class CommonDialog;
struct Form1Controls;
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
    // The Add dialog's filter text: the thirteen media types.
    static const QString addFilter;

    // The controls it works on, taken from the window's by their names.
    struct Controls
    {
        explicit Controls(const Form1Controls &window);
        PlayListBox &PlayList1;
        QTimer &Timer1;
        QLineEdit &pfname;
        QLineEdit &Text1;
        QLineEdit &Text2;
    };

    PlayList(MediaEngine &engine, CommonDialog &dialog, const Controls &controls,
             QObject *parent = nullptr);

    // Activate: plays the selected entry ("" when nothing is selected) and
    // shows its path in pfname.
    void PlayList1_Click();
    // Add: appends a file chosen in the Open dialog; plays nothing.
    void cmdAdd_Click();
    // Remove: drops the selected entry; what plays goes on playing.
    void cmdRemove_Click();
    // New List: drops every entry; what plays goes on playing.
    void cmdNewList_Click();
    // Next: plays the entry after the selected one, if there is one.
    void cmdNext_Click();
    // Previous: plays the entry before the selected one; before the first
    // comes nothing, which stops the engine's medium.
    void cmdBack_Click();

    // Media from outside the window: New List, one append for each entry,
    // and with playFirst the first entry selected, which plays it.
    void replaceEntries(const QStringList &entries, bool playFirst);
    // Appends each entry as Add appends one; plays nothing.
    void appendEntries(const QStringList &entries);

private:
    void blankTimes();

    MediaEngine &m_engine;
    CommonDialog &m_dialog;
    PlayListBox &m_playList1;
    QTimer &m_timer1;
    QLineEdit &m_pfname;
    QLineEdit &m_text1;
    QLineEdit &m_text2;
};
