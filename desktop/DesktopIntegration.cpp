#include "desktop/DesktopIntegration.h"

#include "commands/Commands.h"
#include "desktop/ApplicationService.h"
#include "desktop/DropHandler.h"
#include "desktop/MediaOpener.h"
#include "desktop/MprisPlayer.h"
#include "desktop/MprisRoot.h"
#include "desktop/MprisService.h"
#include "desktop/SingleInstance.h"

#include <QDBusConnection>
#include <QDir>
#include <QTimer>
#include <QWidget>

DesktopIntegration::DesktopIntegration(QWidget &window, Commands &commands,
                                       const PlayListBox &playList, MediaEngine &engine,
                                       CommonDialog &dialog, QObject *parent)
    : QObject(parent), m_window(window), m_commands(commands),
      m_opener(new MediaOpener(commands, dialog, this)),
      m_drops(new DropHandler(window, *m_opener, engine, this)),
      m_mpris(new MprisService(engine, playList, this))
{
}

DesktopIntegration::~DesktopIntegration() = default;

void DesktopIntegration::connectMpris()
{
    const MprisPlayer *player = m_mpris->player();
    const auto run = [this](const char *handlerName) {
        return [this, handlerName] { m_commands.trigger(QLatin1String(handlerName)); };
    };
    connect(player, &MprisPlayer::nextRequested, this, run("cmdNext_Click"));
    connect(player, &MprisPlayer::previousRequested, this, run("cmdBack_Click"));
    // Play resumes where the medium stood, as the engine's own bar does;
    // Pause and Stop are the window's own.
    connect(player, &MprisPlayer::playRequested, this, run("play"));
    connect(player, &MprisPlayer::pauseRequested, this, run("cmdPause_Click"));
    connect(player, &MprisPlayer::stopRequested, this, run("cmdStop_Click"));
    connect(player, &MprisPlayer::volumeRequested, &m_commands, &Commands::setVolume);
    connect(player, &MprisPlayer::seekRequested, &m_commands, &Commands::seekTo);
    // Opened once the caller has its answer, as for a later start.
    connect(
        player, &MprisPlayer::openRequested, m_opener,
        [this](const QString &address) { m_opener->openArguments({address}, QDir::rootPath()); },
        Qt::QueuedConnection);
    const MprisRoot *root = m_mpris->root();
    connect(root, &MprisRoot::quitRequested, this,
            [this] { m_commands.trigger(QStringLiteral("cmdExit_Click")); });
    connect(root, &MprisRoot::raiseRequested, this, &DesktopIntegration::raiseWindow);
}

void DesktopIntegration::raiseWindow()
{
    if (m_window.isMinimized())
        m_window.showNormal();
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void DesktopIntegration::connectSessionBus()
{
    connectBus(QDBusConnection::sessionBus());
}

QString DesktopIntegration::connectBus(const QDBusConnection &bus)
{
    if (m_mpris->registerOn(bus))
        connectMpris();
    return m_mpris->serviceName();
}

void DesktopIntegration::serve(SingleInstance &instance)
{
    ApplicationService *service = instance.service();
    if (!service)
        return;
    service->setKnownAction(
        [this](const QString &name) { return m_commands.action(name) != nullptr; });
    // Queued: the caller has its answer before anything opens, and a message
    // box about the files cannot hold it past its timeout.
    connect(service, &ApplicationService::activateRequested, this, &DesktopIntegration::raiseWindow,
            Qt::QueuedConnection);
    connect(
        service, &ApplicationService::openRequested, this,
        [this](const QStringList &addresses) {
            raiseWindow();
            m_opener->openArguments(addresses, QDir::rootPath());
        },
        Qt::QueuedConnection);
    connect(service, &ApplicationService::enqueueRequested, m_opener, &MediaOpener::appendAddresses,
            Qt::QueuedConnection);
    connect(
        service, &ApplicationService::actionRequested, this,
        [this](const QString &name) { m_commands.trigger(name); }, Qt::QueuedConnection);
}

void DesktopIntegration::openArguments(const QStringList &files, bool enqueue)
{
    if (files.isEmpty())
        return;
    const QString folder = QDir::currentPath();
    QTimer::singleShot(0, m_opener, [this, files, folder, enqueue] {
        if (enqueue)
            m_opener->appendAddresses(MediaOpener::addressesOf(files, folder));
        else
            m_opener->openArguments(files, folder);
    });
}
