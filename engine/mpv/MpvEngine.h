#pragma once

#include "engine/MediaEngine.h"
#include "engine/SeamChanges.h"
#include "engine/VideoOutput.h"
#include "engine/midi/MidiRenderer.h"

#include <QPointer>
#include <functional>
#include <memory>

class EngineView;
class MpvClient;
class MpvMedium;
class MpvMidiProtocol;
class MpvSourceGuard;
class MpvSpeed;
class MpvTracks;
class MpvVideoOutput;

// How an MpvEngine is set up; the defaults are the player's own.
struct MpvEngineOptions
{
    // Show video in widget(). Off means vo=null and no surface at all, for
    // tests without a display.
    bool video = true;
    // Play sound on the system's output. Off means ao=null.
    bool audio = true;
    // How video is drawn. Auto leaves it to CORVEL_VIDEO_OUTPUT (auto,
    // opengl or software, read when the engine is made) and then to a probe
    // of the machine's OpenGL renderer; anything else wins over both.
    VideoOutput videoOutput = VideoOutput::Auto;
    // Where to look for the General MIDI sound font that MIDI music is
    // played with, in order.
    QStringList soundFonts = MidiRenderer::knownSoundFonts();

    // Neither video nor sound: for tests and tools without a display.
    static MpvEngineOptions headless() { return {false, false}; }
};

// The real engine, on libmpv. It starts with autoStart on, volume 50 and no
// mute, keeps a medium open after its end (so Stop and Play can rewind and
// replay it), reads no user configuration and runs no scripts or download
// helpers. All of its work happens on the thread that made it, which must be
// the GUI thread, and no call waits for mpv: opening and seeking are
// requests whose outcome the signals announce. Stop while a medium is still
// opening gives it up (it may never open: a file made a pipe after it was
// looked at), and Play opens it again.
//
// It opens only what SourceRule allows (MpvSourceGuard), whether handed to
// setUrl() or met inside a play list that mpv reads itself (.m3u, .pls).
// Skipped entries are named in status().
//
// MIDI files (.mid, .midi, .rmi, told by their content), which mpv cannot
// read, are played through a software synthesiser (MpvMidiProtocol) and
// behave like any other medium.
class MpvEngine : public MediaEngine
{
    Q_OBJECT
public:
    using Options = MpvEngineOptions;

    // Creates and starts an engine; null, with the reason in *error, when
    // mpv cannot be made or started.
    static std::unique_ptr<MpvEngine> create(const Options &options, QString *error);
    // Frees the video surface, wherever it now lives, then mpv.
    ~MpvEngine() override;

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
    PlaybackState playbackState() const override;
    std::optional<double> position() const override;
    QString problem() const override;
    QList<MediaTrack> tracks() const override;
    void selectTrack(MediaTrack::Type type, int id) override;
    void addSubtitleFile(const QString &path) override;
    bool fullScreen() const override { return m_fullScreen; }
    void setFullScreen(bool on) override;

private:
    enum class Intent
    {
        Play,
        Pause,
        Stop
    };

    MpvEngine(const Options &options, std::unique_ptr<MpvClient> client);
    void onNaturalEnd();
    void announce(std::function<void()> announcement);
    void refresh();

    // Serves MIDI files to mpv as synthesised sound; outlives mpv.
    std::unique_ptr<MpvMidiProtocol> m_midi;
    std::unique_ptr<MpvClient> m_client;
    std::unique_ptr<MpvSourceGuard> m_guard;
    std::unique_ptr<MpvMedium> m_medium;
    std::unique_ptr<MpvSpeed> m_speed;
    std::unique_ptr<MpvTracks> m_tracks;
    // Null when video is off.
    std::unique_ptr<MpvVideoOutput> m_video;
    QString m_url;
    int m_volume = 50;
    bool m_fullScreen = false;

    // What the user last asked for.
    Intent m_intent = Intent::Stop;
    // The medium played to its end (and was not moved since).
    bool m_ended = false;
    // Stopped after the end of a list of several entries: Play starts it over.
    bool m_listFromStart = false;
    // Stopped while still opening, and given up: Play opens it again.
    bool m_givenUp = false;
    // Counts setUrl() calls: whatever was started for an earlier one is void.
    quint64 m_generation = 0;

    QPointer<EngineView> m_view;
    // Made once every part above is, since it reads the status at once.
    std::optional<SeamChanges> m_changes;
};
