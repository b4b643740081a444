#include "engine/mpv/MpvEngine.h"

#include "core/ShortText.h"
#include "engine/EngineLog.h"
#include "engine/EngineView.h"
#include "engine/midi/MpvMidiProtocol.h"
#include "engine/mpv/MpvClient.h"
#include "engine/mpv/MpvMedium.h"
#include "engine/mpv/MpvSettings.h"
#include "engine/mpv/MpvSourceGuard.h"
#include "engine/mpv/MpvSpeed.h"
#include "engine/mpv/MpvTracks.h"
#include "engine/mpv/MpvVideoOutput.h"

#include <clocale>

std::unique_ptr<MpvEngine> MpvEngine::create(const Options &options, QString *error)
{
    // mpv refuses to start unless numbers are read and written with a '.',
    // and QApplication has set the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QString reason;
    std::unique_ptr<MpvClient> client = MpvClient::create(playerSettings(options.audio), &reason);
    if (!client) {
        if (error)
            *error = reason;
        return {};
    }
    return std::unique_ptr<MpvEngine>(new MpvEngine(options, std::move(client)));
}

MpvEngine::MpvEngine(const Options &options, std::unique_ptr<MpvClient> client)
    : m_client(std::move(client))
{
    QString outputWarning;
    const VideoOutput requested =
        requestedVideoOutput(options.videoOutput, qgetenv("CORVEL_VIDEO_OUTPUT"), &outputWarning);
    if (!outputWarning.isEmpty())
        qCWarning(corvelVideo, "%s", qPrintable(outputWarning));
    m_midi = std::make_unique<MpvMidiProtocol>(m_client->handle());
    m_guard = std::make_unique<MpvSourceGuard>(*m_client, *m_midi, options.soundFonts);
    MpvMedium::Listener listener;
    listener.atEnd = [this] { onNaturalEnd(); };
    listener.failed = [this](const QString &reason) {
        announce([this, reason] { emit failed(reason); });
    };
    listener.seekDone = [this] { m_speed->seekDone(); };
    listener.changed = [this] { refresh(); };
    m_medium = std::make_unique<MpvMedium>(*m_client, *m_midi, listener);
    m_speed = std::make_unique<MpvSpeed>(*m_client, *m_medium, [this] {
        m_intent = Intent::Stop;
        m_medium->seekTo(0.0);
        refresh();
    });
    m_tracks = std::make_unique<MpvTracks>(*m_client, [this] {
        emit tracksChanged();
        refresh();
    });
    m_guard->setBesideSubtitles(
        [this](const std::vector<MpvSubtitleFile> &files) { m_tracks->addBeside(files); });
    if (options.video)
        m_video = std::make_unique<MpvVideoOutput>(*m_client, requested);
    m_client->setEventHandler([this](const mpv_event &event) {
        m_guard->onEvent(event);
        m_medium->onEvent(event);
    });
    connect(m_client.get(), &MpvClient::drained, this, &MpvEngine::refresh);
    m_changes.emplace(*this);
}

MpvEngine::~MpvEngine()
{
    // The render context has to go before the handle.
    m_video.reset();
    if (m_view && !m_view->parent())
        delete m_view.data();
}

QWidget *MpvEngine::widget()
{
    if (!m_view) {
        m_view = new EngineView(*this);
        if (m_video)
            m_video->attachTo(*m_view);
    }
    return m_view;
}

void MpvEngine::setUrl(const QString &url)
{
    m_url = url;
    ++m_generation;
    m_speed->setNormal();
    m_guard->startMedium();
    m_medium->forget();
    m_tracks->forget();
    m_ended = false;
    m_listFromStart = false;
    m_givenUp = false;
    // A new medium starts with nothing to tell, even if it fails the way
    // the one before did: its message is new.
    m_changes->clearProblem();

    const MpvSourceGuard::Plan plan = url.isEmpty() ? MpvSourceGuard::Plan() : m_guard->plan(url);
    m_intent = plan.entries.isEmpty() ? Intent::Stop : Intent::Play;
    if (!plan.entries.isEmpty())
        m_medium->open(plan.entries, m_generation);
    else if (!plan.error.isEmpty())
        m_medium->fail(plan.error);
    else
        m_medium->close();
    refresh();
}

