#include "desktop/ApplicationService.h"

#include "core/MediaSource.h"
#include "core/ShortText.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>

const QString ApplicationService::objectPath = QStringLiteral("/org/corvel/MediaPlayer");
const QString ApplicationService::enqueueAction = QStringLiteral("enqueue");
const QString ApplicationService::activationTokenKey = QStringLiteral("activation-token");

namespace {

// A string list sent inside a variant, whichever way the bus delivered it.
std::optional<QStringList> stringList(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<QDBusVariant>())
        return stringList(value.value<QDBusVariant>().variant());
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentSignature() != QLatin1String("as"))
            return std::nullopt;
        return qdbus_cast<QStringList>(argument);
    }
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList();
    return std::nullopt;
}

} // namespace

ApplicationService::ApplicationService(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

void ApplicationService::setKnownAction(std::function<bool(const QString &)> knownAction)
{
    m_knownAction = std::move(knownAction);
}

void ApplicationService::Activate(const QVariantMap &platformData, const QDBusMessage &message)
{
    const QString token = platformData.value(activationTokenKey).toString();
    passOn(message, [this, token] { emit activateRequested(token); });
}

void ApplicationService::Open(const QStringList &uris, const QVariantMap &platformData,
                              const QDBusMessage &message)
{
    if (refusedAsTooLong(message, uris))
        return;
    const QString token = platformData.value(activationTokenKey).toString();
    passOn(message, [this, uris, token] { emit openRequested(uris, token); });
}

void ApplicationService::ActivateAction(const QString &actionName, const QVariantList &parameter,
                                        const QVariantMap &, const QDBusMessage &message)
{
    if (actionName == enqueueAction) {
        const std::optional<QStringList> addresses =
            parameter.size() == 1 ? stringList(parameter.first()) : std::nullopt;
        if (!addresses) {
            refuse(message, QStringLiteral("The action enqueue takes one list of addresses."));
            return;
        }
        if (!refusedAsTooLong(message, *addresses))
            passOn(message, [this, addresses = *addresses] { emit enqueueRequested(addresses); });
        return;
    }
    if (!m_knownAction || !m_knownAction(actionName)) {
        refuse(message, ShortText::lines(
                            QStringLiteral("There is no action named \"%1\".").arg(actionName)));
        return;
    }
    if (!parameter.isEmpty()) {
        refuse(message, QStringLiteral("The action %1 takes no parameter.").arg(actionName));
        return;
    }
    passOn(message, [this, actionName] { emit actionRequested(actionName); });
}

bool ApplicationService::refusedAsTooLong(const QDBusMessage &message, const QStringList &addresses)
{
    for (const QString &address : addresses) {
        if (MediaSource::longerThanAnyPath(address)) {
            refuse(message,
                   QStringLiteral("An address longer than any path can be was given (%1 bytes at "
                                  "most).")
                       .arg(MediaSource::longestPathBytes));
            return true;
        }
    }
    return false;
}

void ApplicationService::passOn(const QDBusMessage &message, std::function<void()> request)
{
    if (m_waiting >= maxWaiting) {
        refuse(message, QStringLiteral("The player is still busy with earlier requests."),
               QStringLiteral("org.freedesktop.DBus.Error.LimitsExceeded"));
        return;
    }
    ++m_waiting;
    QMetaObject::invokeMethod(
        this,
        [this, request = std::move(request)] {
            --m_waiting;
            request();
        },
        Qt::QueuedConnection);
}

void ApplicationService::refuse(const QDBusMessage &message, const QString &why,
                                const QString &error)
{
    message.setDelayedReply(true);
    m_bus.send(message.createErrorReply(error, why));
}
