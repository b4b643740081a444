#include "engine/EngineView.h"

#include "engine/EngineControlBar.h"
#include "engine/EngineFullScreen.h"
#include "engine/EngineMessage.h"
#include "engine/IdleControls.h"
#include "engine/MediaEngine.h"

#include <QMouseEvent>
#include <QVBoxLayout>

EngineView::EngineView(MediaEngine &engine, QWidget *parent)
    : QWidget(parent), m_engine(engine), m_bar(new EngineControlBar(this)),
      m_message(new EngineMessage(this)), m_fullScreen(new EngineFullScreen(*this, this)),
      m_idle(new IdleControls(*this, *m_bar, this))
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
    const auto showTracks = [this] { m_bar->setTracks(m_engine.tracks()); };
    connect(&engine, &MediaEngine::durationChanged, m_bar, &EngineControlBar::setDuration);
    connect(&engine, &MediaEngine::positionChanged, m_bar, &EngineControlBar::setPosition);
    connect(&engine, &MediaEngine::volumeChanged, m_bar, &EngineControlBar::setVolume);
    connect(&engine, &MediaEngine::playbackStateChanged, m_bar, showState);
    connect(&engine, &MediaEngine::tracksChanged, m_bar, showTracks);
    connect(&engine, &MediaEngine::problemChanged, m_message, &EngineMessage::showMessage);
    connect(&engine, &MediaEngine::offerChanged, m_message, &EngineMessage::showOffer);
    connect(m_message, &EngineMessage::offerClicked, &engine, &MediaEngine::takeOffer);
    connect(&engine, &MediaEngine::fullScreenChanged, this, &EngineView::applyFullScreen);
    connect(m_bar, &EngineControlBar::playPauseClicked, &engine, &MediaEngine::playPause);
    connect(m_bar, &EngineControlBar::stopClicked, &engine, &MediaEngine::stop);
    connect(m_bar, &EngineControlBar::seekRequested, &engine, &MediaEngine::seek);
    connect(m_bar, &EngineControlBar::volumeRequested, &engine, &MediaEngine::setVolume);
    connect(m_bar, &EngineControlBar::trackRequested, &engine, &MediaEngine::selectTrack);
    connect(m_bar, &EngineControlBar::fullScreenClicked, this, &EngineView::toggleFullScreen);
    // The window manager (or a command resizing the window) ended it: the
    // engine's setting follows.
    connect(m_fullScreen, &EngineFullScreen::endedElsewhere, this, [this] {
        m_idle->stop();
        m_bar->setFullScreen(false);
        m_engine.setFullScreen(false);
    });
    m_bar->setDuration(engine.duration());
    m_bar->setPosition(engine.position());
    m_bar->setVolume(engine.volume());
    showState(engine.playbackState());
    showTracks();
    m_message->showMessage(engine.problem());
    m_message->showOffer(engine.offer());
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
    m_message->raise();
}

bool EngineView::isFullScreen() const
{
    return m_fullScreen->active();
}

void EngineView::applyFullScreen(bool on)
{
    if (on) {
        m_fullScreen->enter();
        m_idle->start();
    } else {
        m_idle->stop();
        m_fullScreen->leave();
    }
    m_bar->setFullScreen(on);
}

void EngineView::toggleFullScreen()
{
    m_engine.setFullScreen(!m_engine.fullScreen());
}

void EngineView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Only the picture: a quick double-click on the bar is two clicks.
    const int pictureBottom = m_bar->isVisible() ? m_bar->y() : height();
    if (event->position().y() >= pictureBottom) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    toggleFullScreen();
}

void EngineView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_message->placeOver(QRect(0, 0, width(), height() - m_bar->sizeHint().height()));
}
