#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <optional>

class QDBusMessage;

// The player's org.freedesktop.Application object, through which a second
// start of the program and a desktop that starts programs over D-Bus reach
// the running window. It answers at once and passes what the caller wants on
// as its signals, from the event loop, so a message box shown for the files
// never keeps the caller waiting. Only its methods are on the bus, not those
// signals. An address longer than any path is refused at once, and so is
// every request while maxWaiting others still wait to be passed on.
class ApplicationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    // The object path that goes with the application's bus name.
    static const QString objectPath;
    // The action that appends its one parameter, a list of addresses.
    static const QString enqueueAction;
    // The platform data's key for the token that lets a Wayland window take
    // the focus.
    static const QString activationTokenKey;
    // How many requests may wait to be passed on; a caller faster than the
    // window is refused rather than stacked up.
    static constexpr int maxWaiting = 32;

    // Answers on this bus once registered there with exportedContents.
    explicit ApplicationService(const QDBusConnection &bus, QObject *parent = nullptr);
    static constexpr QDBusConnection::RegisterOptions exportedContents =
        QDBusConnection::ExportScriptableSlots;

    // Which action names besides enqueue ActivateAction may ask for; none
    // until this is set.
    void setKnownAction(std::function<bool(const QString &)> knownAction);

public slots:
    // Asks to bring the window to the front, with the launcher's activation
    // token when the platform data holds one.
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData, const QDBusMessage &message);
    // Asks to bring the window to the front and open the addresses as the
    // command line opens its files.
    Q_SCRIPTABLE void Open(const QStringList &uris, const QVariantMap &platformData,
                           const QDBusMessage &message);
    // "enqueue" with a list of addresses asks to append them; any other known
    // name asks for that action without parameters. Anything else is
    // answered with an error naming the problem.
    Q_SCRIPTABLE void ActivateAction(const QString &actionName, const QVariantList &parameter,
                                     const QVariantMap &platformData, const QDBusMessage &message);

signals:
    // activationToken is empty when the caller sent none.
    void activateRequested(const QString &activationToken);
    void openRequested(const QStringList &addresses, const QString &activationToken);
    void enqueueRequested(const QStringList &addresses);
    void actionRequested(const QString &actionName);

private:
    // Answers the call with this error.
    void refuse(const QDBusMessage &message, const QString &why,
                const QString &error = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    // Runs request from the event loop, or refuses the call when too many
    // wait already.
    void passOn(const QDBusMessage &message, std::function<void()> request);
    // Refuses the call when one of these addresses is longer than any path.
    bool refusedAsTooLong(const QDBusMessage &message, const QStringList &addresses);

    QDBusConnection m_bus;
    std::function<bool(const QString &)> m_knownAction;
    int m_waiting = 0;
};
