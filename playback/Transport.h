#pragma once

#include <QObject>

class MediaEngine;
class PlayListBox;
class PositionDisplay;
class QLineEdit;
class QPushButton;
class QTimer;

// The transport row: Play, Pause, Stop, Fast forward, Fast reverse, Mute,
// Unmute and Repeat, each driving the engine directly.
class Transport : public QObject
{
    Q_OBJECT
public:
    Transport(MediaEngine &engine, PositionDisplay &display, QTimer &timer1,
              PlayListBox &playList1, QLineEdit &pfname, QLineEdit &text1, QLineEdit &text2,
              QPushButton &cmdRepeat, QObject *parent = nullptr);

    void cmdPlay_Click();
    void cmdPause_Click();
    void cmdStop_Click();
    void cmdFast_Click();
    void cmdRev_Click();
    void cmdMute_Click();
    void cmdUnMute_Click();
    void cmdRepeat_Click();

private:
    MediaEngine &m_engine;
    PositionDisplay &m_display;
    QTimer &m_timer1;
    PlayListBox &m_playList1;
    QLineEdit &m_pfname;
    QLineEdit &m_text1;
    QLineEdit &m_text2;
    QPushButton &m_cmdRepeat;
};
