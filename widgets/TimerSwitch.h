#pragma once

#include <QTimer>

// Enables a timer the way a control's Enabled property does: a timer that was
// off starts a new interval, a running one goes on with the one it is in
// (QTimer::start() would begin it again, so quick clicks would starve it).
inline void enableTimer(QTimer &timer)
{
    if (!timer.isActive())
        timer.start();
}
