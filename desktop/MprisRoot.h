#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

class Form1;

// The MPRIS root object (org.mpris.MediaPlayer2): who the player is, what it
// opens, and Raise and Quit for the desktop's media controls.
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
    // Serves the window; the adaptor belongs to exported, the object on the bus.
    MprisRoot(Form1 &window, QObject *exported);

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
    // Brings the window to the front, restoring it when minimised.
    void Raise();
    // Ends the player as its Exit command does, once the caller has its answer.
    void Quit();

private:
    Form1 &m_window;
};
