#include "desktop/MprisRoot.h"

#include "core/MediaSource.h"
#include "core/MediaTypes.h"

#include <QTimer>

MprisRoot::MprisRoot(QObject *exported) : QDBusAbstractAdaptor(exported) {}

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
    return MediaTypes::mimeTypes();
}

void MprisRoot::Raise()
{
    emit raiseRequested();
}

void MprisRoot::Quit()
{
    QTimer::singleShot(0, this, [this] { emit quitRequested(); });
}
