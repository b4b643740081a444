#include "desktop/ApplicationService.h"

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

void ApplicationService::Activate(const QVariantMap &platformData)
{
    emit activateRequested(platformData.value(activationTokenKey).toString());
}

void ApplicationService::Open(const QStringList &uris, const QVariantMap &platformData)
{
    emit openRequested(uris, platformData.value(activationTokenKey).toString());
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
        emit enqueueRequested(*addresses);
        return;
    }
    if (!m_knownAction || !m_knownAction(actionName)) {
        refuse(message, QStringLiteral("There is no action named \"%1\".").arg(actionName));
        return;
    }
    if (!parameter.isEmpty()) {
        refuse(message, QStringLiteral("The action %1 takes no parameter.").arg(actionName));
        return;
    }
    emit actionRequested(actionName);
}

void ApplicationService::refuse(const QDBusMessage &message, const QString &why)
{
    message.setDelayedReply(true);
    m_bus.send(
        message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), why));
}
