#pragma once

#include <QObject>

class EngineFollower;
struct Form1Controls;
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
    // The controls it works on, taken from the window's by their names.
    struct Controls
    {
        explicit Controls(const Form1Controls &window);
        QTimer &Timer1;
        PlayListBox &PlayList1;
        QLineEdit &pfname;
        QLineEdit &Text1;
        QLineEdit &Text2;
        QPushButton &cmdRepeat;
    };

    Transport(MediaEngine &engine, PositionDisplay &display, EngineFollower &follower,
              const Controls &controls, QObject *parent = nullptr);

    // Hands the selected play-list entry to the engine and to pfname, and stops the timer.
    void cmdPlay_Click();
    // Stops the timer and pauses the engine.
    void cmdPause_Click();
    // Stops the timer and the engine; Text1 keeps a single space, Text2 empties.
    void cmdStop_Click();
    // Plays fast forwards until the next transport call.
    void cmdFast_Click();
    // Plays fast backwards until the next transport call.
    void cmdRev_Click();
    // Turns the volume down to 0.
    void cmdMute_Click();
    // Turns the volume up to 100.
    void cmdUnMute_Click();
    // Plays the current medium again with a fresh time display; disables itself.
    void cmdRepeat_Click();

private:
    MediaEngine &m_engine;
    PositionDisplay &m_display;
    EngineFollower &m_follower;
    QTimer &m_timer1;
    PlayListBox &m_playList1;
    QLineEdit &m_pfname;
    QLineEdit &m_text1;
    QLineEdit &m_text2;
    QPushButton &m_cmdRepeat;
};
