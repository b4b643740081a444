#pragma once

#include "engine/MediaTrack.h"

#include <QWidget>
#include <optional>

class QLabel;
class QSlider;
class QToolButton;
class SeekSlider;
class TrackMenuButton;

// The engine's own control bar: a full-width seek slider on top, and below it
// a row with play/pause, stop, the elapsed and total time, the volume, the
// audio-track and subtitle menus (each only when there is a choice) and full
// screen. The row is packed to the right, so its left part stays free for the
// window's transport buttons, which are drawn over the player's lowest strip.
// The bar only shows what it is told and reports what the user asks for.
// Its parts carry object names: "seekSlider", "playPauseButton",
// "stopButton", "timeLabel" (the elapsed and total time, for example
// "0:07 / 1:05:00"), "volumeSlider", "audioTrackButton", "subtitleButton"
// and "fullScreenButton".
class EngineControlBar : public QWidget
{
    Q_OBJECT
public:
    // Height of the bottom row in pixels; the window's transport buttons are
    // no taller than this.
    static constexpr int bottomRowHeight = 33;

    explicit EngineControlBar(QWidget *parent = nullptr);

    // The medium's length; empty when there is none, which disables seeking.
    void setDuration(std::optional<double> seconds);
    // The playback position; ignored while the user holds the seek slider.
    void setPosition(std::optional<double> seconds);
    // Whether the play/pause button offers pause (true) or play (false).
    void setPlaying(bool playing);
    // The volume slider's place, in percent.
    void setVolume(int percent);
    // The medium's tracks, for the audio-track and subtitle menus.
    void setTracks(const QList<MediaTrack> &tracks);
    // Whether the full-screen button offers to leave (true) or to enter.
    void setFullScreen(bool on);

signals:
    // The user clicked the play/pause button.
    void playPauseClicked();
    // The user clicked the stop button.
    void stopClicked();
    // The user moved the seek slider to this position.
    void seekRequested(double seconds);
    // The user moved the volume slider to this value.
    void volumeRequested(int percent);
    // The user chose this track in a menu; 0 turns subtitles off.
    void trackRequested(MediaTrack::Type type, int id);
    // The user clicked the full-screen button.
    void fullScreenClicked();

private:
    void updateTimeText();
    // A time as a place on the seek slider (rounded up or to the nearest), kept on it.
    int sliderValue(double seconds, bool up) const;

    SeekSlider *m_seek;
    QToolButton *m_playPause;
    QToolButton *m_stop;
    QLabel *m_time;
    QSlider *m_volume;
    TrackMenuButton *m_audio;
    TrackMenuButton *m_subtitles;
    QToolButton *m_fullScreen;
    std::optional<double> m_duration;
    std::optional<double> m_position;
    bool m_playing = false;
    // Seek-slider steps a second: tenths, or fewer for a medium too long for them.
    double m_stepsPerSecond = 10.0;
};
