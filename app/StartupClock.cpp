#include "app/StartupClock.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

Q_LOGGING_CATEGORY(corvelStartup, "corvel.startup", QtInfoMsg)

StartupClock::StartupClock()
{
    m_clock.start();
}

void StartupClock::step(const char *what)
{
    const qint64 now = m_clock.elapsed();
    qCDebug(corvelStartup, "%s at %lld ms (+%lld)", what, now, now - m_lastMs);
    m_lastMs = now;
}

void StartupClock::watchFirstPaint(QWidget &window)
{
    window.installEventFilter(this);
}

bool StartupClock::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Once this paint is done and on its way to the screen.
        QTimer::singleShot(0, this, [this] { step("window painted"); });
    }
    return false;
}
