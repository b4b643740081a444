#include "engine/FastReverse.h"

#include <utility>

FastReverse::FastReverse(double rate, Clock clock, Seek seek)
    : m_rate(rate), m_clock(std::move(clock)), m_seek(std::move(seek))
{
}

void FastReverse::start(double fromSeconds)
{
    m_running = true;
    m_from = fromSeconds;
    m_startedAt = m_clock();
    m_seekOut = false;
}

void FastReverse::stop()
{
    m_running = false;
    m_seekOut = false;
}

FastReverse::Step FastReverse::step()
{
    if (!m_running)
        return Step::Waiting;
    const qint64 now = m_clock();
    if (m_seekOut && now - m_seekSentAt < giveUpMs)
        return Step::Waiting;
    const double target = m_from - m_rate * double(now - m_startedAt) / 1000.0;
    if (target <= 0.0) {
        stop();
        return Step::ReachedStart;
    }
    m_seekOut = true;
    m_seekSentAt = now;
    m_seek(target);
    return Step::Seeking;
}
