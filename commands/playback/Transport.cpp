#include "commands/playback/Transport.h"

#include "commands/playback/EngineFollower.h"
#include "commands/playback/PositionDisplay.h"
#include "engine/MediaEngine.h"
#include "widgets/Form1Controls.h"
#include "widgets/PlayListBox.h"
#include "widgets/TimerSwitch.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

Transport::Controls::Controls(const Form1Controls &window)
    : Timer1(*window.Timer1), PlayList1(*window.PlayList1), pfname(*window.pfname),
      Text1(*window.Text1), Text2(*window.Text2), cmdRepeat(*window.cmdRepeat)
{
}

Transport::Transport(MediaEngine &engine, PositionDisplay &display, EngineFollower &follower,
                     const Controls &controls, QObject *parent)
    : QObject(parent), m_engine(engine), m_display(display), m_follower(follower),
      m_timer1(controls.Timer1), m_playList1(controls.PlayList1), m_pfname(controls.pfname),
      m_text1(controls.Text1), m_text2(controls.Text2), m_cmdRepeat(controls.cmdRepeat)
{
}

void Transport::cmdPlay_Click()
{
    // The engine reports a medium it cannot open in its status rather than
    // failing the call, so the path shown and the timer always follow.
    const QString entry = m_playList1.text();
    m_follower.forgetHold();
    m_engine.setUrl(entry);
    m_pfname.setText(entry);
    m_timer1.stop();
}

void Transport::cmdPause_Click()
{
    m_follower.holdCount();
    m_engine.pause();
}

void Transport::cmdStop_Click()
{
    m_timer1.stop();
    m_engine.stop();
    m_display.showStopped();
}

void Transport::cmdFast_Click()
{
    m_follower.forgetHold();
    m_engine.fastForward();
}

void Transport::cmdRev_Click()
{
    m_follower.forgetHold();
    m_engine.fastReverse();
}

void Transport::cmdMute_Click()
{
    m_engine.setVolume(0);
}

void Transport::cmdUnMute_Click()
{
    m_engine.setVolume(100);
}

void Transport::cmdRepeat_Click()
{
    m_engine.play();
    m_text1.setText(QString());
    m_text2.setText(QString());
    m_display.resetCounters();
    enableTimer(m_timer1);
    // Usable again only once a medium has played to its end.
    m_cmdRepeat.setEnabled(false);
}
