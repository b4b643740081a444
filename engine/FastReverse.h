#pragma once

#include <QtGlobal>
#include <functional>

// Fast backwards playback as a run of exact seeks: the target moves back at
// a fixed rate against a clock, and only one seek is out at a time, since
// exact seeks can take longer than a step and queueing them would only pile
// up work the player then throws away. The owner calls step() regularly
// (every stepMs) and seekDone() when a seek has landed or failed.
class FastReverse
{
public:
    // How often the owner is meant to call step(), in milliseconds.
    static constexpr int stepMs = 100;
    // A seek that has not reported back after this many milliseconds is
    // given up, so a lost report never ends the run.
    static constexpr qint64 giveUpMs = 2000;

    // Milliseconds since any fixed moment; never goes back.
    using Clock = std::function<qint64()>;
    // Starts an exact seek to this position in seconds; the owner reports
    // its end with seekDone().
    using Seek = std::function<void(double seconds)>;

    // What one step() did.
    enum class Step
    {
        // Nothing: not running, or the last seek is still out.
        Waiting,
        // Sent a seek to the current target.
        Seeking,
        // The target reached the start: the run has ended, no seek was sent.
        ReachedStart
    };

    // Runs back at rate times the normal speed.
    FastReverse(double rate, Clock clock, Seek seek);

    // Starts (or starts again) running back from this position, with no
    // seek counted as out.
    void start(double fromSeconds);
    // Ends the run.
    void stop();

    // Seeks to where the run should be by now, unless a seek is still out;
    // ends the run when that is the start.
    Step step();
    // The seek sent last has landed or failed: the next step may seek.
    void seekDone() { m_seekOut = false; }

private:
    double m_rate;
    Clock m_clock;
    Seek m_seek;
    bool m_running = false;
    double m_from = 0;
    qint64 m_startedAt = 0;
    bool m_seekOut = false;
    qint64 m_seekSentAt = 0;
};
