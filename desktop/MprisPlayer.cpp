#include "desktop/MprisPlayer.h"

#include "commands/PlayListSteps.h"
#include "core/MediaSource.h"
#include "desktop/MediaOpener.h"
#include "engine/MediaEngine.h"
#include "widgets/PlayListBox.h"

#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cmath>

const QString MprisPlayer::objectPath = QStringLiteral("/org/mpris/MediaPlayer2");

namespace {

const QString interfaceName = QStringLiteral("org.mpris.MediaPlayer2.Player");
// How far the position may stray from where playback would have taken it
// before it counts as a jump, and how close to a target a seek has landed.
constexpr double jumpTolerance = 1.0;
constexpr double landingTolerance = 0.25;

} // namespace

MprisPlayer::MprisPlayer(const MediaEngine &engine, const PlayListBox &playList,
                         const QDBusConnection &bus, QObject *exported)
    : QDBusAbstractAdaptor(exported), m_engine(engine), m_playList(playList), m_bus(bus)
{
    m_check.setSingleShot(true);
    m_check.setInterval(0);
    connect(&m_check, &QTimer::timeout, this, &MprisPlayer::sendChanges);

    connect(&engine, &MediaEngine::statusChanged, this, &MprisPlayer::scheduleCheck);
    connect(&engine, &MediaEngine::playbackStateChanged, this, &MprisPlayer::scheduleCheck);
    connect(&engine, &MediaEngine::durationChanged, this, &MprisPlayer::scheduleCheck);
    connect(&engine, &MediaEngine::volumeChanged, this, &MprisPlayer::scheduleCheck);
    connect(&engine, &MediaEngine::positionChanged, this, &MprisPlayer::followPosition);
    const QAbstractItemModel *entries = playList.model();
    connect(entries, &QAbstractItemModel::rowsInserted, this, &MprisPlayer::scheduleCheck);
    connect(entries, &QAbstractItemModel::rowsRemoved, this, &MprisPlayer::scheduleCheck);
    connect(entries, &QAbstractItemModel::modelReset, this, &MprisPlayer::scheduleCheck);
    connect(&playList, &QListWidget::itemSelectionChanged, this, &MprisPlayer::scheduleCheck);
    m_sent = signalledProperties();
}

