#pragma once

#include "engine/MediaTrack.h"

#include <QObject>
#include <QString>
#include <optional>

class QWidget;

// The media engine that the window hosts as MPlayer1. Handlers only ever talk
// to this interface; the real engine runs on libmpv, tests use a double.
//
// Failures are never thrown. A medium that cannot be opened or played leaves
// the engine without one: status() then begins with "Error: " and names the
// reason, playbackState() is Stopped, duration() and position() are empty,
// and failed() is raised once. Entries of a play list that are skipped are
// named at the end of status() while the rest plays. Handlers therefore call
// the engine and go on; what the user sees of a failure is the status text,
// and the engine's area shows the same reason over the picture (problem()).
//
// Every call returns at once: opening and seeking go on inside the engine,
// and what they change is announced by the signals below.
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
    Q_ENUM(PlaybackState)

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
    // controls.stop: stops and rewinds, keeping the medium loaded; a medium
    // still opening is given up instead, and play() opens it again.
    virtual void stop() = 0;
    // controls.fastForward: fast playback until the next transport call.
    virtual void fastForward() = 0;
    // controls.fastReverse: fast backwards until the next transport call.
    virtual void fastReverse() = 0;
    // What the engine's own play/pause button does: pauses a medium playing
    // at its normal speed, otherwise plays (resuming a pause, leaving fast
    // playback, starting again after the end).
    virtual void playPause() = 0;
    // Moves the current medium to this position in seconds, exactly. Does
    // nothing without a medium or while it is still opening.
    virtual void seek(double seconds) = 0;
    // Moves the current medium this many seconds from where it stands (back
    // when negative), never before its start nor past its end; a move that
    // reaches the end ends the medium as playing to it would. Does nothing
    // without a medium or while it is still opening.
    virtual void seekBy(double seconds) = 0;

    // settings.volume, in percent (0 to 100).
    virtual void setVolume(int percent) = 0;
    virtual int volume() const = 0;

    // currentMedia.duration in seconds; empty when no medium is loaded or its
    // length is not known yet (the read fails).
    virtual std::optional<double> duration() const = 0;

    // A short readable status text, shown unchanged by the position display.
    virtual QString status() const = 0;

    // Playing (fast playback included), paused, or stopped (also without a
    // medium, while it is still opening and after its end).
    virtual PlaybackState playbackState() const = 0;
    // The playback position in seconds; empty without a medium.
    virtual std::optional<double> position() const = 0;

    // What the user should be told about the current medium, shown over the
    // picture: why it failed, or which entries of its list were skipped;
    // empty when there is nothing to tell. A new medium starts with none.
    virtual QString problem() const = 0;

    // The streams of the current medium (cover pictures are not video);
    // empty without a medium or until the engine has read them.
    virtual QList<MediaTrack> tracks() const = 0;
    // Plays the audio track or shows the subtitle track with this id; 0
    // turns subtitles off. Ids the medium does not have are ignored.
    virtual void selectTrack(MediaTrack::Type type, int id) = 0;
    // Adds this subtitle file to the current medium and shows it; does
    // nothing without a medium. A file that is missing, no regular file or
    // larger than any subtitle file is (SourceRule::refusedSubtitle) is not
    // added, and problem() says why.
    virtual void addSubtitleFile(const QString &path) = 0;

    // fullScreen: whether the engine's area fills the screen its window is
    // on. Only the engine's own controls and keys change it; the window's
    // screen modes never do.
    virtual bool fullScreen() const = 0;
    virtual void setFullScreen(bool on) = 0;

    // Something the player offers the user over the picture, taken with a
    // click on it; an empty text withdraws it. It stays until withdrawn or
    // taken, whatever the medium does.
    virtual void setOffer(const QString &text)
    {
        if (text == m_offer)
            return;
        m_offer = text;
        emit offerChanged(text);
    }
    // The offer shown now; empty when there is none.
    QString offer() const { return m_offer; }
    // The user takes the offer: it goes, and offerTaken() is raised. Does
    // nothing without an offer.
    virtual void takeOffer()
    {
        if (m_offer.isEmpty())
            return;
        setOffer(QString());
        emit offerTaken();
    }

signals:
    // Raised once when the current medium has played to its natural end.
    void endOfStream();
    // status() changed to this text.
    void statusChanged(const QString &status);
    // volume() changed to this percentage.
    void volumeChanged(int percent);
    // duration() changed to this length.
    void durationChanged(std::optional<double> seconds);
    // position() changed, by playback or by a seek.
    void positionChanged(std::optional<double> seconds);
    // playbackState() changed to this state.
    void playbackStateChanged(MediaEngine::PlaybackState state);
    // stop() stopped the current medium, whoever asked (the engine's own bar
    // included); a medium that ends or is replaced does not raise it.
    void stopped();
    // seek() or seekBy() moved the current medium to this position, whoever
    // asked; playback, fast playback and stop() do not raise it.
    void seeked(double seconds);
    // The medium could not be opened or played, for this reason (the same
    // words status() shows after "Error: ").
    void failed(const QString &reason);
    // problem() changed to this text.
    void problemChanged(const QString &text);
    // tracks() changed: a medium was read, or a track chosen or added.
    void tracksChanged();
    // fullScreen() changed to this.
    void fullScreenChanged(bool on);
    // offer() changed to this text.
    void offerChanged(const QString &text);
    // The user took the offer that was shown.
    void offerTaken();

private:
    QString m_offer;
};
