#include "desktop/DesktopIntegration.h"

#include "desktop/DropHandler.h"
#include "app/Form1.h"
#include "desktop/MediaOpener.h"
#include "desktop/MprisService.h"

#include <QDBusConnection>
#include <QDir>
#include <QTimer>

DesktopIntegration::DesktopIntegration(Form1 &window, QObject *parent)
    : QObject(parent), m_window(window), m_opener(new MediaOpener(window, this)),
      m_drops(new DropHandler(window, *m_opener, this)), m_mpris(new MprisService(window, this))
{
}

DesktopIntegration::~DesktopIntegration() = default;

void DesktopIntegration::connectSessionBus()
{
    m_mpris->registerOn(QDBusConnection::sessionBus());
}

void DesktopIntegration::openArguments(const QStringList &files)
{
    if (files.isEmpty())
        return;
    const QString folder = QDir::currentPath();
    QTimer::singleShot(0, m_opener, [this, files, folder] { m_opener->openArguments(files, folder); });
}
