#include "engine/EngineView.h"

#include "engine/EngineControlBar.h"
#include "engine/MediaEngine.h"

#include <QVBoxLayout>

EngineView::EngineView(MediaEngine &engine, QWidget *parent)
    : QWidget(parent), m_bar(new EngineControlBar(this))
{
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    // Black until a surface comes, or for good when video is off; the
    // player plays without a video output meanwhile, so nothing waits.
    m_surface = new QWidget(this);
    m_surface->setObjectName(QStringLiteral("videoSurface"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_surface, 1);
    column->addWidget(m_bar);

    const auto showState = [this](MediaEngine::PlaybackState state) {
        m_bar->setPlaying(state == MediaEngine::PlaybackState::Playing);
    };
    connect(&engine, &MediaEngine::durationChanged, m_bar, &EngineControlBar::setDuration);
    connect(&engine, &MediaEngine::positionChanged, m_bar, &EngineControlBar::setPosition);
    connect(&engine, &MediaEngine::volumeChanged, m_bar, &EngineControlBar::setVolume);
    connect(&engine, &MediaEngine::playbackStateChanged, m_bar, showState);
    connect(m_bar, &EngineControlBar::playPauseClicked, &engine, &MediaEngine::playPause);
    connect(m_bar, &EngineControlBar::stopClicked, &engine, &MediaEngine::stop);
    connect(m_bar, &EngineControlBar::seekRequested, &engine, &MediaEngine::seek);
    connect(m_bar, &EngineControlBar::volumeRequested, &engine, &MediaEngine::setVolume);
    m_bar->setDuration(engine.duration());
    m_bar->setPosition(engine.position());
    m_bar->setVolume(engine.volume());
    showState(engine.playbackState());
}

void EngineView::setVideoSurface(QWidget *surface)
{
    if (!surface || surface == m_surface)
        return;
    surface->setParent(this);
    if (m_surface) {
        delete layout()->replaceWidget(m_surface, surface);
        delete m_surface.data();
    } else {
        static_cast<QVBoxLayout *>(layout())->insertWidget(0, surface, 1);
    }
    m_surface = surface;
    // A child added to a window already on screen stays hidden until shown.
    surface->show();
}
