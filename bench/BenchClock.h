#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <sys/resource.h>

// CPU seconds (user and system) this process has used so far.
inline double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Handles events until the condition holds or the time is up; false on
// time-out. The condition is looked at every pollMs milliseconds, and in
// between the thread sleeps until an event comes, so the wait itself costs
// no CPU that a figure would count.
template <class Condition> bool waitFor(Condition condition, int milliseconds, int pollMs = 5)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QEventLoop loop;
        QTimer::singleShot(pollMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A field of /proc/<process>/status in kB ("VmRSS:"), or -1; process is a
// process id or "self".
inline long processStatusKb(const QString &process, const char *field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}
