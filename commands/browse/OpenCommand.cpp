#include "commands/browse/OpenCommand.h"

#include "core/MediaFilters.h"
#include "widgets/CommonDialog.h"
#include "widgets/Form1Controls.h"
#include "widgets/PlayListBox.h"
#include "widgets/TimerSwitch.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

const QString OpenCommand::mediaFilter = mediaFilterText(false);

OpenCommand::Controls::Controls(const Form1Controls &window)
    : PlayList1(*window.PlayList1), Timer1(*window.Timer1), cmdRepeat(*window.cmdRepeat),
      Text1(*window.Text1), Text2(*window.Text2)
{
}

OpenCommand::OpenCommand(CommonDialog &dialog, const Controls &controls, QObject *parent)
    : QObject(parent), m_dialog(dialog), m_playList1(controls.PlayList1), m_timer1(controls.Timer1),
      m_cmdRepeat(controls.cmdRepeat), m_text1(controls.Text1), m_text2(controls.Text2)
{
}

void OpenCommand::cmdOpen_Click()
{
    // The position display rests while the dialog is open. If nothing comes
    // of it, the timer goes back to how it was, or the display would freeze.
    const bool timerWasOn = m_timer1.isActive();
    m_timer1.stop();
    const QString path = m_dialog.askForFile(mediaFilter);
    if (path.isEmpty()) {
        if (timerWasOn)
            enableTimer(m_timer1);
        return;
    }

    enableTimer(m_timer1);
    m_cmdRepeat.setEnabled(false);
    m_playList1.clearEntries();
    m_playList1.addEntry(path);
    // Raises the list's click, which hands the path to the engine, plays it
    // and shows it in pfname before the next line runs.
    m_playList1.setListIndex(0);
    enableTimer(m_timer1);
    m_cmdRepeat.setEnabled(false);
    m_text2.setText(QString());
    m_text1.setText(QString());
}
