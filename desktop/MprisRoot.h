#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

// The MPRIS root object (org.mpris.MediaPlayer2): who the player is, what it
// opens, and Raise and Quit for the desktop's media controls, which it only
// passes on as requests.
class MprisRoot : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool CanSetFullscreen READ canSetFullscreen)
    Q_PROPERTY(bool Fullscreen READ fullscreen)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)

public:
    // The adaptor belongs to exported, the object on the bus.
    explicit MprisRoot(QObject *exported);

    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    // The screen modes are the window's own commands, not the desktop's.
    bool canSetFullscreen() const { return false; }
    bool fullscreen() const { return false; }
    bool hasTrackList() const { return false; }
    QString identity() const;
    QString desktopEntry() const;
    QStringList supportedUriSchemes() const;
    QStringList supportedMimeTypes() const;

public slots:
    // Asks to bring the window to the front.
    void Raise();
    // Asks to end the player, once the caller has its answer.
    void Quit();

signals:
    void raiseRequested();
    void quitRequested();
};
