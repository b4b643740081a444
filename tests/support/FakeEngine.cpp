#include "support/FakeEngine.h"

FakeEngine::FakeEngine() = default;
FakeEngine::~FakeEngine() = default;

QWidget *FakeEngine::widget()
{
    if (!m_widget) {
        // A plain widget: the window may take it over as its child.
        m_ownedWidget = std::make_unique<QWidget>();
        m_widget = m_ownedWidget.release();
    }
    return m_widget;
}

void FakeEngine::setUrl(const QString &url)
{
    m_url = url;
    calls << QStringLiteral("url=") + url;
    announceProblem({});
    setTracks({});
    setState(url.isEmpty() ? PlaybackState::Stopped : PlaybackState::Playing);
}

void FakeEngine::play()
{
    calls << QStringLiteral("play");
    if (!m_url.isEmpty())
        setState(PlaybackState::Playing);
}

void FakeEngine::pause()
{
    calls << QStringLiteral("pause");
    if (m_state == PlaybackState::Playing)
        setState(PlaybackState::Paused);
}

void FakeEngine::stop()
{
    calls << QStringLiteral("stop");
    setState(PlaybackState::Stopped);
    if (!m_url.isEmpty())
        emit stopped();
}

void FakeEngine::fastForward()
{
    calls << QStringLiteral("fastForward");
    if (!m_url.isEmpty())
        setState(PlaybackState::Playing);
}

void FakeEngine::fastReverse()
{
    calls << QStringLiteral("fastReverse");
    if (!m_url.isEmpty())
        setState(PlaybackState::Playing);
}

void FakeEngine::playPause()
{
    calls << QStringLiteral("playPause");
    if (m_state == PlaybackState::Playing)
        setState(PlaybackState::Paused);
    else if (!m_url.isEmpty())
        setState(PlaybackState::Playing);
}

void FakeEngine::seek(double seconds)
{
    calls << QStringLiteral("seek=%1").arg(seconds);
    if (m_url.isEmpty())
        return;
    scriptedPosition = seconds;
    emit positionChanged(seconds);
    emit seeked(seconds);
}

void FakeEngine::seekBy(double seconds)
{
    calls << QStringLiteral("seekBy=%1").arg(seconds);
    if (m_url.isEmpty() || !scriptedPosition)
        return;
    double target = qMax(0.0, *scriptedPosition + seconds);
    if (scriptedDuration)
        target = qMin(target, *scriptedDuration);
    scriptedPosition = target;
    emit positionChanged(target);
    emit seeked(target);
}

void FakeEngine::announceDuration(std::optional<double> seconds)
{
    scriptedDuration = seconds;
    emit durationChanged(seconds);
}

void FakeEngine::announcePosition(std::optional<double> seconds)
{
    scriptedPosition = seconds;
    emit positionChanged(seconds);
}

void FakeEngine::fail(const QString &reason)
{
    scriptedStatus = QStringLiteral("Error: ") + reason;
    setState(PlaybackState::Stopped);
    emit statusChanged(scriptedStatus);
    announceProblem(scriptedStatus);
    emit failed(reason);
}

void FakeEngine::announceProblem(const QString &text)
{
    if (text == m_problem)
        return;
    m_problem = text;
    emit problemChanged(text);
}

void FakeEngine::announceTracks(const QList<MediaTrack> &tracks)
{
    setTracks(tracks);
}

void FakeEngine::setTracks(const QList<MediaTrack> &tracks)
{
    if (tracks == m_tracks)
        return;
    m_tracks = tracks;
    emit tracksChanged();
}

void FakeEngine::selectTrack(MediaTrack::Type type, int id)
{
    const bool audio = type == MediaTrack::Type::Audio;
    calls << QStringLiteral("%1=%2").arg(audio ? "audio" : "subtitle").arg(id);
    QList<MediaTrack> now = m_tracks;
    bool known = id == 0 && !audio;
    for (const MediaTrack &track : now)
        known = known || (track.type == type && track.id == id);
    if (!known)
        return;
    for (MediaTrack &track : now)
        if (track.type == type)
            track.selected = track.id == id;
    setTracks(now);
}

void FakeEngine::addSubtitleFile(const QString &path)
{
    calls << QStringLiteral("subtitleFile=") + path;
    if (m_url.isEmpty())
        return;
    QList<MediaTrack> now = m_tracks;
    int id = 1;
    for (MediaTrack &track : now) {
        if (track.type != MediaTrack::Type::Subtitle)
            continue;
        id = qMax(id, track.id + 1);
        track.selected = false;
    }
    MediaTrack added;
    added.type = MediaTrack::Type::Subtitle;
    added.id = id;
    added.title = path.section(u'/', -1);
    added.selected = true;
    added.external = true;
    now << added;
    setTracks(now);
}

void FakeEngine::setFullScreen(bool on)
{
    calls << QStringLiteral("fullScreen=%1").arg(on ? 1 : 0);
    if (on == m_fullScreen)
        return;
    m_fullScreen = on;
    emit fullScreenChanged(on);
}

void FakeEngine::setVolume(int percent)
{
    const bool changed = percent != m_volume;
    m_volume = percent;
    calls << QStringLiteral("volume=%1").arg(percent);
    if (changed)
        emit volumeChanged(percent);
}

void FakeEngine::raiseEndOfStream()
{
    setState(PlaybackState::Stopped);
    emit endOfStream();
}

void FakeEngine::setState(PlaybackState state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit playbackStateChanged(state);
    emit statusChanged(scriptedStatus);
}

std::optional<double> FakeEngine::duration() const
{
    const_cast<FakeEngine *>(this)->calls << QStringLiteral("duration");
    return scriptedDuration;
}

QString FakeEngine::status() const
{
    const_cast<FakeEngine *>(this)->calls << QStringLiteral("status");
    return scriptedStatus;
}

QStringList FakeEngine::commands() const
{
    QStringList result;
    for (const QString &call : calls)
        if (call != QLatin1String("duration") && call != QLatin1String("status"))
            result << call;
    return result;
}
