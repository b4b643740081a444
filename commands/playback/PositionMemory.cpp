#include "commands/playback/PositionMemory.h"

#include "commands/playback/EngineCommands.h"
#include "commands/playback/PositionDisplay.h"
#include "core/MediaTypes.h"
#include "core/PositionStore.h"
#include "engine/MediaEngine.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

// Audio, pictures and play lists handed to the engine whole have no place
// worth keeping; MIDI songs are audio here.
QByteArray keyFor(const QString &url)
{
    const MediaTypes::Type *type = MediaTypes::forFileName(url);
    if (type && type->kind != MediaTypes::Kind::Video)
        return {};
    return PositionStore::keyOf(url);
}

bool isEnter(const QKeyEvent &key)
{
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           !(key.modifiers() & ~Qt::KeypadModifier);
}

} // namespace

PositionMemory::PositionMemory(MediaEngine &engine, PositionStore *store, EngineCommands &seeker,
                               PositionDisplay &display, QObject *parent)
    : QObject(parent), m_engine(engine), m_store(store), m_seeker(seeker), m_display(display)
{
    if (!m_store)
        return;
    m_offerTimer.setSingleShot(true);
    m_offerTimer.setInterval(offerTime);
    connect(&m_offerTimer, &QTimer::timeout, this, &PositionMemory::withdraw);
    // Each of these may be the first sign of another medium or of a stop.
    connect(&engine, &MediaEngine::statusChanged, this, &PositionMemory::follow);
    connect(&engine, &MediaEngine::durationChanged, this, &PositionMemory::follow);
    connect(&engine, &MediaEngine::positionChanged, this, &PositionMemory::follow);
    connect(&engine, &MediaEngine::playbackStateChanged, this, &PositionMemory::follow);
    connect(&engine, &MediaEngine::tracksChanged, this, &PositionMemory::follow);
    // Made before the window's own end-of-stream handler, which may open
    // the next entry: the medium that ended is still the engine's here.
    connect(&engine, &MediaEngine::endOfStream, this, &PositionMemory::ended);
    connect(&engine, &MediaEngine::offerTaken, this, &PositionMemory::taken);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &PositionMemory::settle);
    if (auto *gui = qobject_cast<QGuiApplication *>(qApp))
        connect(gui, &QGuiApplication::commitDataRequest, this, &PositionMemory::settle);
    follow();
}

PositionMemory::~PositionMemory()
{
    if (!m_store)
        return;
    settle();
    withdraw();
}

PositionMemory::Verdict PositionMemory::verdict(bool video, double duration, double position)
{
    if (!video || !(duration >= shortestMedium))
        return Verdict::Keep;
    if (!(position > firstStretch) || !(duration - position > lastStretch))
        return Verdict::Forget;
    return Verdict::Remember;
}

QString PositionMemory::offerText(double seconds)
{
    const qint64 whole = PositionDisplay::wholeSeconds(seconds);
    const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    const QString clock = whole >= 3600
                              ? QStringLiteral("%1:%2:%3")
                                    .arg(whole / 3600)
                                    .arg(two(whole / 60 % 60), two(whole % 60))
                              : QStringLiteral("%1:%2").arg(whole / 60).arg(two(whole % 60));
    return tr("Resume from %1").arg(clock);
}

void PositionMemory::follow()
{
    const QString url = m_engine.url();
    const std::optional<double> length = m_engine.duration();
    // Another medium, or the same one opened afresh (its length unknown
    // again), is the end of the one followed.
    if (url != m_url || (!length && m_duration)) {
        settle();
        withdraw();
        if (url != m_url)
            m_key = keyFor(url);
        m_url = url;
        m_video = false;
        m_playing = false;
        m_offerChecked = false;
        m_duration.reset();
    }
    if (m_key.isEmpty())
        return;
    m_video = m_video || MediaTrack::has(m_engine.tracks(), MediaTrack::Type::Video);
    if (length)
        m_duration = length;
    // A stop rewinds: the place it left is the last one seen while playing.
    const bool playing = m_engine.playbackState() != MediaEngine::PlaybackState::Stopped;
    if (playing) {
        if (const std::optional<double> at = m_engine.position())
            m_position = at;
        if (!m_offerChecked && m_duration)
            offer();
    } else if (m_playing) {
        settle();
        withdraw();
    }
    m_playing = playing;
}

void PositionMemory::ended()
{
    follow();
    m_position.reset();
    if (!m_key.isEmpty())
        m_store->forget(m_key);
}

void PositionMemory::settle()
{
    if (m_key.isEmpty() || !m_position)
        return;
    const double at = *m_position;
    m_position.reset();
    switch (verdict(m_video, m_duration.value_or(0), at)) {
    case Verdict::Remember:
        m_store->remember(m_key, at);
        break;
    case Verdict::Forget:
        // Stopped while the offer still stood, the medium keeps its place
        // for the next time: the user has not answered yet.
        if (!m_offerTimer.isActive() || at > firstStretch)
            m_store->forget(m_key);
        break;
    case Verdict::Keep:
        break;
    }
}

void PositionMemory::offer()
{
    m_offerChecked = true;
    const std::optional<double> at = m_store->position(m_key);
    if (!at)
        return;
    m_offered = *at;
    m_engine.setOffer(offerText(m_offered));
    m_offerTimer.start();
    qApp->installEventFilter(this);
}

void PositionMemory::withdraw()
{
    if (!m_offerTimer.isActive() && m_engine.offer().isEmpty())
        return;
    m_offerTimer.stop();
    qApp->removeEventFilter(this);
    m_engine.setOffer(QString());
}

void PositionMemory::acceptOffer()
{
    if (m_offerTimer.isActive())
        m_engine.takeOffer();
}

void PositionMemory::taken()
{
    if (!m_offerTimer.isActive())
        return;
    withdraw();
    m_seeker.seekTo(m_offered);
    m_display.showPosition(m_offered);
}

bool PositionMemory::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    // Enter takes the offer wherever the focus is in the player, but not
    // in a dialog over it.
    if (!m_offerTimer.isActive() || !qobject_cast<QWidget *>(watched) ||
        QApplication::activeModalWidget() || !isEnter(*static_cast<QKeyEvent *>(event)))
        return false;
    event->accept();
    if (type == QEvent::KeyPress)
        acceptOffer();
    return true;
}
