#include "support/HangGuard.h"

#include <QDateTime>
#include <cstdio>
#include <cstdlib>

namespace {

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

HangGuard::HangGuard(int seconds) : m_lastBeat(now())
{
    m_beat.setInterval(100);
    QObject::connect(&m_beat, &QTimer::timeout, [this] { m_lastBeat = now(); });
    m_beat.start();
    m_watcher = std::thread([this, seconds] { watch(seconds); });
}

HangGuard::~HangGuard()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_watcher.join();
}

void HangGuard::watch(int seconds)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(250), [this] { return m_stop; })) {
        if (now() - m_lastBeat > qint64(seconds) * 1000) {
            std::fprintf(stderr, "HangGuard: the GUI thread handled no events for %d s\n", seconds);
            std::fflush(stderr);
            std::abort();
        }
    }
}
