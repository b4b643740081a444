#pragma once

#include "engine/FastReverse.h"

#include <QTimer>
#include <functional>

class MpvClient;
class MpvMedium;

// How fast and which way a medium plays: normal, fast forward through mpv's
// speed, or fast reverse as timed exact seeks over the paused medium, each
// showing its frame.
class MpvSpeed
{
public:
    enum class Mode
    {
        Normal,
        FastForward,
        FastReverse
    };

    // Fast playback runs at this many times the normal speed, both ways.
    static constexpr double fastRate = 5.0;

    // Drives this client's medium, both of which must outlive this object;
    // reachedStart runs once fast reverse has arrived at the start and ended.
    MpvSpeed(MpvClient &client, MpvMedium &medium, std::function<void()> reachedStart);

    // Which way the medium plays now.
    Mode mode() const { return m_mode; }
    // Normal speed again, whatever ran before.
    void setNormal();
    // Fast forward from where the medium is; the caller lets it play.
    void setFastForward();
    // Pauses the medium and runs back from this position in seconds.
    void setFastReverse(double fromSeconds);
    // In fast reverse, runs back from this position instead.
    void moveReverse(double seconds) { m_reverse.start(seconds); }
    // The exact seek sent last has landed or failed.
    void seekDone() { m_reverse.seekDone(); }

private:
    void tick();

    MpvClient &m_client;
    MpvMedium &m_medium;
    std::function<void()> m_reachedStart;
    Mode m_mode = Mode::Normal;
    FastReverse m_reverse;
    QTimer m_timer;
};
