#include "engine/DeferredEngine.h"

#include "engine/EngineView.h"

#include <QVBoxLayout>

DeferredEngine::DeferredEngine(QObject *parent) : MediaEngine(parent)
{
    m_lastStatus = status();
}

DeferredEngine::~DeferredEngine()
{
    if (m_area && !m_area->parent())
        delete m_area.data();
}

void DeferredEngine::attach(std::unique_ptr<MediaEngine> engine)
{
    if (m_target || !engine)
        return;
    m_target = std::move(engine);
    MediaEngine *t = m_target.get();
    connect(t, &MediaEngine::endOfStream, this, &MediaEngine::endOfStream);
    connect(t, &MediaEngine::volumeChanged, this, &MediaEngine::volumeChanged);
    connect(t, &MediaEngine::durationChanged, this, &MediaEngine::durationChanged);
    connect(t, &MediaEngine::positionChanged, this, &MediaEngine::positionChanged);
    connect(t, &MediaEngine::playbackStateChanged, this, &MediaEngine::playbackStateChanged);
    connect(t, &MediaEngine::stopped, this, &MediaEngine::stopped);
    connect(t, &MediaEngine::seeked, this, &MediaEngine::seeked);
    connect(t, &MediaEngine::failed, this, &MediaEngine::failed);
    connect(t, &MediaEngine::problemChanged, this, &MediaEngine::problemChanged);
    connect(t, &MediaEngine::tracksChanged, this, &MediaEngine::tracksChanged);
    connect(t, &MediaEngine::fullScreenChanged, this, &MediaEngine::fullScreenChanged);
    connect(t, &MediaEngine::statusChanged, this, &DeferredEngine::announceStatus);

    const auto pending = std::move(m_pending);
    m_pending.clear();
    for (const auto &call : pending)
        call(*t);
    placeTargetWidget();
    announceStatus();
}

QWidget *DeferredEngine::widget()
{
    if (!m_area) {
        m_area = new QWidget;
        m_area->setObjectName(QStringLiteral("engineArea"));
        auto *layout = new QVBoxLayout(m_area);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        if (m_target) {
            placeTargetWidget();
        } else {
            m_standIn = new EngineView(*this, m_area);
            layout->addWidget(m_standIn);
        }
    }
    return m_area;
}

void DeferredEngine::placeTargetWidget()
{
    if (!m_area || !m_target)
        return;
    QWidget *real = m_target->widget();
    m_area->layout()->addWidget(real);
    real->show();
    delete m_standIn.data();
}

void DeferredEngine::request(std::function<void(MediaEngine &)> call)
{
    if (m_target)
        call(*m_target);
    else
        m_pending.push_back(std::move(call));
}

void DeferredEngine::announceStatus()
{
    const QString now = status();
    if (now == m_lastStatus)
        return;
    m_lastStatus = now;
    emit statusChanged(now);
}

void DeferredEngine::setUrl(const QString &url)
{
    m_url = url;
    request([url](MediaEngine &e) { e.setUrl(url); });
    announceStatus();
}

QString DeferredEngine::url() const
{
    return m_target ? m_target->url() : m_url;
}

void DeferredEngine::play()
{
    request([](MediaEngine &e) { e.play(); });
}

void DeferredEngine::pause()
{
    request([](MediaEngine &e) { e.pause(); });
}

void DeferredEngine::stop()
{
    request([](MediaEngine &e) { e.stop(); });
}

void DeferredEngine::fastForward()
{
    request([](MediaEngine &e) { e.fastForward(); });
}

void DeferredEngine::fastReverse()
{
    request([](MediaEngine &e) { e.fastReverse(); });
}

void DeferredEngine::playPause()
{
    request([](MediaEngine &e) { e.playPause(); });
}

void DeferredEngine::seek(double seconds)
{
    request([seconds](MediaEngine &e) { e.seek(seconds); });
}

void DeferredEngine::seekBy(double seconds)
{
    request([seconds](MediaEngine &e) { e.seekBy(seconds); });
}

void DeferredEngine::setVolume(int percent)
{
    if (m_target) {
        m_target->setVolume(percent);
        return;
    }
    percent = qBound(0, percent, 100);
    const bool changed = percent != m_volume;
    m_volume = percent;
    m_pending.push_back([percent](MediaEngine &e) { e.setVolume(percent); });
    if (changed)
        emit volumeChanged(percent);
}

int DeferredEngine::volume() const
{
    return m_target ? m_target->volume() : m_volume;
}

std::optional<double> DeferredEngine::duration() const
{
    return m_target ? m_target->duration() : std::nullopt;
}

QString DeferredEngine::status() const
{
    if (m_target)
        return m_target->status();
    // What the real engine says while it opens a medium, or without one.
    return m_url.isEmpty() ? tr("Ready") : tr("Opening");
}

MediaEngine::PlaybackState DeferredEngine::playbackState() const
{
    return m_target ? m_target->playbackState() : PlaybackState::Stopped;
}

std::optional<double> DeferredEngine::position() const
{
    return m_target ? m_target->position() : std::nullopt;
}

QString DeferredEngine::problem() const
{
    return m_target ? m_target->problem() : QString();
}

QList<MediaTrack> DeferredEngine::tracks() const
{
    return m_target ? m_target->tracks() : QList<MediaTrack>();
}

void DeferredEngine::selectTrack(MediaTrack::Type type, int id)
{
    request([type, id](MediaEngine &e) { e.selectTrack(type, id); });
}

void DeferredEngine::addSubtitleFile(const QString &path)
{
    request([path](MediaEngine &e) { e.addSubtitleFile(path); });
}

bool DeferredEngine::fullScreen() const
{
    return m_target && m_target->fullScreen();
}

// Asked before the engine is up, full screen waits for the engine's own
// area, which is the one that fills the screen.
void DeferredEngine::setFullScreen(bool on)
{
    request([on](MediaEngine &e) { e.setFullScreen(on); });
}
