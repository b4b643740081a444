#pragma once

#include "engine/MediaEngine.h"

#include <QSet>
#include <QTimer>

// Records every distinct duration an engine reports while it runs, in tenths
// of a second, so a test can tell which media were opened at all.
class DurationLog
{
public:
    explicit DurationLog(const MediaEngine &engine)
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this, &engine] {
            if (const auto d = engine.duration())
                m_seen.insert(qRound(*d * 10));
        });
        m_timer.start();
    }
    // Durations seen, in tenths of a second.
    QSet<int> seen() const { return m_seen; }

private:
    QTimer m_timer;
    QSet<int> m_seen;
};
