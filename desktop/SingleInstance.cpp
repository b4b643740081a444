#include "desktop/SingleInstance.h"

#include "core/CommandLine.h"
#include "desktop/ApplicationService.h"
#include "desktop/MediaOpener.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(instanceLog, "corvel.instance")

const QString SingleInstance::busName = QStringLiteral("org.corvel.MediaPlayer");

namespace {

const QString applicationInterface = QStringLiteral("org.freedesktop.Application");

} // namespace

SingleInstance::SingleInstance(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

SingleInstance::~SingleInstance()
{
    release();
}

void SingleInstance::release()
{
    if (!m_service)
        return;
    m_bus.unregisterObject(ApplicationService::objectPath);
    m_bus.unregisterService(busName);
    m_service = nullptr;
}

bool SingleInstance::handOver(const CommandLine &line, const QString &workingFolder)
{
    if (!m_bus.isConnected())
        return false;
    if (line.newWindow()) {
        claimName();
        return false;
    }
    // Twice at most: an owner that went away between the two steps leaves
    // the name free for this start.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (claimName())
            return false;
        switch (send(line, workingFolder)) {
        case Answer::Taken:
            return true;
        case Answer::Gone:
            continue;
        case Answer::Refused:
            return false;
        }
    }
    return false;
}

bool SingleInstance::claimName()
{
    // The object is there before the name, so a caller that finds the name
    // always finds the object; calls wait in the queue until the window is
    // ready to take them.
    auto *service = new ApplicationService(m_bus, this);
    if (!m_bus.registerObject(ApplicationService::objectPath, service,
                              ApplicationService::exportedContents)) {
        delete service;
        return false;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(busName, QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        m_service = service;
        return true;
    }
    m_bus.unregisterObject(ApplicationService::objectPath);
    delete service;
    return false;
}

SingleInstance::Answer SingleInstance::send(const CommandLine &line, const QString &workingFolder)
{
    const QStringList addresses = MediaOpener::addressesOf(line.files(), workingFolder);
    // The launcher's token lets the running window take the focus under
    // Wayland, where a window cannot simply raise itself.
    QVariantMap platformData;
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty())
        platformData.insert(ApplicationService::activationTokenKey, token);
    QDBusMessage call;
    if (line.enqueue()) {
        call =
            QDBusMessage::createMethodCall(busName, ApplicationService::objectPath,
                                           applicationInterface, QStringLiteral("ActivateAction"));
        call << ApplicationService::enqueueAction << QVariantList{QVariant(addresses)}
             << platformData;
    } else if (addresses.isEmpty()) {
        call = QDBusMessage::createMethodCall(busName, ApplicationService::objectPath,
                                              applicationInterface, QStringLiteral("Activate"));
        call << platformData;
    } else {
        call = QDBusMessage::createMethodCall(busName, ApplicationService::objectPath,
                                              applicationInterface, QStringLiteral("Open"));
        call << addresses << platformData;
    }
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, answerTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return Answer::Taken;
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return Answer::Gone;
    qCInfo(instanceLog, "The running player did not take the files (%s: %s); starting another.",
           qPrintable(error), qPrintable(reply.errorMessage()));
    return Answer::Refused;
}