void MpvEngine::play()
{
    if (m_givenUp) {
        setUrl(m_url);
        return;
    }
    if (!m_medium->present())
        return;
    m_speed->setNormal();
    if (m_ended || m_listFromStart) {
        m_medium->restart(m_listFromStart || m_guard->listLength() > 1);
        m_ended = false;
        m_listFromStart = false;
    }
    m_intent = Intent::Play;
    m_medium->setPaused(false);
    refresh();
}

void MpvEngine::pause()
{
    if (!m_medium->present() || m_ended)
        return;
    m_speed->setNormal();
    // A stopped medium stays stopped.
    if (m_intent != Intent::Stop) {
        m_intent = Intent::Pause;
        m_medium->setPaused(true);
    }
    refresh();
}

void MpvEngine::stop()
{
    if (!m_medium->present())
        return;
    m_speed->setNormal();
    m_intent = Intent::Stop;
    if (m_medium->opening()) {
        // What may never finish opening (a file made a pipe after it was
        // looked at) is given up, so Stop always acts; Play opens it again.
        m_guard->startMedium();
        m_medium->close();
        m_givenUp = true;
        refresh();
        return;
    }
    // A list stopped after its end (as the window's end-of-stream steps do)
    // plays again from its first entry, not from the start of its last.
    m_listFromStart = m_listFromStart || (m_ended && m_guard->listLength() > 1);
    m_ended = false;
    m_medium->setPaused(true);
    // A medium still opening is at its start anyway.
    if (!m_medium->opening())
        m_medium->seekTo(0.0);
    refresh();
    emit stopped();
}

void MpvEngine::fastForward()
{
    if (!m_medium->present() || m_ended)
        return;
    m_speed->setFastForward();
    m_intent = Intent::Play;
    m_listFromStart = false;
    m_medium->setPaused(false);
    refresh();
}

void MpvEngine::fastReverse()
{
    if (!m_medium->present())
        return;
    const double from = (m_ended ? m_medium->duration() : m_medium->position()).value_or(0.0);
    m_ended = false;
    m_listFromStart = false;
    m_intent = Intent::Play;
    m_speed->setFastReverse(from);
    refresh();
}

void MpvEngine::playPause()
{
    if (m_medium->present() && !m_ended && m_intent == Intent::Play &&
        m_speed->mode() == MpvSpeed::Mode::Normal)
        pause();
    else
        play();
}

void MpvEngine::seek(double seconds)
{
    if (!m_medium->present() || m_medium->opening())
        return;
    if (m_speed->mode() == MpvSpeed::Mode::FastReverse) {
        m_speed->moveReverse(seconds);
        emit seeked(seconds);
        return;
    }
    m_listFromStart = false;
    if (m_ended) {
        // mpv paused itself at the end; going back leaves it paused there.
        m_ended = false;
        m_intent = Intent::Pause;
    }
    m_medium->jumpTo(seconds);
    refresh();
    emit seeked(seconds);
}

void MpvEngine::seekBy(double seconds)
{
    if (!m_medium->present() || m_medium->opening())
        return;
    // From the end, going back starts where the user sees the medium: at
    // its end, not at the last frame mpv reported.
    const std::optional<double> from = m_ended ? m_medium->duration() : m_medium->position();
    if (!from)
        return;
    double target = qMax(0.0, *from + seconds);
    if (const std::optional<double> length = m_medium->duration())
        target = qMin(target, *length);
    if (m_ended && target >= *from)
        return;
    seek(target);
}

