#pragma once

#include "engine/MediaEngine.h"

#include <QStringList>
#include <QWidget>
#include <memory>

// An engine double: records every call in order, answers with scripted
// durations and status texts, and raises endOfStream on demand. Its playback
// state follows the calls: a non-empty URL plays, pause pauses a playing
// medium, stop stops.
class FakeEngine : public MediaEngine
{
    Q_OBJECT
public:
    FakeEngine();
    ~FakeEngine() override;

    QWidget *widget() override;
    void setUrl(const QString &url) override;
    QString url() const override { return m_url; }
    void play() override;
    void pause() override;
    void stop() override;
    void fastForward() override;
    void fastReverse() override;
    void playPause() override;
    void seek(double seconds) override;
    void seekBy(double seconds) override;
    void setVolume(int percent) override;
    int volume() const override { return m_volume; }
    std::optional<double> duration() const override;
    QString status() const override;
    PlaybackState playbackState() const override { return m_state; }
    std::optional<double> position() const override { return scriptedPosition; }
    QString problem() const override { return m_problem; }
    QList<MediaTrack> tracks() const override { return m_tracks; }
    void selectTrack(MediaTrack::Type type, int id) override;
    void addSubtitleFile(const QString &path) override;
    bool fullScreen() const override { return m_fullScreen; }
    void setFullScreen(bool on) override;

    // Every call, in order: "url=<path>", "play", "pause", "stop",
    // "fastForward", "fastReverse", "playPause", "seek=<s>", "seekBy=<s>",
    // "volume=<n>", "audio=<id>", "subtitle=<id>", "subtitleFile=<path>",
    // "fullScreen=<0|1>", "duration", "status".
    QStringList calls;
    // What duration() answers; empty makes the read fail.
    std::optional<double> scriptedDuration;
    QString scriptedStatus = QStringLiteral("Ready");
    // What position() answers; seek() and seekBy() move it, seekBy() within
    // 0 and scriptedDuration.
    std::optional<double> scriptedPosition;

    // Changes what duration() answers and announces it, as an engine does
    // once it knows a medium's length.
    void announceDuration(std::optional<double> seconds);
    // Changes what position() answers and announces it, as playback or a
    // seek does.
    void announcePosition(std::optional<double> seconds);
    // The medium fails, as a real one does with a broken file: the state
    // becomes Stopped, status() and problem() name the reason, failed() is
    // raised.
    void fail(const QString &reason);
    // Changes what problem() answers and announces it (skipped entries).
    void announceProblem(const QString &text);
    // The medium turns out to hold these streams, as a real one does once
    // it has been read; a new URL clears them.
    void announceTracks(const QList<MediaTrack> &tracks);

    // The medium ends: the state becomes Stopped, then endOfStream is raised.
    void raiseEndOfStream();
    // Calls that change the engine's state, without the reads.
    QStringList commands() const;

private:
    // Follows the calls the way a real engine would (an opened medium
    // starts by itself) and raises statusChanged on each change.
    void setState(PlaybackState state);
    void setTracks(const QList<MediaTrack> &tracks);

    QString m_problem;
    QList<MediaTrack> m_tracks;
    bool m_fullScreen = false;

    PlaybackState m_state = PlaybackState::Stopped;
    QString m_url;
    int m_volume = 50;
    QWidget *m_widget = nullptr;
    std::unique_ptr<QWidget> m_ownedWidget;
};
