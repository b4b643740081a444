#pragma once

#include <QObject>
#include <QStringList>

class Commands;
class QDBusConnection;
class SingleInstance;
class CommonDialog;
class DropHandler;
class MediaEngine;
class MediaOpener;
class MprisService;
class PlayListBox;
class QWidget;

// What ties the window to the desktop: files from the command line, from
// later starts and from drops, and MPRIS for the media keys. It reaches the
// window and its engine only through the window's commands (a dropped
// subtitle file aside, which joins the video the engine plays);
// it reads the play list and the engine. With no argument, no drop and no
// bus the window behaves exactly as it would without it.
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
    // Takes the files of later starts and of the desktop when this player
    // owns the application name: they are opened as this player's own
    // command line is, and the window comes to the front.
    void serve(SingleInstance &instance);
    // Opens the command line's files once the event loop runs, so the window
    // is on screen before anything plays or a message box comes up; with
    // enqueue they are appended as dropped files are.
    void openArguments(const QStringList &files, bool enqueue = false);

private:
    void connectMpris();
    void raiseWindow();

    QWidget &m_window;
    Commands &m_commands;
    MediaOpener *m_opener;
    DropHandler *m_drops;
    MprisService *m_mpris;
};
