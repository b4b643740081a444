#include "desktop/MprisRoot.h"

#include "app/Form1.h"
#include "core/MimeTypes.h"
#include "commands/window/WindowCommands.h"
#include "core/MediaSource.h"

#include <QTimer>

MprisRoot::MprisRoot(Form1 &window, QObject *exported)
    : QDBusAbstractAdaptor(exported), m_window(window)
{
}

QString MprisRoot::identity() const
{
    return QStringLiteral("Corvel Media Player");
}

QString MprisRoot::desktopEntry() const
{
    return QStringLiteral("org.corvel.MediaPlayer");
}

QStringList MprisRoot::supportedUriSchemes() const
{
    return QStringList{QStringLiteral("file")} + MediaSource::networkSchemes();
}

QStringList MprisRoot::supportedMimeTypes() const
{
    return ::supportedMimeTypes();
}

void MprisRoot::Raise()
{
    if (m_window.isMinimized())
        m_window.showNormal();
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void MprisRoot::Quit()
{
    Form1 *window = &m_window;
    QTimer::singleShot(0, window, [window] {
        window->runHandler([window] { window->windowCommands().cmdExit_Click(); });
    });
}
