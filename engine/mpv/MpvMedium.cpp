#include "engine/mpv/MpvMedium.h"

#include "engine/midi/MpvMidiProtocol.h"
#include "engine/mpv/MpvClient.h"

#include <utility>

namespace {

QString reasonFor(int mpvError)
{
    switch (mpvError) {
    case MPV_ERROR_UNKNOWN_FORMAT:
        return MpvMedium::tr("not a medium this player can read");
    case MPV_ERROR_LOADING_FAILED:
        return MpvMedium::tr("the medium could not be opened");
    case MPV_ERROR_NOTHING_TO_PLAY:
        return MpvMedium::tr("no sound or picture that can be played");
    case MPV_ERROR_AO_INIT_FAILED:
        return MpvMedium::tr("no sound output");
    case MPV_ERROR_VO_INIT_FAILED:
        return MpvMedium::tr("no video output");
    case MPV_ERROR_GENERIC:
        return MpvMedium::tr("the medium could not be played");
    default:
        return QString::fromUtf8(mpv_error_string(mpvError));
    }
}

} // namespace

MpvMedium::MpvMedium(MpvClient &client, MpvMidiProtocol &midi, Listener listener)
    : m_client(client), m_midi(midi), m_listener(std::move(listener)),
      m_entries([this](const MpvEntryFilter::Event &event) { onEntry(event); }),
      m_watch(client, [this](const QString &why) {
          fail(why);
          m_listener.changed();
      })
{
    observe();
}

void MpvMedium::observe()
{
    m_client.observeDouble("time-pos", [this](std::optional<double> seconds) {
        // Paused right after a seek to the start, mpv can report a stereo
        // WAV (and so a MIDI song) a fraction of a second before it.
        m_position = seconds ? std::optional(qMax(*seconds, 0.0)) : std::nullopt;
        checkEnd();
    });
    m_client.observeDouble("duration", [this](std::optional<double> seconds) {
        m_duration = seconds;
        checkEnd();
    });
    m_client.observeFlag("eof-reached", [this](bool reached) {
        m_eofReached = reached;
        checkEnd();
    });
    m_client.observeFlag("pause", [this](bool paused) {
        m_paused = paused;
        checkEnd();
    });
}

void MpvMedium::open(const QStringList &entries, quint64 request)
{
    m_present = true;
    m_opening = true;
    m_eofReached = false;
    m_entries.opening(request);
    m_client.send(
        {QStringLiteral("loadfile"), entries.first(), QStringLiteral("replace")},
        [this, request](int error, const mpv_node *result) { onOpened(request, error, result); });
    // Only now: a medium that has ended pauses itself again when told to
    // play on at its end, and the new one would start paused.
    setPaused(false);
    for (qsizetype i = 1; i < entries.size(); ++i)
        m_client.send({QStringLiteral("loadfile"), entries[i], QStringLiteral("append")});
}

void MpvMedium::onOpened(quint64 request, int error, const mpv_node *result)
{
    // A later medium, or none, has taken over since.
    if (!m_entries.isOpening(request))
        return;
    if (error < 0) {
        fail(reasonFor(error));
    } else {
        const mpv_node *id = result ? MpvClient::mapValue(*result, "playlist_entry_id") : nullptr;
        m_entries.opened(id && id->format == MPV_FORMAT_INT64 ? id->u.int64 : 0);
    }
    m_listener.changed();
}

void MpvMedium::close()
{
    m_client.send({QStringLiteral("stop")});
    m_present = false;
    m_opening = false;
    m_entries.clear();
    m_watch.stop();
}

void MpvMedium::fail(const QString &reason)
{
    close();
    setFailure(reason);
}

void MpvMedium::forget()
{
    m_failure.clear();
    m_duration.reset();
    m_position.reset();
}

void MpvMedium::seekTo(double seconds)
{
    m_eofReached = false;
    // Only a refused seek answers with anything worth knowing: it never lands.
    m_client.send({QStringLiteral("seek"), QString::number(seconds, 'f', 3),
                   QStringLiteral("absolute+exact")},
                  [this](int error, const mpv_node *) {
                      if (error < 0)
                          m_listener.seekDone();
                  });
}

void MpvMedium::jumpTo(double seconds)
{
    seekTo(seconds);
    m_position = seconds;
}

void MpvMedium::restart(bool wholeList)
{
    if (!wholeList) {
        seekTo(0.0);
        return;
    }
    m_eofReached = false;
    m_client.send({QStringLiteral("playlist-play-index"), QStringLiteral("0")});
}

void MpvMedium::setPaused(bool paused)
{
    // Until mpv confirms, what it last told us no longer holds.
    m_paused = paused;
    m_client.sendFlag("pause", paused);
}

void MpvMedium::moveToEnd()
{
    if (m_duration)
        m_position = m_duration;
}

void MpvMedium::onEvent(const mpv_event &event)
{
    using Kind = MpvEntryFilter::Event::Kind;
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        // A MIDI error noted before this entry belongs to one that is over.
        m_midi.takeError();
        m_entries.report({Kind::Started,
                          static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id,
                          {}});
        break;
    case MPV_EVENT_FILE_LOADED:
        m_entries.report({Kind::Loaded, 0, {}});
        break;
    case MPV_EVENT_END_FILE: {
        const auto *end = static_cast<const mpv_event_end_file *>(event.data);
        if (end->reason != MPV_END_FILE_REASON_ERROR)
            break;
        QString reason = m_midi.takeError();
        if (reason.isEmpty())
            reason = reasonFor(end->error);
        m_entries.report({Kind::Failed, end->playlist_entry_id, reason});
        break;
    }
    case MPV_EVENT_PLAYBACK_RESTART:
        m_listener.seekDone();
        break;
    case MPV_EVENT_SHUTDOWN:
        m_present = false;
        setFailure(tr("the media engine has shut down"));
        break;
    default:
        break;
    }
}

void MpvMedium::onEntry(const MpvEntryFilter::Event &event)
{
    switch (event.kind) {
    case MpvEntryFilter::Event::Kind::Started:
        m_present = true;
        m_opening = true;
        m_eofReached = false;
        forget();
        m_watch.start();
        break;
    case MpvEntryFilter::Event::Kind::Loaded:
        m_opening = false;
        m_watch.stop();
        break;
    case MpvEntryFilter::Event::Kind::Failed:
        // A later entry of a list may still start and clear this.
        m_present = false;
        m_opening = false;
        m_watch.stop();
        setFailure(event.reason);
        break;
    }
}

void MpvMedium::setFailure(const QString &reason)
{
    m_failure = reason;
    m_listener.failed(reason);
}

void MpvMedium::checkEnd()
{
    // mpv reports the end of the data while its sound output still plays
    // the last fraction of a second, and pauses itself only when that is
    // done: both together are the medium's true end.
    if (m_eofReached && m_paused)
        m_listener.atEnd();
}
