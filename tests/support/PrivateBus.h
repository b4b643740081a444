#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>

// A D-Bus session bus of the test's own (dbus-daemon --session), so tests
// never touch the desktop's bus and can start players on it.
class PrivateBus
{
public:
    PrivateBus() = default;
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    // Starts the daemon; false, with why, when it cannot (not installed).
    bool start(QString *why);
    // The address to connect to, as DBUS_SESSION_BUS_ADDRESS holds it.
    QString address() const { return m_address; }
    // A connection of this name to the bus.
    QDBusConnection connect(const QString &name) const;

    // Sends the call and waits for its answer while this thread's events run,
    // so a player living in the test can answer it; an error message after
    // timeoutMs.
    static QDBusMessage call(const QDBusConnection &bus, const QDBusMessage &message,
                             int timeoutMs = 10000);

private:
    QProcess m_daemon;
    QString m_address;
};