QString MprisPlayer::playbackStatus() const
{
    switch (m_engine.playbackState()) {
    case MediaEngine::PlaybackState::Playing:
        return QStringLiteral("Playing");
    case MediaEngine::PlaybackState::Paused:
        return QStringLiteral("Paused");
    case MediaEngine::PlaybackState::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap MprisPlayer::metadata() const
{
    const QString url = m_engine.url();
    QVariantMap data;
    if (url.isEmpty()) {
        data.insert(QStringLiteral("mpris:trackid"),
                    QVariant::fromValue(QDBusObjectPath(
                        QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
        return data;
    }
    if (url != m_trackUrl) {
        m_trackUrl = url;
        ++m_trackNumber;
    }
    data.insert(QStringLiteral("mpris:trackid"),
                QVariant::fromValue(QDBusObjectPath(
                    QStringLiteral("/org/corvel/MediaPlayer/Track/%1").arg(m_trackNumber))));

    const MediaSource source = MediaSource::classify(url, QDir::currentPath());
    QString title = url;
    QString address = url;
    if (source.kind == MediaSource::Kind::Local) {
        title = QFileInfo(source.location).fileName();
        address = QUrl::fromLocalFile(source.location).toString(QUrl::FullyEncoded);
    } else if (source.kind == MediaSource::Kind::Network) {
        const QString name = QUrl(url).fileName();
        if (!name.isEmpty())
            title = name;
    }
    data.insert(QStringLiteral("xesam:title"), title);
    data.insert(QStringLiteral("xesam:url"), address);
    if (const std::optional<double> length = m_engine.duration(); length && *length > 0)
        data.insert(QStringLiteral("mpris:length"), qlonglong(std::llround(*length * 1e6)));
    return data;
}

double MprisPlayer::volume() const
{
    return m_engine.volume() / 100.0;
}

void MprisPlayer::setVolume(double volume)
{
    if (!std::isfinite(volume))
        return;
    emit volumeRequested(int(std::lround(qBound(0.0, volume, 1.0) * 100)));
}

qlonglong MprisPlayer::position() const
{
    return qlonglong(std::llround(m_engine.position().value_or(0.0) * 1e6));
}

bool MprisPlayer::canGoNext() const
{
    return PlayListSteps(m_playList).next() >= 0;
}

bool MprisPlayer::canGoPrevious() const
{
    return PlayListSteps(m_playList).hasPrevious();
}

bool MprisPlayer::canPlay() const
{
    return !m_engine.url().isEmpty();
}

void MprisPlayer::Next()
{
    emit nextRequested();
}

void MprisPlayer::Previous()
{
    emit previousRequested();
}

void MprisPlayer::Pause()
{
    emit pauseRequested();
}

void MprisPlayer::PlayPause()
{
    if (m_engine.playbackState() == MediaEngine::PlaybackState::Playing)
        emit pauseRequested();
    else
        emit playRequested();
}

void MprisPlayer::Stop()
{
    emit stopRequested();
}

void MprisPlayer::Play()
{
    emit playRequested();
}

bool MprisPlayer::canSeek() const
{
    const std::optional<double> length = m_engine.duration();
    return !m_engine.url().isEmpty() && length && *length > 0;
}

void MprisPlayer::Seek(qlonglong offset)
{
    if (!canSeek())
        return;
    const double target = m_engine.position().value_or(0.0) + double(offset) / 1e6;
    if (target > *m_engine.duration())
        emit nextRequested();
    else
        requestSeek(std::max(target, 0.0));
}

void MprisPlayer::SetPosition(const QDBusObjectPath &trackId, qlonglong position)
{
    if (!canSeek() || position < 0)
        return;
    const QString current =
        metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
    const double target = double(position) / 1e6;
    if (trackId.path() != current || target > *m_engine.duration())
        return;
    requestSeek(target);
}

void MprisPlayer::requestSeek(double seconds)
{
    m_seekTarget = seconds;
    m_seekUrl = m_engine.url();
    emit seekRequested(seconds);
}

void MprisPlayer::followPosition(std::optional<double> seconds)
{
    const QString url = m_engine.url();
    // A new medium starts where it starts; that is no jump.
    const bool sameMedium = seconds && m_lastPosition && url == m_positionUrl;
    bool jumped = false;
    if (seconds && m_seekTarget && m_seekUrl == url &&
        std::abs(*seconds - *m_seekTarget) <= landingTolerance) {
        jumped = true;
        m_seekTarget.reset();
    } else if (sameMedium) {
        const bool playing = m_engine.playbackState() == MediaEngine::PlaybackState::Playing;
        const double expected =
            *m_lastPosition + (playing ? double(m_sincePosition.elapsed()) / 1000.0 : 0.0);
        jumped = std::abs(*seconds - expected) > jumpTolerance;
    }
    m_positionUrl = url;
    m_lastPosition = seconds;
    m_sincePosition.start();
    if (jumped)
        emit Seeked(qlonglong(std::llround(*seconds * 1e6)));
}

void MprisPlayer::OpenUri(const QString &uri, const QDBusMessage &message)
{
    const QString why = MediaOpener::refusal(uri, QDir::rootPath());
    if (why.isEmpty()) {
        emit openRequested(uri);
        return;
    }
    message.setDelayedReply(true);
    m_bus.send(
        message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), why));
}

void MprisPlayer::scheduleCheck()
{
    m_check.start();
}

QVariantMap MprisPlayer::signalledProperties() const
{
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Volume"), volume()},
        {QStringLiteral("CanGoNext"), canGoNext()},
        {QStringLiteral("CanGoPrevious"), canGoPrevious()},
        {QStringLiteral("CanPlay"), canPlay()},
        {QStringLiteral("CanPause"), canPause()},
        {QStringLiteral("CanSeek"), canSeek()},
    };
}

void MprisPlayer::sendChanges()
{
    const QVariantMap now = signalledProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_sent.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_sent = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << interfaceName << changed << QStringList();
    m_bus.send(signal);
}
