#include "support/PrivateBus.h"

#include <QCoreApplication>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QStandardPaths>

PrivateBus::~PrivateBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

bool PrivateBus::start(QString *why)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
        *why = QStringLiteral("dbus-daemon is not installed (Debian package dbus-daemon)");
        return false;
    }
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--print-address"),
                    QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
    if (!m_daemon.waitForStarted()) {
        *why = m_daemon.errorString();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!m_daemon.canReadLine() && clock.elapsed() < 10000)
        m_daemon.waitForReadyRead(100);
    m_address = QString::fromLatin1(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        *why = QStringLiteral("dbus-daemon gave no address");
    return !m_address.isEmpty();
}

QDBusConnection PrivateBus::connect(const QString &name) const
{
    return QDBusConnection::connectToBus(m_address, name);
}

QDBusMessage PrivateBus::call(const QDBusConnection &bus, const QDBusMessage &message,
                              int timeoutMs)
{
    QDBusPendingCall pending = bus.asyncCall(message, timeoutMs);
    QElapsedTimer clock;
    clock.start();
    while (!pending.isFinished() && clock.elapsed() < timeoutMs + 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return pending.reply();
}
