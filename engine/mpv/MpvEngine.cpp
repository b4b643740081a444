#include "engine/mpv/MpvEngine.h"

#include "engine/EngineControlBar.h"
#include "engine/EngineLog.h"
#include "engine/mpv/MpvSoftwareVideoWidget.h"
#include "engine/mpv/MpvVideoWidget.h"
#include "engine/OpenGlProbe.h"
#include "core/MediaSource.h"
#include "core/XmlPlayList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QVBoxLayout>
#include <clocale>
#include <limits>
#include <mpv/client.h>
#include <stdexcept>
#include <type_traits>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

namespace {

enum ObservedProperty : uint64_t
{
    TimePos = 1,
    Duration,
    EofReached,
    Paused,
    PlaylistCount
};

// What endOfStream carries: the code of a medium that has ended.
constexpr int mediaEnded = 8;

// Runs on mpv's threads (and sometimes inside an mpv call on ours): only queue.
void wakeUp(void *engine)
{
    QMetaObject::invokeMethod(static_cast<QObject *>(engine), "drainEvents", Qt::QueuedConnection);
}

// Every source mpv is about to open passes here, including the entries of
// play lists it reads itself: only local files and the allowed network
// schemes get through. mpv hands local entries over as absolute paths.
bool refusedSource(const QString &name, QString *reason)
{
    if (name.startsWith(u'/') && !name.contains(QChar(0)))
        return false;
    const MediaSource source = MediaSource::classify(name, QString());
    if (source.kind != MediaSource::Kind::Refused)
        return false;
    *reason = source.reason;
    return true;
}

// Why a local path that exists is no medium file, or an empty string: a
// folder (mpv would play everything in it, and after such a list it may not
// open the next medium at all), or a pipe or device (reading one may wait
// for ever).
QString notAMediumFile(const QFileInfo &file)
{
    if (file.isDir())
        return MpvEngine::tr("a folder, not a medium");
    if (file.exists() && !file.isFile())
        return MpvEngine::tr("a pipe or a device, not a medium file");
    return {};
}

// The same checks for a name met inside a play list, as setUrl() makes
// them for a name handed to it directly.
bool isNoMediumFile(const QString &name, QString *reason)
{
    const MediaSource source = MediaSource::classify(name, QString());
    if (source.kind != MediaSource::Kind::Local)
        return false;
    *reason = notAMediumFile(QFileInfo(source.location));
    return !reason->isEmpty();
}

// A name read from the disk as text has every byte that is not valid UTF-8
// replaced by U+FFFD, so such a path may lead to no file or to a different
// one whose name really holds U+FFFD. Returns the name of the first part of
// the path that cannot be told apart from a differently spelt neighbour.
QString lossyPart(const QString &path)
{
#ifdef Q_OS_UNIX
    if (!path.contains(QChar::ReplacementCharacter))
        return {};
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString folder = QStringLiteral("/");
    for (const QString &part : parts) {
        if (part.contains(QChar::ReplacementCharacter)) {
            const QByteArray faithful = QFile::encodeName(part);
            bool lossy = false;
            if (DIR *dir = opendir(QFile::encodeName(folder).constData())) {
                while (const dirent *entry = readdir(dir)) {
                    const QByteArray raw(entry->d_name);
                    if (raw != faithful && QFile::decodeName(raw) == part) {
                        lossy = true;
                        break;
                    }
                }
                closedir(dir);
            }
            if (lossy)
                return part;
        }
        folder = QDir(folder).filePath(part);
    }
#else
    Q_UNUSED(path);
#endif
    return {};
}

QString reasonFor(int mpvError)
{
    switch (mpvError) {
    case MPV_ERROR_UNKNOWN_FORMAT:
        return MpvEngine::tr("not a medium this player can read");
    case MPV_ERROR_LOADING_FAILED:
        return MpvEngine::tr("the medium could not be opened");
    case MPV_ERROR_NOTHING_TO_PLAY:
        return MpvEngine::tr("no sound or picture that can be played");
    case MPV_ERROR_AO_INIT_FAILED:
        return MpvEngine::tr("no sound output");
    case MPV_ERROR_VO_INIT_FAILED:
        return MpvEngine::tr("no video output");
    case MPV_ERROR_GENERIC:
        return MpvEngine::tr("the medium could not be played");
    default:
        return QString::fromUtf8(mpv_error_string(mpvError));
    }
}

bool flagValue(const mpv_event_property &property)
{
    return property.format == MPV_FORMAT_FLAG && property.data &&
           *static_cast<int *>(property.data);
}

std::optional<double> doubleValue(const mpv_event_property &property)
{
    if (property.format != MPV_FORMAT_DOUBLE || !property.data)
        return std::nullopt;
    return *static_cast<double *>(property.data);
}

} // namespace

