#pragma once

#include "commands/playback/PositionDisplay.h"
#include "support/FormAccess.h"

// The counters of a window's position display, which the window shows only
// in part (Text1 shows the elapsed time, not the ticks behind it), and its
// tick run as Timer1 runs it.
class PositionCounters
{
public:
    explicit PositionCounters(Form1 &window)
        : m_window(window), m_display(*window.findChild<PositionDisplay *>())
    {
    }

    // One tick of Timer1, through its handler's action.
    void tick() const { runHandler(m_window, "Timer1_Timer"); }
    // The reset that Repeat makes.
    void reset() const { m_display.resetCounters(); }

    qint64 tickCount() const { return m_display.m_tickCount; }
    qint16 elapsedSec() const { return m_display.m_elapsedSec; }
    qint64 elapsedMin() const { return m_display.m_elapsedMin; }
    double mediaDuration() const { return m_display.m_mediaDuration; }
    qint64 totalSeconds() const { return m_display.m_totalSeconds; }

private:
    Form1 &m_window;
    PositionDisplay &m_display;
};
