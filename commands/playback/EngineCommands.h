#pragma once

#include <QObject>

class Commands;
class MediaEngine;

// The commands that drive the engine beyond the window's buttons, for the
// keys and the desktop: what the engine's own play/pause button does, seeks
// of 5 and 60 seconds or to a position, the volume in steps of 5 or at once,
// and Mute or Un Mute as the volume stands. What they change on the window
// follows from the engine's signals (EngineFollower).
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
    // Plays the current medium, resuming a pause, as the engine's own bar does.
    void play();
    // Moves the medium to this position in seconds.
    void seekTo(double seconds);
    // Sets the volume, in percent.
    void setVolume(int percent);
    // Moves the medium 5 seconds back or forward.
    void seekBackward();
    void seekForward();
    // Moves the medium 60 seconds back or forward.
    void seekBackwardLong();
    void seekForwardLong();
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
