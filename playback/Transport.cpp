#include "playback/Transport.h"

Transport::Transport(MediaEngine &engine, PositionDisplay &display, QTimer &timer1,
              PlayListBox &playList1, QLineEdit &pfname, QLineEdit &text1, QLineEdit &text2,
              QPushButton &cmdRepeat, QObject *parent)
    : QObject(parent), m_engine(engine), m_display(display), m_timer1(timer1), m_playList1(playList1), m_pfname(pfname), m_text1(text1), m_text2(text2), m_cmdRepeat(cmdRepeat)
{
}

void Transport::cmdPlay_Click() {}

void Transport::cmdPause_Click() {}

void Transport::cmdStop_Click() {}

void Transport::cmdFast_Click() {}

void Transport::cmdRev_Click() {}

void Transport::cmdMute_Click() {}

void Transport::cmdUnMute_Click() {}

void Transport::cmdRepeat_Click() {}
