#include "core/FileJob.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

Q_LOGGING_CATEGORY(fileJobLog, "corvel.files")

namespace {

// The moment the window waits, so that an ordinary file is done within the
// command as before, and a stalled one costs no more than this.
constexpr std::chrono::milliseconds moment(150);

// Each held-up thread holds its buffers too; past this many the player
// stops starting new ones rather than pile them up.
constexpr int mostThreadsHeld = 8;

std::atomic<int> held{0};
int running = 0; // the window's thread only

} // namespace

struct FileJob::Shared
{
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    Finish finish;
    std::atomic<bool> givenUp{false};
    // The job waiting for the result; the window's thread only.
    FileJob *owner = nullptr;
};

FileJob::FileJob()
{
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(10000);
    QObject::connect(&m_deadline, &QTimer::timeout, [this] { timedOut(); });
}

FileJob::~FileJob()
{
    giveUp();
}

bool FileJob::start(Work work, std::function<void()> late)
{
    giveUp();
    if (held.load() >= mostThreadsHeld) {
        qCWarning(fileJobLog) << "not started:" << held.load() << "earlier file jobs still wait";
        return false;
    }
    auto shared = std::make_shared<Shared>();
    shared->owner = this;
    m_running = shared;
    m_late = std::move(late);
    ++running;
    ++held;
    std::thread([shared, work = std::move(work)] {
        Finish finish = work(shared->givenUp);
        --held;
        {
            const std::lock_guard lock(shared->mutex);
            shared->finish = std::move(finish);
            shared->done = true;
        }
        shared->doneChanged.notify_all();
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [shared] {
                    if (shared->owner)
                        shared->owner->finish();
                },
                Qt::QueuedConnection);
    }).detach();

    bool done = false;
    {
        std::unique_lock lock(shared->mutex);
        done = shared->doneChanged.wait_for(lock, moment, [&shared] { return shared->done; });
    }
    if (done)
        finish();
    else
        m_deadline.start();
    return true;
}

void FileJob::giveUp()
{
    if (!m_running)
        return;
    m_running->givenUp = true;
    m_running->owner = nullptr;
    m_running.reset();
    m_late = nullptr;
    m_deadline.stop();
    --running;
}

void FileJob::finish()
{
    Finish finish;
    {
        const std::lock_guard lock(m_running->mutex);
        finish = std::move(m_running->finish);
    }
    giveUp();
    if (finish)
        finish();
}

void FileJob::timedOut()
{
    if (!m_running)
        return;
    qCWarning(fileJobLog) << "given up after" << m_deadline.interval() << "ms";
    const std::function<void()> late = std::move(m_late);
    giveUp();
    if (late)
        late();
}

int FileJob::outstanding()
{
    return running;
}

int FileJob::threadsHeld()
{
    return held.load();
}
