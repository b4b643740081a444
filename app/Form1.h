#pragma once

#include "widgets/Form1Controls.h"

#include <QWidget>

class Commands;
class CommonDialog;
class CompactView;
class EngineCommands;
class EngineFollower;
class EngineScreen;
class FileBrowser;
class KeyHelp;
class MediaEngine;
class OpenCommand;
class PlayList;
class PlayListFiles;
class PlayListPlayback;
class PositionDisplay;
class ScreenModes;
class Transport;
class WindowCommands;

// The player's one window. It is built from its stored design, hosts the media
// engine as MPlayer1 and binds every control event to the action of its
// handler. The engine and the common dialog are handed in, so tests can build
// it with doubles.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    // Builds the window from its design, hosting the engine's widget as MPlayer1.
    Form1(MediaEngine &engine, CommonDialog &dialog, QWidget *parent = nullptr);
    ~Form1() override;

    // The window's commands: one action per handler, and the requests that
    // bring media from outside the window to the play list.
    Commands &commands() const { return *m_commands; }
    // The play list, to read and to watch.
    const PlayListBox &playList() const { return *m_controls.PlayList1; }

private:
    void createSubsystems();
    void bindEvents();
    void bindKeys();
    template <class Sender, class Signal, class Handlers>
    void bind(Sender *control, Signal signal, const char *handlerName, Handlers *handlers,
              void (Handlers::*handler)());

    MediaEngine &m_engine;
    CommonDialog &m_dialog;
    Form1Controls m_controls;
    Commands *m_commands;

    // The subsystems, children of the window.
    PositionDisplay *m_positionDisplay = nullptr;
    EngineFollower *m_engineFollower = nullptr;
    Transport *m_transport = nullptr;
    PlayList *m_playList = nullptr;
    PlayListFiles *m_playListFiles = nullptr;
    PlayListPlayback *m_playListPlayback = nullptr;
    FileBrowser *m_fileBrowser = nullptr;
    OpenCommand *m_openCommand = nullptr;
    ScreenModes *m_screenModes = nullptr;
    CompactView *m_compactView = nullptr;
    EngineScreen *m_engineScreen = nullptr;
    WindowCommands *m_windowCommands = nullptr;
    EngineCommands *m_engineCommands = nullptr;
    KeyHelp *m_keyHelp = nullptr;
};