MpvEngine::MpvEngine(const Options &options, QObject *parent)
    : MediaEngine(parent), m_options(options)
{
    // mpv refuses to start unless numbers are read and written with a '.',
    // and QApplication has set the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QString outputWarning;
    m_requestedOutput = requestedVideoOutput(options.videoOutput,
                                             qgetenv("CORVEL_VIDEO_OUTPUT"), &outputWarning);
    if (!outputWarning.isEmpty())
        qCWarning(corvelVideo, "%s", qPrintable(outputWarning));
    m_mpv = mpv_create();
    if (!m_mpv)
        throw std::runtime_error("The media engine (libmpv) could not be created.");

    const QByteArray volume = QByteArray::number(m_volume);
    const std::pair<const char *, const char *> settings[] = {
        // Video goes to the render context once the surface has made one.
        {"vo", "null"},
        {"gpu-hwdec-interop", "no"},
        // No sound card must not mean no playback.
        {"audio-fallback-to-null", "yes"},
        // A medium stays open at its end, so it can be rewound and played again.
        {"keep-open", "yes"},
        {"idle", "yes"},
        {"pause", "no"},
        {"volume", volume.constData()},
        {"mute", "no"},
        {"speed", "1"},
        {"hwdec", "no"},
        // The player reads no configuration and runs nothing of the user's.
        {"config", "no"},
        {"load-scripts", "no"},
        {"osc", "no"},
        {"ytdl", "no"},
        {"load-stats-overlay", "no"},
        {"load-osd-console", "no"},
        {"load-auto-profiles", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"terminal", "no"},
        {"resume-playback", "no"},
        {"save-position-on-quit", "no"},
        {"load-unsafe-playlists", "no"},
        {"audio-client-name", "Corvel Media Player"},
    };
    for (const auto &[name, value] : settings) {
        const int error = mpv_set_option_string(m_mpv, name, value);
        if (error < 0)
            qCWarning(corvelEngine, "mpv option %s=%s: %s", name, value, mpv_error_string(error));
    }
    if (!options.audio)
        mpv_set_option_string(m_mpv, "ao", "null");
    const int error = mpv_initialize(m_mpv);
    if (error < 0) {
        mpv_terminate_destroy(m_mpv);
        m_mpv = nullptr;
        throw std::runtime_error(std::string("The media engine (libmpv) could not start: ") +
                                 mpv_error_string(error));
    }
    mpv_observe_property(m_mpv, TimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(m_mpv, Duration, "duration", MPV_FORMAT_DOUBLE);
    mpv_observe_property(m_mpv, EofReached, "eof-reached", MPV_FORMAT_FLAG);
    mpv_observe_property(m_mpv, Paused, "pause", MPV_FORMAT_FLAG);
    mpv_observe_property(m_mpv, PlaylistCount, "playlist-count", MPV_FORMAT_INT64);
    // Checks what mpv is about to open, whoever asked for it.
    mpv_hook_add(m_mpv, 0, "on_load", 0);
    m_midi = std::make_unique<MpvMidiProtocol>(m_mpv);
    mpv_set_wakeup_callback(m_mpv, wakeUp, this);

    m_reverseTimer.setInterval(100);
    connect(&m_reverseTimer, &QTimer::timeout, this, &MpvEngine::reverseStep);
    m_lastStatus = status();
}

MpvEngine::~MpvEngine()
{
    m_reverseTimer.stop();
    delete m_probe.data();
    mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
    if (m_videoWidget)
        m_videoWidget->disconnect(this);
    // The render context has to go before the handle, wherever the surface
    // now lives.
    delete m_videoWidget.data();
    if (m_widget && !m_widget->parent())
        delete m_widget.data();
    mpv_terminate_destroy(m_mpv);
}

QWidget *MpvEngine::widget()
{
    if (m_widget)
        return m_widget;
    auto *box = new QWidget;
    box->setAutoFillBackground(true);
    QPalette black = box->palette();
    black.setColor(QPalette::Window, Qt::black);
    box->setPalette(black);

    QWidget *surface = nullptr;
    if (m_options.video && m_requestedOutput != VideoOutput::Auto) {
        surface = createVideoSurface(box, std::nullopt);
        m_videoWidget = surface;
    } else {
        // Black until the probe has chosen, or for good when video is off;
        // mpv keeps vo=null meanwhile, so playback never waits for it.
        surface = new QWidget(box);
        surface->setObjectName(QStringLiteral("videoSurface"));
        if (m_options.video) {
            m_videoPlaceholder = surface;
            m_probe = new OpenGlProbe(this);
            connect(m_probe, &OpenGlProbe::finished, this, &MpvEngine::placeVideoSurface);
            m_probeClock.start();
            m_probe->start();
        }
    }
    m_bar = new EngineControlBar(box);
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(surface, 1);
    column->addWidget(m_bar);

    connect(m_bar, &EngineControlBar::playPauseClicked, this, &MpvEngine::playPause);
    connect(m_bar, &EngineControlBar::stopClicked, this, &MpvEngine::stop);
    connect(m_bar, &EngineControlBar::seekRequested, this, &MpvEngine::seek);
    connect(m_bar, &EngineControlBar::volumeRequested, this, &MpvEngine::setVolume);
    m_bar->setVolume(m_volume);
    m_widget = box;
    refresh();
    return box;
}

void MpvEngine::setUrl(const QString &url)
{
    m_url = url;
    ++m_generation;
    setNormalSpeed();
    m_error.clear();
    m_skipped.clear();
    m_ended = false;
    m_duration.reset();
    m_position.reset();

    if (url.isEmpty()) {
        unload();
    } else {
        const MediaSource source = MediaSource::classify(url, QString());
        switch (source.kind) {
        case MediaSource::Kind::Refused:
            failOpening(tr("%1 was not opened: %2").arg(url, source.reason));
            break;
        case MediaSource::Kind::Network:
            openMedia({source.location});
            break;
        case MediaSource::Kind::Local:
            openLocal(source.location);
            break;
        }
    }
    refresh();
}

void MpvEngine::openLocal(const QString &path)
{
    // Always absolute: mpv reads "-x", "lavfi:x" or "edl://x" as something
    // else, never a name starting with "/".
    const QFileInfo file(path);
    const QString lossy = lossyPart(path);
    if (!lossy.isEmpty()) {
        failOpening(tr("the name \"%1\" holds bytes that are not valid text, so it cannot be "
                       "opened faithfully; rename it to play it")
                        .arg(lossy));
    } else if (!file.exists()) {
        failOpening(tr("%1 was not found").arg(file.fileName()));
    } else if (!notAMediumFile(file).isEmpty()) {
        failOpening(tr("%1 is %2").arg(file.fileName(), notAMediumFile(file)));
    } else if (isXmlPlayList(file.filePath())) {
        // mpv reads no XML play lists: hand it their entries as one list.
        const XmlPlayListResult list = readXmlPlayList(file.absoluteFilePath());
        m_skipped << list.skipped;
        QStringList entries;
        for (const QString &entry : list.entries) {
            const QString notMedium =
                entry.startsWith(u'/') ? notAMediumFile(QFileInfo(entry)) : QString();
            if (!notMedium.isEmpty())
                noteSkipped(entry, notMedium);
            else
                entries << entry;
        }
        if (!list.error.isEmpty())
            failOpening(tr("the play list %1 cannot be read: %2").arg(file.fileName(), list.error));
        else if (entries.isEmpty())
            failOpening(tr("the play list %1 holds no media").arg(file.fileName()));
        else
            openMedia(entries);
    } else {
        openMedia({file.absoluteFilePath()});
    }
}

void MpvEngine::noteSkipped(const QString &entry, const QString &reason)
{
    const QString note = QStringLiteral("%1: %2").arg(entry, reason);
    if (!m_skipped.contains(note))
        m_skipped << note;
}

void MpvEngine::onLoadHook(quint64 hookId)
{
    char *raw = mpv_get_property_string(m_mpv, "stream-open-filename");
    const QString name = raw ? QString::fromUtf8(raw) : QString();
    mpv_free(raw);
    QString reason;
    if (refusedSource(name, &reason) || isNoMediumFile(name, &reason)) {
        noteSkipped(name, reason);
        // Nothing can be opened under an empty name; the entry ends with
        // an error before any of it is read, and mpv goes on to the next.
        mpv_set_property_string(m_mpv, "stream-open-filename", "");
    } else {
        // MIDI music goes to mpv as the sound the synthesiser makes of it.
        QString midiError;
        const QString sound = m_midi->addressFor(name, m_options.soundFonts, &midiError);
        if (!midiError.isEmpty()) {
            m_midi->noteError(midiError);
            mpv_set_property_string(m_mpv, "stream-open-filename", "");
        } else if (!sound.isEmpty()) {
            // mpv lets entries of a play list open only files and network
            // streams; this address is the engine's own, made just now.
            mpv_set_property_string(m_mpv, "file-local-options/load-unsafe-playlists", "yes");
            mpv_set_property_string(m_mpv, "stream-open-filename", sound.toUtf8().constData());
        }
    }
    removeRefusedEntries();
    mpv_hook_continue(m_mpv, hookId);
}

void MpvEngine::removeRefusedEntries()
{
    // Taken out of mpv's list as soon as it has read a play list, so the
    // list ends where its last allowed entry ends.
    mpv_node list{};
    if (mpv_get_property(m_mpv, "playlist", MPV_FORMAT_NODE, &list) < 0)
        return;
    QList<int> refused;
    QStringList notes;
    if (list.format == MPV_FORMAT_NODE_ARRAY) {
        for (int i = 0; i < list.u.list->num; ++i) {
            const mpv_node &item = list.u.list->values[i];
            if (item.format != MPV_FORMAT_NODE_MAP)
                continue;
            for (int k = 0; k < item.u.list->num; ++k) {
                const mpv_node &value = item.u.list->values[k];
                QString reason;
                if (qstrcmp(item.u.list->keys[k], "filename") == 0 &&
                    value.format == MPV_FORMAT_STRING) {
                    const QString name = QString::fromUtf8(value.u.string);
                    if (refusedSource(name, &reason)) {
                        refused.prepend(i);
                        noteSkipped(name, reason);
                    }
                }
            }
        }
    }
    mpv_free_node_contents(&list);
    // From the end, so the positions still to remove stay valid.
    for (int index : refused)
        command({QStringLiteral("playlist-remove"), QString::number(index)});
}

void MpvEngine::openMedia(const QStringList &entries)
{
    m_intent = Intent::Play;
    m_eofReached = false;
    setPaused(false);

    const QByteArray first = entries.first().toUtf8();
    const char *args[] = {"loadfile", first.constData(), "replace", nullptr};
    mpv_node result{};
    const int error = mpv_command_ret(m_mpv, args, &result);
    if (error < 0) {
        failOpening(reasonFor(error));
        return;
    }
    qint64 entryId = 0;
    if (result.format == MPV_FORMAT_NODE_MAP) {
        for (int i = 0; i < result.u.list->num; ++i) {
            if (qstrcmp(result.u.list->keys[i], "playlist_entry_id") == 0 &&
                result.u.list->values[i].format == MPV_FORMAT_INT64)
                entryId = result.u.list->values[i].u.int64;
        }
    }
    mpv_free_node_contents(&result);

    m_firstEntryId = entryId;
    m_currentEntryId = -1;
    m_hasMedium = true;
    m_loading = true;
    for (qsizetype i = 1; i < entries.size(); ++i)
        command({QStringLiteral("loadfile"), entries[i], QStringLiteral("append")});
}

void MpvEngine::failOpening(const QString &reason)
{
    unload();
    m_error = reason;
}

void MpvEngine::unload()
{
    command({QStringLiteral("stop")});
    m_hasMedium = false;
    m_loading = false;
    m_intent = Intent::Stop;
    // Whatever mpv still reports about earlier entries no longer matters.
    m_firstEntryId = std::numeric_limits<qint64>::max();
}

void MpvEngine::play()
{
    if (!m_hasMedium)
        return;
    setNormalSpeed();
    if (m_ended) {
        m_ended = false;
        if (m_listLength > 1)
            restartList();
        else
            rewind();
    }
    m_intent = Intent::Play;
    setPaused(false);
    refresh();
}

void MpvEngine::pause()
{
    if (!m_hasMedium || m_ended)
        return;
    setNormalSpeed();
    // A stopped medium stays stopped.
    if (m_intent != Intent::Stop) {
        m_intent = Intent::Pause;
        setPaused(true);
    }
    refresh();
}

void MpvEngine::stop()
{
    if (!m_hasMedium)
        return;
    setNormalSpeed();
    m_intent = Intent::Stop;
    m_ended = false;
    setPaused(true);
    // A medium still opening is at its start anyway.
    if (!m_loading)
        rewind();
    refresh();
}

void MpvEngine::fastForward()
{
    if (!m_hasMedium || m_ended)
        return;
    setNormalSpeed();
    m_speed = Speed::FastForward;
    m_intent = Intent::Play;
    setDouble("speed", fastRate);
    setPaused(false);
    refresh();
}

void MpvEngine::fastReverse()
{
    if (!m_hasMedium)
        return;
    setNormalSpeed();
    m_reverseFrom = m_ended ? m_duration.value_or(0.0) : m_position.value_or(0.0);
    m_ended = false;
    m_speed = Speed::FastReverse;
    m_intent = Intent::Play;
    // Paused, each landed seek shows its frame; the clock sets the pace.
    setPaused(true);
    m_reverseClock.start();
    m_reverseTimer.start();
    reverseStep();
    refresh();
}

void MpvEngine::playPause()
{
    if (m_hasMedium && !m_ended && m_intent == Intent::Play && m_speed == Speed::Normal)
        pause();
    else
        play();
}

void MpvEngine::reverseStep()
{
    if (m_speed != Speed::FastReverse) {
        m_reverseTimer.stop();
        return;
    }
    // One seek at a time: exact seeks can take longer than a step, and
    // queueing them would only pile up work mpv then throws away. A seek
    // that never reports back must not end the run, though.
    const qint64 now = m_reverseClock.elapsed();
    if (m_loading || (m_reverseSeekPending && now - m_reverseSeekIssued < 2000))
        return;
    const double target = m_reverseFrom - fastRate * double(now) / 1000.0;
    if (target <= 0.0) {
        m_reverseTimer.stop();
        m_speed = Speed::Normal;
        m_intent = Intent::Stop;
        rewind();
        refresh();
        return;
    }
    m_reverseSeekPending = seekTo(target);
    m_reverseSeekIssued = now;
}

void MpvEngine::setNormalSpeed()
{
    m_reverseTimer.stop();
    m_reverseSeekPending = false;
    if (m_speed == Speed::FastForward)
        setDouble("speed", 1.0);
    m_speed = Speed::Normal;
}

void MpvEngine::rewind()
{
    seekTo(0.0);
}

void MpvEngine::restartList()
{
    m_eofReached = false;
    command({QStringLiteral("playlist-play-index"), QStringLiteral("0")});
}

void MpvEngine::seek(double seconds)
{
    if (!m_hasMedium || m_loading)
        return;
    if (m_speed == Speed::FastReverse) {
        m_reverseFrom = seconds;
        m_reverseClock.restart();
        m_reverseSeekPending = false;
        return;
    }
    if (m_ended) {
        // mpv paused itself at the end; going back leaves it paused there.
        m_ended = false;
        m_intent = Intent::Pause;
    }
    seekTo(seconds);
    m_position = seconds;
    refresh();
}

void MpvEngine::setVolume(int percent)
{
    const int before = m_volume;
    m_volume = qBound(0, percent, 100);
    setDouble("volume", m_volume);
    if (m_bar)
        m_bar->setVolume(m_volume);
    if (m_volume != before)
        emit volumeChanged(m_volume);
}

std::optional<double> MpvEngine::duration() const
{
    return m_hasMedium ? m_duration : std::nullopt;
}

std::optional<double> MpvEngine::position() const
{
    return m_hasMedium ? m_position : std::nullopt;
}

QString MpvEngine::status() const
{
    QString state = tr("Stopped");
    if (!m_error.isEmpty())
        state = tr("Error: %1").arg(m_error);
    else if (!m_hasMedium)
        state = tr("Ready");
    else if (m_loading)
        state = tr("Opening");
    else if (m_ended)
        state = tr("Media Ended");
    else if (m_speed == Speed::FastForward)
        state = tr("Fast Forward");
    else if (m_speed == Speed::FastReverse)
        state = tr("Fast Reverse");
    else if (m_intent == Intent::Play)
        state = tr("Playing");
    else if (m_intent == Intent::Pause)
        state = tr("Paused");
    if (m_skipped.isEmpty())
        return state;
    const QString skipped = m_skipped.size() == 1 ? tr("Skipped 1 entry: %1").arg(m_skipped.first())
                                                  : tr("Skipped %1 entries: %2")
                                                        .arg(m_skipped.size())
                                                        .arg(m_skipped.join(QLatin1String("; ")));
    return state + QLatin1String(" - ") + skipped;
}

MediaEngine::PlaybackState MpvEngine::playbackState() const
{
    if (!m_hasMedium || m_ended || !m_error.isEmpty() || m_intent == Intent::Stop)
        return PlaybackState::Stopped;
    return m_intent == Intent::Play ? PlaybackState::Playing : PlaybackState::Paused;
}

void MpvEngine::drainEvents()
{
    while (m_mpv) {
        const mpv_event *event = mpv_wait_event(m_mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handleEvent(*event);
    }
    refresh();
}

void MpvEngine::handleEvent(const mpv_event &event)
{
    switch (event.event_id) {
    case MPV_EVENT_START_FILE: {
        const auto *start = static_cast<const mpv_event_start_file *>(event.data);
        m_midi->takeError();
        if (start->playlist_entry_id < m_firstEntryId)
            return;
        m_currentEntryId = start->playlist_entry_id;
        m_hasMedium = true;
        m_loading = true;
        m_ended = false;
        m_eofReached = false;
        m_error.clear();
        m_duration.reset();
        m_position.reset();
        break;
    }
    case MPV_EVENT_FILE_LOADED:
        // Only once an entry of the current medium has started: a file that
        // was replaced may still report its loading.
        if (m_currentEntryId >= m_firstEntryId)
            m_loading = false;
        break;
    case MPV_EVENT_END_FILE: {
        const auto *end = static_cast<const mpv_event_end_file *>(event.data);
        if (end->playlist_entry_id < m_firstEntryId || end->reason != MPV_END_FILE_REASON_ERROR)
            return;
        // A later entry of a list may still start and clear this.
        m_error = m_midi->takeError();
        if (m_error.isEmpty())
            m_error = reasonFor(end->error);
        m_hasMedium = false;
        m_loading = false;
        break;
    }
    case MPV_EVENT_HOOK:
        onLoadHook(static_cast<const mpv_event_hook *>(event.data)->id);
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        m_reverseSeekPending = false;
        break;
    case MPV_EVENT_PROPERTY_CHANGE:
        onPropertyChange(event);
        break;
    case MPV_EVENT_SHUTDOWN:
        m_error = tr("the media engine has shut down");
        m_hasMedium = false;
        break;
    default:
        break;
    }
}

void MpvEngine::onPropertyChange(const mpv_event &event)
{
    const auto &property = *static_cast<const mpv_event_property *>(event.data);
    switch (event.reply_userdata) {
    case TimePos:
        m_position = doubleValue(property);
        // Paused right after a seek to the start, mpv can report a stereo
        // WAV (and so a MIDI song) a fraction of a second before it.
        if (m_position && *m_position < 0.0)
            m_position = 0.0;
        break;
    case Duration:
        m_duration = doubleValue(property);
        break;
    case PlaylistCount:
        if (property.format == MPV_FORMAT_INT64)
            m_listLength = int(*static_cast<int64_t *>(property.data));
        removeRefusedEntries();
        break;
    case EofReached:
        m_eofReached = flagValue(property);
        break;
    case Paused:
        m_mpvPaused = flagValue(property);
        break;
    default:
        break;
    }
    // mpv reports the end of the data while its sound output still plays
    // the last fraction of a second, and pauses itself only when that is
    // done: both together are the medium's true end.
    if (m_eofReached && m_mpvPaused)
        onNaturalEnd();
}

void MpvEngine::onNaturalEnd()
{
    // Reaching the start in fast reverse, or an end mpv reports after a
    // stop or a pause, is not the medium playing to its end.
    if (!m_hasMedium || m_loading || m_ended || m_speed == Speed::FastReverse ||
        m_intent != Intent::Play)
        return;
    setNormalSpeed();
    m_ended = true;
    if (m_duration)
        m_position = m_duration;
    // Raised from the event loop, so a handler that replaces the medium or
    // shows a dialog never runs inside this engine's event handling.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation && m_ended)
                emit endOfStream(mediaEnded);
        },
        Qt::QueuedConnection);
}

