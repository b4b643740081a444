#include "desktop/MprisPlayer.h"

#include "app/Form1.h"
#include "engine/MediaEngine.h"
#include "core/MediaSource.h"
#include "commands/playlist/PlayList.h"
#include "widgets/PlayListBox.h"

#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cmath>

const QString MprisPlayer::objectPath = QStringLiteral("/org/mpris/MediaPlayer2");

namespace {

const QString interfaceName = QStringLiteral("org.mpris.MediaPlayer2.Player");

PlayListBox &playList1(const Form1 &window)
{
    return *window.control<PlayListBox>(QStringLiteral("PlayList1"));
}

} // namespace

MprisPlayer::MprisPlayer(Form1 &window, const QDBusConnection &bus, QObject *exported)
    : QDBusAbstractAdaptor(exported), m_window(window), m_bus(bus)
{
    m_check.setSingleShot(true);
    m_check.setInterval(0);
    connect(&m_check, &QTimer::timeout, this, &MprisPlayer::sendChanges);
    m_lengthWatch.setInterval(1000);
    connect(&m_lengthWatch, &QTimer::timeout, this, &MprisPlayer::scheduleCheck);

    MediaEngine &engine = window.engine();
    connect(&engine, &MediaEngine::statusChanged, this, &MprisPlayer::scheduleCheck);
    connect(&engine, &MediaEngine::volumeChanged, this, &MprisPlayer::scheduleCheck);
    PlayListBox &list = playList1(window);
    connect(list.model(), &QAbstractItemModel::rowsInserted, this, &MprisPlayer::scheduleCheck);
    connect(list.model(), &QAbstractItemModel::rowsRemoved, this, &MprisPlayer::scheduleCheck);
    connect(list.model(), &QAbstractItemModel::modelReset, this, &MprisPlayer::scheduleCheck);
    connect(&list, &QListWidget::itemSelectionChanged, this, &MprisPlayer::scheduleCheck);
    m_sent = signalledProperties();
}

QString MprisPlayer::playbackStatus() const
{
    switch (m_window.engine().playbackState()) {
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
    const MediaEngine &engine = m_window.engine();
    const QString url = engine.url();
    QVariantMap data;
    if (url.isEmpty()) {
        data.insert(QStringLiteral("mpris:trackid"),
                    QVariant::fromValue(
                        QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
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
    if (const std::optional<double> length = engine.duration(); length && *length > 0)
        data.insert(QStringLiteral("mpris:length"), qlonglong(std::llround(*length * 1e6)));
    return data;
}

double MprisPlayer::volume() const
{
    return m_window.engine().volume() / 100.0;
}

void MprisPlayer::setVolume(double volume)
{
    if (!std::isfinite(volume))
        return;
    m_window.engine().setVolume(int(std::lround(qBound(0.0, volume, 1.0) * 100)));
}

qlonglong MprisPlayer::position() const
{
    return qlonglong(std::llround(m_window.engine().position().value_or(0.0) * 1e6));
}

bool MprisPlayer::canGoNext() const
{
    const PlayListBox &list = playList1(m_window);
    return list.listIndex() + 1 < list.listCount();
}

bool MprisPlayer::canGoPrevious() const
{
    return playList1(m_window).listIndex() >= 0;
}

bool MprisPlayer::canPlay() const
{
    return !m_window.engine().url().isEmpty();
}

void MprisPlayer::Next()
{
    PlayList *list = &m_window.playList();
    m_window.runHandler([list] { list->cmdNext_Click(); });
}

void MprisPlayer::Previous()
{
    PlayList *list = &m_window.playList();
    m_window.runHandler([list] { list->cmdBack_Click(); });
}

void MprisPlayer::Pause()
{
    MediaEngine &engine = m_window.engine();
    m_window.runHandler([&engine] { engine.pause(); });
}

void MprisPlayer::PlayPause()
{
    MediaEngine &engine = m_window.engine();
    m_window.runHandler([&engine] {
        if (engine.playbackState() == MediaEngine::PlaybackState::Playing)
            engine.pause();
        else
            engine.play();
    });
}

void MprisPlayer::Stop()
{
    MediaEngine &engine = m_window.engine();
    m_window.runHandler([&engine] { engine.stop(); });
}

void MprisPlayer::Play()
{
    MediaEngine &engine = m_window.engine();
    m_window.runHandler([&engine] { engine.play(); });
}

void MprisPlayer::Seek(qlonglong) {}

void MprisPlayer::SetPosition(const QDBusObjectPath &, qlonglong) {}

void MprisPlayer::OpenUri(const QString &, const QDBusMessage &message)
{
    message.setDelayedReply(true);
    m_bus.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
                                        QStringLiteral("Corvel Media Player does not open "
                                                       "addresses sent over D-Bus.")));
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
    };
}

void MprisPlayer::sendChanges()
{
    const QVariantMap now = signalledProperties();
    const QVariantMap current = now.value(QStringLiteral("Metadata")).toMap();
    const bool lengthPending =
        !m_window.engine().url().isEmpty() && !current.contains(QStringLiteral("mpris:length"));
    if (lengthPending && !m_lengthWatch.isActive())
        m_lengthWatch.start();
    else if (!lengthPending)
        m_lengthWatch.stop();

    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_sent.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_sent = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << interfaceName << changed << QStringList();
    m_bus.send(signal);
}
