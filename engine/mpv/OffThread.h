#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <functional>
#include <memory>
#include <thread>

// Work that may wait as long as the file system makes it, kept off the GUI
// thread: it runs on a thread of its own, which is never waited for (one held
// up for ever ends with the program), and its result reaches the GUI thread
// only while the ticket it gave is kept.
template <class Result> class OffThread
{
public:
    // Dropping it drops the result.
    using Ticket = std::shared_ptr<std::function<void(const Result &)>>;

    // Runs work on a new thread and hands its result to then on the GUI thread.
    static Ticket start(std::function<Result()> work, std::function<void(const Result &)> then)
    {
        auto ticket = std::make_shared<std::function<void(const Result &)>>(std::move(then));
        std::weak_ptr<std::function<void(const Result &)>> waiting = ticket;
        std::thread([work = std::move(work), waiting] {
            Result result = work();
            if (QCoreApplication *app = QCoreApplication::instance())
                QMetaObject::invokeMethod(
                    app,
                    [waiting, result = std::move(result)] {
                        if (const auto then = waiting.lock())
                            (*then)(result);
                    },
                    Qt::QueuedConnection);
        }).detach();
        return ticket;
    }
};