void MpvEngine::setVolume(int percent)
{
    const int before = m_volume;
    m_volume = qBound(0, percent, 100);
    m_client->sendDouble("volume", m_volume);
    if (m_volume != before)
        emit volumeChanged(m_volume);
}

std::optional<double> MpvEngine::duration() const
{
    return m_medium->duration();
}

std::optional<double> MpvEngine::position() const
{
    return m_medium->position();
}

QString MpvEngine::status() const
{
    QString state = tr("Stopped");
    if (!m_medium->failure().isEmpty())
        state = tr("Error: %1").arg(m_medium->failure());
    else if (!m_medium->present())
        state = m_givenUp ? tr("Stopped") : tr("Ready");
    else if (m_medium->opening())
        state = tr("Opening");
    else if (m_ended)
        state = tr("Media Ended");
    else if (m_speed->mode() == MpvSpeed::Mode::FastForward)
        state = tr("Fast Forward");
    else if (m_speed->mode() == MpvSpeed::Mode::FastReverse)
        state = tr("Fast Reverse");
    else if (m_intent == Intent::Play)
        state = tr("Playing");
    else if (m_intent == Intent::Pause)
        state = tr("Paused");
    const QString skipped = m_guard->skippedText();
    return ShortText::lines(skipped.isEmpty() ? state : state + QLatin1String(" - ") + skipped);
}

QString MpvEngine::problem() const
{
    QStringList lines;
    if (!m_medium->failure().isEmpty())
        lines << tr("Error: %1").arg(m_medium->failure());
    lines << m_guard->skippedText() << m_guard->besideText() << m_tracks->problem();
    lines.removeAll(QString());
    return ShortText::lines(lines.join(u'\n'));
}

QList<MediaTrack> MpvEngine::tracks() const
{
    return m_medium->present() ? m_tracks->tracks() : QList<MediaTrack>();
}

void MpvEngine::selectTrack(MediaTrack::Type type, int id)
{
    if (m_medium->present())
        m_tracks->select(type, id);
}

void MpvEngine::addSubtitleFile(const QString &path)
{
    if (m_medium->present())
        m_tracks->addSubtitleFile(path);
}

void MpvEngine::setFullScreen(bool on)
{
    if (on == m_fullScreen)
        return;
    // The area follows the setting; it has to exist to fill the screen.
    widget();
    m_fullScreen = on;
    emit fullScreenChanged(on);
}

MediaEngine::PlaybackState MpvEngine::playbackState() const
{
    // A medium still opening plays nothing yet, and may never.
    if (!m_medium->present() || m_medium->opening() || m_ended || !m_medium->failure().isEmpty() ||
        m_intent == Intent::Stop)
        return PlaybackState::Stopped;
    return m_intent == Intent::Play ? PlaybackState::Playing : PlaybackState::Paused;
}

void MpvEngine::onNaturalEnd()
{
    // Reaching the start in fast reverse, or an end mpv reports after a
    // stop or a pause, is not the medium playing to its end.
    if (!m_medium->present() || m_medium->opening() || m_ended ||
        m_speed->mode() == MpvSpeed::Mode::FastReverse || m_intent != Intent::Play)
        return;
    m_speed->setNormal();
    m_ended = true;
    m_medium->moveToEnd();
    if (m_video)
        m_video->logDroppedFrames();
    announce([this] {
        if (m_ended)
            emit endOfStream();
    });
}

// Raised from the event loop, so a handler that replaces the medium or shows
// a dialog never runs inside this engine's own work, and not at all once the
// medium has been replaced.
void MpvEngine::announce(std::function<void()> announcement)
{
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, announcement = std::move(announcement)] {
            if (generation == m_generation)
                announcement();
        },
        Qt::QueuedConnection);
}

void MpvEngine::refresh()
{
    m_tracks->setLoaded(m_medium->present() && !m_medium->opening());
    if (m_changes)
        m_changes->announce();
}
