#pragma once

#include <QObject>

class Commands;
class MediaEngine;

// The player's keys that drive the engine beyond the window's buttons: what
// the engine's own play/pause button does, seeks of 5 and 60 seconds, the
// volume in steps of 5, and Mute or Un Mute as the volume stands.
class EngineCommands : public QObject
{
    Q_OBJECT
public:
    // How far the short and the long seeks move, in seconds.
    static constexpr double shortSeek = 5;
    static constexpr double longSeek = 60;
    // How much one step changes the volume, in percent.
    static constexpr int volumeStep = 5;

    // Mute and Un Mute run through their actions in commands.
    EngineCommands(MediaEngine &engine, Commands &commands, QObject *parent = nullptr);

    // Pauses a medium playing at its normal speed, otherwise plays.
    void playPause();
    // Moves the medium 5 seconds back or forward.
    void seekBackward();
    void seekForward();
    // Moves the medium 60 seconds back or forward.
    void seekBackwardLong();
    void seekForwardLong();
    // Moves the medium to this position in seconds.
    void seekTo(double seconds);
    // One volume step up or down, never past 100 or below 0.
    void volumeUp();
    void volumeDown();
    // Mute while there is sound to mute (volume above 0), otherwise Un Mute.
    void muteOrUnMute();

private:
    void stepVolume(int by);

    MediaEngine &m_engine;
    Commands &m_commands;
};
