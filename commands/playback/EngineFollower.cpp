#include "commands/playback/EngineFollower.h"

#include "commands/playback/PositionDisplay.h"
#include "widgets/TimerSwitch.h"

#include <QTimer>

EngineFollower::EngineFollower(MediaEngine &engine, PositionDisplay &display, QTimer &timer1,
                               QObject *parent)
    : QObject(parent), m_engine(engine), m_display(display), m_timer1(timer1)
{
    connect(&engine, &MediaEngine::playbackStateChanged, this, &EngineFollower::follow);
    connect(&engine, &MediaEngine::stopped, this, &EngineFollower::followStop);
    connect(&engine, &MediaEngine::seeked, &display, &PositionDisplay::showPosition);
}

void EngineFollower::holdCount()
{
    m_held = m_timer1.isActive();
    m_heldUrl = m_engine.url();
    m_timer1.stop();
}

void EngineFollower::follow(MediaEngine::PlaybackState state)
{
    switch (state) {
    case MediaEngine::PlaybackState::Paused:
        // The window's Pause has held the count already; anyone else's
        // pause holds it here.
        if (m_timer1.isActive())
            holdCount();
        return;
    case MediaEngine::PlaybackState::Playing:
        // Another medium starting is no resume: its command says what the
        // count does.
        if (m_held && m_engine.url() == m_heldUrl)
            enableTimer(m_timer1);
        break;
    case MediaEngine::PlaybackState::Stopped:
        break;
    }
    m_held = false;
}

void EngineFollower::followStop()
{
    m_held = false;
    m_display.showStopped();
}
