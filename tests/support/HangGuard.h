#pragma once

#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// Ends the program with a message when the GUI thread stops handling events
// for this long. A QTRY wait bounds a result that never comes, but not a
// handler that never returns; this bounds that too.
//
//     HangGuard guard(20);   // for the life of the test object
class HangGuard
{
public:
    explicit HangGuard(int seconds);
    ~HangGuard();

    HangGuard(const HangGuard &) = delete;
    HangGuard &operator=(const HangGuard &) = delete;

private:
    void watch(int seconds);

    QTimer m_beat;
    std::atomic<qint64> m_lastBeat;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_watcher;
};
