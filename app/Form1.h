#pragma once

#include <QHash>
#include <QWidget>
#include <functional>
#include <memory>

class CommonDialog;
class CompactView;
class FileBrowser;
class MediaEngine;
class OpenCommand;
class PlayList;
class PlayListFiles;
class PlayListPlayback;
class PositionDisplay;
class QTimer;
class ScreenModes;
class Transport;
class WindowCommands;

// The player's one window. It is built from its stored design, hosts the media
// engine as MPlayer1 and binds every control event to its handler. The engine
// and the common dialog are handed in, so tests can build it with doubles.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    // Builds the window from its design, hosting the engine's widget as MPlayer1.
    Form1(MediaEngine &engine, CommonDialog &dialog, QWidget *parent = nullptr);
    ~Form1() override;

    // A visual control by its design name, or nullptr.
    QWidget *control(const QString &name) const;
    // The control by name as its class, or nullptr.
    template <class T> T *control(const QString &name) const
    {
        return qobject_cast<T *>(control(name));
    }
    // Timer1 or Timer2 by name, or nullptr.
    QTimer *timer(const QString &name) const;
    // The names of all 51 controls, CommonDialog1 included.
    QStringList controlNames() const;

    // The services and subsystems the window was built with.
    MediaEngine &engine() const { return m_engine; }
    CommonDialog &commonDialog() const { return m_dialog; }

    PositionDisplay &positionDisplay() const { return *m_positionDisplay; }
    Transport &transport() const { return *m_transport; }
    PlayList &playList() const { return *m_playList; }
    PlayListFiles &playListFiles() const { return *m_playListFiles; }
    PlayListPlayback &playListPlayback() const { return *m_playListPlayback; }
    FileBrowser &fileBrowser() const { return *m_fileBrowser; }
    OpenCommand &openCommand() const { return *m_openCommand; }
    ScreenModes &screenModes() const { return *m_screenModes; }
    CompactView &compactView() const { return *m_compactView; }
    WindowCommands &windowCommands() const { return *m_windowCommands; }

    // Runs a handler so that an error escaping it is shown in a message box
    // and the window goes on working.
    void runHandler(const std::function<void()> &handler);

private:
    void showError(const QString &message);
    void buildControls();
    void createSubsystems();
    void bindEvents();
    template <class Sender, class Signal>
    void bind(const QString &name, Signal signal, std::function<void()> handler);

    MediaEngine &m_engine;
    CommonDialog &m_dialog;
    QHash<QString, QWidget *> m_controls;
    QHash<QString, QTimer *> m_timers;

    std::unique_ptr<PositionDisplay> m_positionDisplay;
    std::unique_ptr<Transport> m_transport;
    std::unique_ptr<PlayList> m_playList;
    std::unique_ptr<PlayListFiles> m_playListFiles;
    std::unique_ptr<PlayListPlayback> m_playListPlayback;
    std::unique_ptr<FileBrowser> m_fileBrowser;
    std::unique_ptr<OpenCommand> m_openCommand;
    std::unique_ptr<ScreenModes> m_screenModes;
    std::unique_ptr<CompactView> m_compactView;
    std::unique_ptr<WindowCommands> m_windowCommands;
};
