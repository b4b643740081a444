#include "app/QuitOnSignal.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(corvelSignals, "corvel.signals")

namespace {

// A handler may only write to a descriptor; the event loop reads the other end.
int wakeUp[2] = {-1, -1};
constexpr int endingSignals[] = {SIGTERM, SIGHUP, SIGINT};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[0], &byte, 1);
}

} // namespace

QuitOnSignal::QuitOnSignal(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeUp) != 0) {
        qCWarning(corvelSignals, "No socket pair for signals: %s", strerror(errno));
        return;
    }
    m_notifier = new QSocketNotifier(wakeUp[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [] {
        char byte;
        while (::read(wakeUp[1], &byte, 1) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // The next one finds the system's own action again.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signal : endingSignals)
        ::sigaction(signal, &action, nullptr);
}

QuitOnSignal::~QuitOnSignal()
{
    if (!m_notifier)
        return;
    for (const int signal : endingSignals)
        ::signal(signal, SIG_DFL);
    ::close(wakeUp[0]);
    ::close(wakeUp[1]);
    wakeUp[0] = wakeUp[1] = -1;
}
