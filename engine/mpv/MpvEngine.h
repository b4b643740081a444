#pragma once

#include "engine/EngineControlBar.h"
#include "engine/MediaEngine.h"
#include "engine/midi/MidiRenderer.h"
#include "engine/midi/MpvMidiProtocol.h"
#include "engine/mpv/MpvVideoSurface.h"
#include "engine/VideoOutput.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <memory>

class OpenGlProbe;
struct mpv_event;
struct mpv_handle;

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
// the GUI thread.
//
// It opens only local files and the network schemes of
// MediaSource::networkSchemes(); any other source (lavfi://, edl://, fd://
// ...) is refused, whether handed to setUrl() or met inside a play list
// that mpv reads itself (.m3u, .pls). Skipped entries are named in status().
//
// MIDI files (.mid, .midi, .rmi, told by their content), which mpv cannot
// read, are played through a software synthesiser (MpvMidiProtocol) and
// behave like any other medium.
class MpvEngine : public MediaEngine
{
    Q_OBJECT
public:
    using Options = MpvEngineOptions;

    // Fast playback runs at this many times the normal speed, both ways.
    static constexpr double fastRate = 5.0;

    // Creates and starts mpv; throws std::runtime_error when it cannot.
    explicit MpvEngine(const Options &options = Options(), QObject *parent = nullptr);
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
    void setVolume(int percent) override;
    int volume() const override { return m_volume; }
    std::optional<double> duration() const override;
    QString status() const override;
    PlaybackState playbackState() const override;
    std::optional<double> position() const override;
    // The video surface inside widget(); null when video is off, before
    // widget() has been called, and while the automatic choice is still
    // probing OpenGL (videoSurfaceReady() follows).
    MpvVideoSurface *videoWidget() const;
    // How video is drawn: OpenGL or Software once the surface is chosen, Auto
    // before then or when video is off.
    VideoOutput videoOutput() const { return m_videoOutput; }
    // Frames mpv has dropped at the video output so far (frame-drop-count);
    // empty while no video plays.
    std::optional<qint64> droppedFrames() const;
    // The engine's own control bar inside widget(); null before widget().
    EngineControlBar *controlBar() const { return m_bar; }

signals:
    // The video surface now sits in widget(); videoWidget() returns it.
    void videoSurfaceReady();

private slots:
    void drainEvents();

private:
    enum class Intent
    {
        Play,
        Pause,
        Stop
    };
    enum class Speed
    {
        Normal,
        FastForward,
        FastReverse
    };

    void handleEvent(const mpv_event &event);
    void onLoadHook(quint64 hookId);
    void removeRefusedEntries();
    void noteSkipped(const QString &entry, const QString &reason);
    void openLocal(const QString &path);
    void onPropertyChange(const mpv_event &event);
    void onNaturalEnd();
    void openMedia(const QStringList &entries);
    void failOpening(const QString &reason);
    void unload();
    void rewind();
    void restartList();
    void setNormalSpeed();
    void reverseStep();
    void placeVideoSurface(const std::optional<QString> &renderer);
    QWidget *createVideoSurface(QWidget *box, const std::optional<QString> &renderer);
    void setVideoOutput(const char *name);
    void refresh();

    int command(const QStringList &args);
    // Exact seek to an absolute position; false when mpv refused it.
    bool seekTo(double seconds);
    void setPaused(bool paused);
    void setFlag(const char *name, bool value);
    void setDouble(const char *name, double value);

    Options m_options;
    mpv_handle *m_mpv = nullptr;
    QString m_url;
    int m_volume = 50;

    // What the user last asked for, and what mpv has told us since.
    Intent m_intent = Intent::Stop;
    Speed m_speed = Speed::Normal;
    bool m_hasMedium = false;
    bool m_loading = false;
    bool m_ended = false;
    QString m_error;
    // Entries of the current medium's list that were not opened, with why.
    QStringList m_skipped;
    std::optional<double> m_duration;
    std::optional<double> m_position;
    int m_listLength = 0;
    bool m_eofReached = false;
    bool m_mpvPaused = false;
    // Events about play-list entries older than the current medium's first
    // entry belong to a medium that was replaced.
    qint64 m_firstEntryId = 0;
    qint64 m_currentEntryId = -1;
    quint64 m_generation = 0;

    // Fast reverse: exact seeks to a target that moves back at fastRate
    // against the wall clock, one at a time.
    QTimer m_reverseTimer;
    QElapsedTimer m_reverseClock;
    double m_reverseFrom = 0;
    bool m_reverseSeekPending = false;
    qint64 m_reverseSeekIssued = 0;

    // Serves MIDI files to mpv as synthesised sound; outlives m_mpv.
    std::unique_ptr<MpvMidiProtocol> m_midi;

    QPointer<QWidget> m_widget;
    VideoOutput m_requestedOutput = VideoOutput::Auto;
    VideoOutput m_videoOutput = VideoOutput::Auto;
    QPointer<QWidget> m_videoWidget;
    // Stands where the video surface goes while OpenGL is probed.
    QPointer<QWidget> m_videoPlaceholder;
    QPointer<OpenGlProbe> m_probe;
    QElapsedTimer m_probeClock;
    QPointer<EngineControlBar> m_bar;
    QString m_lastStatus;
    std::optional<double> m_lastDuration;
    std::optional<double> m_lastPosition;
    PlaybackState m_lastState = PlaybackState::Stopped;
};
