#include "engine/mpv/MpvSpeed.h"

#include "engine/mpv/MpvClient.h"
#include "engine/mpv/MpvMedium.h"

#include <chrono>

namespace {

qint64 steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

MpvSpeed::MpvSpeed(MpvClient &client, MpvMedium &medium, std::function<void()> reachedStart)
    : m_client(client), m_medium(medium), m_reachedStart(std::move(reachedStart)),
      m_reverse(fastRate, steadyMilliseconds, [this](double seconds) { m_medium.seekTo(seconds); })
{
    m_timer.setInterval(FastReverse::stepMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
}

void MpvSpeed::setNormal()
{
    m_timer.stop();
    m_reverse.stop();
    if (m_mode == Mode::FastForward)
        m_client.sendDouble("speed", 1.0);
    m_mode = Mode::Normal;
}

void MpvSpeed::setFastForward()
{
    setNormal();
    m_mode = Mode::FastForward;
    m_client.sendDouble("speed", fastRate);
}

void MpvSpeed::setFastReverse(double fromSeconds)
{
    setNormal();
    m_mode = Mode::FastReverse;
    // Paused, each landed seek shows its frame; the clock sets the pace.
    m_medium.setPaused(true);
    m_reverse.start(fromSeconds);
    m_timer.start();
    tick();
}

void MpvSpeed::tick()
{
    // An entry still opening has nothing to seek in; the clock runs on.
    if (m_medium.opening() || m_reverse.step() != FastReverse::Step::ReachedStart)
        return;
    m_timer.stop();
    m_mode = Mode::Normal;
    m_reachedStart();
}
