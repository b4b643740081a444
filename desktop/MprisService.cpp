#include "desktop/MprisService.h"

#include "desktop/MprisPlayer.h"
#include "desktop/MprisRoot.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(mprisLog, "corvel.mpris")

const QString MprisService::baseName = QStringLiteral("org.mpris.MediaPlayer2.corvel");

MprisService::MprisService(const MediaEngine &engine, const PlayListBox &playList, QObject *parent)
    : QObject(parent), m_engine(engine), m_playList(playList), m_bus(QString())
{
}

MprisService::~MprisService()
{
    if (m_serviceName.isEmpty())
        return;
    m_bus.unregisterObject(MprisPlayer::objectPath);
    m_bus.unregisterService(m_serviceName);
}

bool MprisService::registerOn(const QDBusConnection &bus)
{
    if (!bus.isConnected()) {
        const QString why = bus.lastError().message();
        qCInfo(mprisLog,
               "No D-Bus session bus (%s): media keys and the desktop's media controls will not "
               "reach the player.",
               qPrintable(why.isEmpty() ? QStringLiteral("not found") : why));
        return false;
    }
    m_bus = bus;
    m_root = new MprisRoot(this);
    m_player = new MprisPlayer(m_engine, m_playList, m_bus, this);
    if (!m_bus.registerObject(MprisPlayer::objectPath, this, QDBusConnection::ExportAdaptors)) {
        qCInfo(mprisLog,
               "The MPRIS objects could not be put on D-Bus (%s); media keys will not reach the "
               "player.",
               qPrintable(m_bus.lastError().message()));
        return false;
    }
    for (const QString &name :
         {baseName,
          baseName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid())}) {
        if (m_bus.registerService(name)) {
            m_serviceName = name;
            return true;
        }
    }
    m_bus.unregisterObject(MprisPlayer::objectPath);
    qCInfo(mprisLog,
           "No MPRIS name could be taken on D-Bus (%s); media keys will not reach the player.",
           qPrintable(m_bus.lastError().message()));
    return false;
}
