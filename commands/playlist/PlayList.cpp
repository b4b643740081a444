#include "commands/playlist/PlayList.h"

#include "widgets/CommonDialog.h"
#include "core/MediaFilters.h"
#include "engine/MediaEngine.h"
#include "widgets/PlayListBox.h"

#include <QLineEdit>
#include <QTimer>
#include <exception>

const QString PlayList::addFilter = mediaFilterText(true);

PlayList::PlayList(MediaEngine &engine, CommonDialog &dialog, PlayListBox &playList1,
                   QTimer &timer1, QLineEdit &pfname, QLineEdit &text1, QLineEdit &text2,
                   QObject *parent)
    : QObject(parent), m_engine(engine), m_dialog(dialog), m_playList1(playList1), m_timer1(timer1),
      m_pfname(pfname), m_text1(text1), m_text2(text2)
{
}

void PlayList::PlayList1_Click()
{
    m_timer1.start();
    m_engine.setUrl(m_playList1.text());
    m_engine.play();
    m_pfname.setText(m_playList1.text());
}

void PlayList::cmdAdd_Click()
{
    m_dialog.setCancelError(false);
    m_dialog.setFilter(addFilter);
    m_dialog.showOpen();
    if (m_dialog.fileName().isEmpty())
        return;
    const QString path = m_dialog.fileName();
    // A cancel leaves the name as it was: clearing it is what lets the next
    // dialog tell a cancel from a choice.
    m_dialog.setFileName(QString());
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
    try {
        const int selected = m_playList1.listIndex();
        if (selected + 1 < m_playList1.listCount()) {
            selectAndActivate(selected + 1);
            blankTimes();
        }
    } catch (const std::exception &) {
        // Stepping never reports anything; whatever failed, the display is
        // brought back in line below.
    }
    m_timer1.start();
    m_pfname.setText(m_playList1.text());
}

void PlayList::cmdBack_Click()
{
    try {
        const int selected = m_playList1.listIndex();
        if (selected >= 1) {
            selectAndActivate(selected - 1);
            blankTimes();
        } else if (selected == 0) {
            // Before the first entry there is nothing: the engine is handed
            // the empty path, which leaves it without a medium.
            m_playList1.setListIndex(-1);
            PlayList1_Click();
            blankTimes();
        }
    } catch (const std::exception &) {
        // As in Next: nothing is reported.
    }
    m_timer1.start();
    m_pfname.setText(m_playList1.text());
}

void PlayList::selectAndActivate(int index)
{
    // Activated here rather than through listClick(), so that a failure
    // reaches the caller instead of the window's error box.
    m_playList1.setListIndexQuietly(index);
    PlayList1_Click();
}

void PlayList::blankTimes()
{
    m_text2.setText(QString());
    m_text1.setText(QString());
}
