#include "commands/playlist/PlayList.h"

#include "commands/PlayListSteps.h"
#include "core/MediaFilters.h"
#include "engine/MediaEngine.h"
#include "widgets/CommonDialog.h"
#include "widgets/Form1Controls.h"
#include "widgets/PlayListBox.h"
#include "widgets/TimerSwitch.h"

#include <QLineEdit>
#include <QTimer>

const QString PlayList::addFilter = mediaFilterText(true);

PlayList::Controls::Controls(const Form1Controls &window)
    : PlayList1(*window.PlayList1), Timer1(*window.Timer1), pfname(*window.pfname),
      Text1(*window.Text1), Text2(*window.Text2)
{
}

PlayList::PlayList(MediaEngine &engine, CommonDialog &dialog, const Controls &controls,
                   QObject *parent)
    : QObject(parent), m_engine(engine), m_dialog(dialog), m_playList1(controls.PlayList1),
      m_timer1(controls.Timer1), m_pfname(controls.pfname), m_text1(controls.Text1),
      m_text2(controls.Text2)
{
}

void PlayList::PlayList1_Click()
{
    enableTimer(m_timer1);
    m_engine.setUrl(m_playList1.text());
    m_engine.play();
    m_pfname.setText(m_playList1.text());
}

void PlayList::cmdAdd_Click()
{
    const QString path = m_dialog.askForFile(addFilter);
    if (!path.isEmpty())
        m_playList1.addEntry(path);
}

void PlayList::cmdRemove_Click()
{
    const int selected = m_playList1.listIndex();
    if (selected < 0)
        return;
    m_playList1.removeEntry(selected);
}

void PlayList::cmdNewList_Click()
{
    m_playList1.clearEntries();
}

void PlayList::cmdNext_Click()
{
    if (const int next = PlayListSteps(m_playList1).next(); next >= 0) {
        // Selecting it Activates it, once.
        m_playList1.setListIndex(next);
        blankTimes();
    }
    enableTimer(m_timer1);
    m_pfname.setText(m_playList1.text());
}

void PlayList::cmdBack_Click()
{
    const PlayListSteps steps(m_playList1);
    if (steps.hasPrevious()) {
        const int previous = steps.previous();
        m_playList1.setListIndex(previous);
        // Before the first entry there is nothing, and selecting nothing
        // runs no click: the engine is handed the empty path, which leaves
        // it without a medium.
        if (previous < 0)
            PlayList1_Click();
        blankTimes();
    }
    enableTimer(m_timer1);
    m_pfname.setText(m_playList1.text());
}

void PlayList::replaceEntries(const QStringList &entries, bool playFirst)
{
    cmdNewList_Click();
    appendEntries(entries);
    if (playFirst)
        m_playList1.setListIndex(0);
}

void PlayList::appendEntries(const QStringList &entries)
{
    // One repaint for the lot, however many there are.
    m_playList1.setUpdatesEnabled(false);
    for (const QString &entry : entries)
        m_playList1.addEntry(entry);
    m_playList1.setUpdatesEnabled(true);
}

void PlayList::blankTimes()
{
    m_text2.setText(QString());
    m_text1.setText(QString());
}
