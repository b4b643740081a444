#pragma once

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>

class QWidget;

// How start-up spends its time: each step logged with the milliseconds since
// main() began (corvel.startup, debug level: QT_LOGGING_RULES=
// "corvel.startup.debug=true").
Q_DECLARE_LOGGING_CATEGORY(corvelStartup)

// The clock of start-up, started when it is made (first thing in main()).
class StartupClock : public QObject
{
    Q_OBJECT
public:
    StartupClock();

    // Logs that this step is done, with the time since the start and since
    // the step before.
    void step(const char *what);
    // Logs the window's first paint once it is done.
    void watchFirstPaint(QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QElapsedTimer m_clock;
    qint64 m_lastMs = 0;
};
