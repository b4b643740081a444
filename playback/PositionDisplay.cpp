#include "playback/PositionDisplay.h"

PositionDisplay::PositionDisplay(MediaEngine &engine, QTimer &timer1, QLineEdit &text1, QLineEdit &text2,
                    QLineEdit &text4, QPushButton &cmdRepeat, PlayListBox &playList1,
                    QLineEdit &pfname, QObject *parent)
    : QObject(parent), m_engine(engine), m_timer1(timer1), m_text1(text1), m_text2(text2), m_text4(text4), m_cmdRepeat(cmdRepeat), m_playList1(playList1), m_pfname(pfname)
{
}

void PositionDisplay::Timer1_Timer() {}

void PositionDisplay::MPlayer1_EndOfStream() {}

void PositionDisplay::resetCounters() {}
