#pragma once

#include <QObject>
#include <QStringList>

class Commands;
class QDBusConnection;
class CommonDialog;
class DropHandler;
class MediaEngine;
class MediaOpener;
class MprisService;
class PlayListBox;
class QWidget;

// What ties the window to the desktop: files from the command line and from
// drops, and MPRIS for the media keys. It reaches the window only through its
// commands, reads the play list and drives the engine as its own control bar
// does. With no argument, no drop and no bus the window behaves exactly as it
// would without it.
class DesktopIntegration : public QObject
{
    Q_OBJECT
public:
    // Works for this window, whose commands and play list are given.
    DesktopIntegration(QWidget &window, Commands &commands, const PlayListBox &playList,
                       MediaEngine &engine, CommonDialog &dialog, QObject *parent = nullptr);
    ~DesktopIntegration() override;

    // Registers the MPRIS objects on the session bus, or logs once that
    // there is none.
    void connectSessionBus();
    // The same on this bus; returns the name taken, "" when none could be.
    QString connectBus(const QDBusConnection &bus);
    // Opens the command line's files once the event loop runs, so the window
    // is on screen before anything plays or a message box comes up.
    void openArguments(const QStringList &files);

private:
    void connectMpris();
    void raiseWindow();

    QWidget &m_window;
    Commands &m_commands;
    MediaEngine &m_engine;
    MediaOpener *m_opener;
    DropHandler *m_drops;
    MprisService *m_mpris;
};
