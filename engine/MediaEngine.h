#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QWidget;

// The media engine that the window hosts as MPlayer1. Handlers only ever talk
// to this interface; the real engine runs on libmpv, tests use a double.
class MediaEngine : public QObject
{
    Q_OBJECT
public:
    // Where playback stands, as a desktop's media controls show it.
    enum class PlaybackState
    {
        Stopped,
        Playing,
        Paused
    };

    using QObject::QObject;
    ~MediaEngine() override = default;

    // The widget the window places as MPlayer1: video and the engine's own
    // control bar. The engine keeps ownership until the window takes it.
    virtual QWidget *widget() = 0;

    // Opens the medium at this path and starts it at once (autoStart is on).
    // An empty path leaves the engine with no medium.
    virtual void setUrl(const QString &url) = 0;
    // The path last handed to setUrl().
    virtual QString url() const = 0;

    // controls.play: starts the current medium, from its start after stop or
    // after its end, or resumes a pause. Does nothing without a medium.
    virtual void play() = 0;
    // controls.pause.
    virtual void pause() = 0;
    // controls.stop: stops and rewinds, keeping the medium loaded.
    virtual void stop() = 0;
    // controls.fastForward: fast playback until the next transport call.
    virtual void fastForward() = 0;
    // controls.fastReverse: fast backwards until the next transport call.
    virtual void fastReverse() = 0;

    // settings.volume, in percent (0 to 100).
    virtual void setVolume(int percent) = 0;
    virtual int volume() const = 0;

    // currentMedia.duration in seconds; empty when no medium is loaded or its
    // length is not known yet (the read fails).
    virtual std::optional<double> duration() const = 0;

    // A short readable status text, shown unchanged by the position display.
    virtual QString status() const = 0;

    // Playing (fast playback included), paused, or stopped (also without a
    // medium and after its end).
    virtual PlaybackState playbackState() const = 0;
    // The playback position in seconds; empty without a medium.
    virtual std::optional<double> position() const = 0;

signals:
    // Raised once when the current medium has played to its natural end.
    void endOfStream(int result);
    // status() changed to this text; playbackState() and duration() are
    // looked at again whenever it is raised.
    void statusChanged(const QString &status);
    // volume() changed to this percentage.
    void volumeChanged(int percent);
};
