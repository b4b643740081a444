#pragma once

#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

// Work on files that came from outside the player (a list the user chose, the
// saved list Generate reads), on a thread of its own: a file on a stalled
// mount can hold a read for ever, and such a thread is never waited for. The
// window waits only a moment for the result, then goes on and takes the
// result when it comes, or gives the work up at its deadline.
class FileJob
{
public:
    // What to do with the work's result, on the window's thread.
    using Finish = std::function<void()>;
    // The work; givenUp turns true when its result is no longer wanted, so
    // that it can leave out a last step such as writing a file.
    using Work = std::function<Finish(const std::atomic<bool> &givenUp)>;

    FileJob();
    // Gives up a running job.
    ~FileJob();
    FileJob(const FileJob &) = delete;
    FileJob &operator=(const FileJob &) = delete;

    // How long a job may run before it is given up, in milliseconds.
    void setDeadline(int milliseconds) { m_deadline.setInterval(milliseconds); }
    int deadline() const { return m_deadline.interval(); }

    // Whether a job runs and has been neither finished nor given up.
    bool busy() const { return m_running != nullptr; }

    // Runs work on a new thread. Its Finish runs on this thread: before
    // start() returns when the work ends within a moment, else from the
    // event loop. When the deadline passes first, late runs instead and the
    // result is dropped. Returns false, with nothing started, while earlier
    // jobs still hold too many threads (their files never answered).
    bool start(Work work, std::function<void()> late);
    // Gives up the running job: neither its Finish nor late runs.
    void giveUp();

    // Jobs of the whole program that are running and not yet given up.
    static int outstanding();
    // Threads of the whole program still inside their work, given up or not.
    static int threadsHeld();

private:
    struct Shared;
    void finish();
    void timedOut();

    std::shared_ptr<Shared> m_running;
    std::function<void()> m_late;
    QTimer m_deadline;
};