void MpvEngine::placeVideoSurface(const std::optional<QString> &renderer)
{
    m_probe->deleteLater();
    if (!m_widget || !m_videoPlaceholder)
        return;
    QWidget *surface = createVideoSurface(m_widget, renderer);
    delete m_widget->layout()->replaceWidget(m_videoPlaceholder, surface);
    delete m_videoPlaceholder.data();
    m_videoWidget = surface;
    // A child added to a window already on screen stays hidden until shown.
    surface->show();
    emit videoSurfaceReady();
}

QWidget *MpvEngine::createVideoSurface(QWidget *box, const std::optional<QString> &renderer)
{
    m_videoOutput = chooseVideoOutput(m_requestedOutput, renderer);
    QString choice = describeVideoOutputChoice(m_requestedOutput, renderer);
    if (m_requestedOutput == VideoOutput::Auto)
        choice += QStringLiteral(", decided in %1 ms").arg(m_probeClock.elapsed());
    qCInfo(corvelVideo, "%s", qPrintable(choice));

    // mpv may draw into a surface only while its render context lives.
    const auto attach = [this](auto *surface) -> QWidget * {
        using Surface = std::remove_pointer_t<decltype(surface)>;
        connect(surface, &Surface::renderContextCreated, this, [this] { setVideoOutput("libmpv"); });
        connect(surface, &Surface::renderContextAboutToBeFreed, this,
                [this] { setVideoOutput("null"); });
        return surface;
    };
    if (m_videoOutput == VideoOutput::OpenGL)
        return attach(new MpvVideoWidget(m_mpv, box));
    return attach(new MpvSoftwareVideoWidget(m_mpv, box));
}

