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
}

void FakeEngine::announceDuration(std::optional<double> seconds)
{
    scriptedDuration = seconds;
    emit durationChanged(seconds);
}

void FakeEngine::fail(const QString &reason)
{
    scriptedStatus = QStringLiteral("Error: ") + reason;
    setState(PlaybackState::Stopped);
    emit statusChanged(scriptedStatus);
    emit failed(reason);
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
    emit endOfStream(8);
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