MpvVideoSurface *MpvEngine::videoWidget() const
{
    return dynamic_cast<MpvVideoSurface *>(m_videoWidget.data());
}

std::optional<qint64> MpvEngine::droppedFrames() const
{
    int64_t dropped = 0;
    if (mpv_get_property(m_mpv, "frame-drop-count", MPV_FORMAT_INT64, &dropped) < 0)
        return std::nullopt;
    return dropped;
}

void MpvEngine::setVideoOutput(const char *name)
{
    // mpv rebuilds the video output of a medium playing at once.
    const int error = mpv_set_property_string(m_mpv, "vo", name);
    if (error < 0)
        qCWarning(corvelVideo, "mpv could not switch its video output to %s: %s", name,
                  mpv_error_string(error));
}

void MpvEngine::refresh()
{
    if (m_bar) {
        m_bar->setDuration(duration());
        m_bar->setPosition(position());
        m_bar->setPlaying(m_hasMedium && !m_ended && m_intent == Intent::Play);
    }
    const QString now = status();
    if (now != m_lastStatus) {
        m_lastStatus = now;
        emit statusChanged(now);
    }
    if (duration() != m_lastDuration) {
        m_lastDuration = duration();
        emit durationChanged(m_lastDuration);
    }
    if (position() != m_lastPosition) {
        m_lastPosition = position();
        emit positionChanged(m_lastPosition);
    }
    if (playbackState() != m_lastState) {
        m_lastState = playbackState();
        emit playbackStateChanged(m_lastState);
    }
}

int MpvEngine::command(const QStringList &args)
{
    QList<QByteArray> bytes;
    std::vector<const char *> argv;
    for (const QString &arg : args)
        bytes << arg.toUtf8();
    for (const QByteArray &arg : bytes)
        argv.push_back(arg.constData());
    argv.push_back(nullptr);
    return mpv_command(m_mpv, argv.data());
}

void MpvEngine::setPaused(bool paused)
{
    // Until mpv confirms, what it last told us no longer holds.
    m_mpvPaused = paused;
    setFlag("pause", paused);
}

bool MpvEngine::seekTo(double seconds)
{
    m_eofReached = false;
    return command({QStringLiteral("seek"), QString::number(seconds, 'f', 3),
                    QStringLiteral("absolute+exact")}) >= 0;
}

void MpvEngine::setFlag(const char *name, bool value)
{
    int flag = value ? 1 : 0;
    mpv_set_property(m_mpv, name, MPV_FORMAT_FLAG, &flag);
}

void MpvEngine::setDouble(const char *name, double value)
{
    mpv_set_property(m_mpv, name, MPV_FORMAT_DOUBLE, &value);
}
