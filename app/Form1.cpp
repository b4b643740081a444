#include "app/Form1.h"

#include "app/ControlFactory.h"
#include "app/FormDesign.h"
#include "commands/Commands.h"
#include "commands/KeyTable.h"
#include "commands/browse/FileBrowser.h"
#include "commands/browse/OpenCommand.h"
#include "commands/playback/EngineCommands.h"
#include "commands/playback/EngineFollower.h"
#include "commands/playback/PositionDisplay.h"
#include "commands/playback/PositionMemory.h"
#include "commands/playback/Transport.h"
#include "commands/playlist/PlayList.h"
#include "commands/playlist/PlayListFiles.h"
#include "commands/playlist/PlayListPlayback.h"
#include "commands/view/CompactView.h"
#include "commands/view/EngineScreen.h"
#include "commands/view/ScreenModes.h"
#include "commands/window/KeyHelp.h"
#include "commands/window/WindowCommands.h"
#include "engine/MediaEngine.h"
#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/LabelButton.h"
#include "widgets/PictureButton.h"
#include "widgets/PlayListBox.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <type_traits>

Form1::Form1(MediaEngine &engine, CommonDialog &dialog, PositionStore *positions, QWidget *parent)
    : QWidget(parent), m_engine(engine), m_dialog(dialog), m_positions(positions),
      m_controls(ControlFactory(*this, engine).build(form1Design())),
      m_commands(new Commands(*this))
{
    createSubsystems();
    bindEvents();
    bindKeys();
}

Form1::~Form1() = default;

void Form1::createSubsystems()
{
    const Form1Controls &c = m_controls;
    m_positionDisplay = new PositionDisplay(m_engine, PositionDisplay::Controls(c), this);
    m_engineFollower = new EngineFollower(m_engine, *m_positionDisplay, *c.Timer1, this);
    m_transport = new Transport(m_engine, *m_positionDisplay, *m_engineFollower,
                                Transport::Controls(c), this);
    m_playList = new PlayList(m_engine, m_dialog, PlayList::Controls(c), this);
    m_playListFiles = new PlayListFiles(m_dialog, *c.PlayList1, this);
    m_playListPlayback = new PlayListPlayback(m_engine, m_dialog, *c.PlayList1, *c.PLName, this);
    m_fileBrowser =
        new FileBrowser(m_engine, m_dialog, *c.Timer1, *c.Drives, *c.Folders, *c.FileList, this);
    m_openCommand = new OpenCommand(m_dialog, OpenCommand::Controls(c), this);
    m_screenModes = new ScreenModes(c, this);
    m_compactView = new CompactView(*this, this);
    m_engineScreen = new EngineScreen(m_engine, *this, this);
    m_windowCommands = new WindowCommands(*this, m_dialog, WindowCommands::Controls(c), this);
    m_engineCommands = new EngineCommands(m_engine, *m_commands, this);
    // Before the end-of-stream handler is bound, so it sees the medium that ended.
    m_positionMemory =
        new PositionMemory(m_engine, m_positions, *m_engineCommands, *m_positionDisplay, this);
    m_keyHelp = new KeyHelp(*this, this);
}

template <class Sender, class Signal, class Handlers>
void Form1::bind(Sender *control, Signal signal, const char *handlerName, Handlers *handlers,
                 void (Handlers::*handler)())
{
    QAction *action = m_commands->add(handlerName, handlers, handler);
    connect(control, signal, action, &QAction::trigger);
    if constexpr (std::is_base_of_v<QWidget, Sender>)
        m_commands->followEnabled(action, *control);
}

void Form1::bindKeys()
{
    // Commands that only keys start.
    auto *engine = m_engineCommands;
    m_commands->add("playPause", engine, &EngineCommands::playPause);
    m_commands->add("play", engine, &EngineCommands::play);
    m_commands->add("seekBackward", engine, &EngineCommands::seekBackward);
    m_commands->add("seekForward", engine, &EngineCommands::seekForward);
    m_commands->add("seekBackwardLong", engine, &EngineCommands::seekBackwardLong);
    m_commands->add("seekForwardLong", engine, &EngineCommands::seekForwardLong);
    m_commands->add("volumeUp", engine, &EngineCommands::volumeUp);
    m_commands->add("volumeDown", engine, &EngineCommands::volumeDown);
    m_commands->add("muteOrUnMute", engine, &EngineCommands::muteOrUnMute);
    m_commands->add("showKeys", m_keyHelp, &KeyHelp::showKeys);
    m_commands->add("acceptResume", m_positionMemory, &PositionMemory::acceptOffer);

    const Form1Controls &c = m_controls;
    m_commands->addKeys(keyTable(), {{QStringLiteral("PlayList1"), c.PlayList1},
                                     {QStringLiteral("FileList"), c.FileList},
                                     {QStringLiteral("Folders"), c.Folders},
                                     {QStringLiteral("Drives"), c.Drives}});
}

void Form1::bindEvents()
{
    const Form1Controls &c = m_controls;
    auto *display = m_positionDisplay;
    auto *transport = m_transport;
    auto *list = m_playList;
    auto *files = m_playListFiles;
    auto *whole = m_playListPlayback;
    auto *browser = m_fileBrowser;
    auto *modes = m_screenModes;
    auto *compact = m_compactView;
    auto *window = m_windowCommands;

    bind(c.FileList, &FileListBox::listClick, "FileList_Click", browser,
         &FileBrowser::FileList_Click);
    bind(c.Folders, &FolderList::pathChange, "Folders_Change", browser,
         &FileBrowser::Folders_Change);
    bind(c.Drives, &DriveList::driveChange, "Drives_Change", browser, &FileBrowser::Drives_Change);
    bind(c.cmdOpen, &QPushButton::clicked, "cmdOpen_Click", m_openCommand,
         &OpenCommand::cmdOpen_Click);
    bind(c.cmdExit, &LabelButton::clicked, "cmdExit_Click", window, &WindowCommands::cmdExit_Click);
    bind(c.cmdChangeBackground, &LabelButton::clicked, "cmdChangeBackground_Click", window,
         &WindowCommands::cmdChangeBackground_Click);

    bind(c.cmdPlay, &PictureButton::clicked, "cmdPlay_Click", transport, &Transport::cmdPlay_Click);
    bind(c.cmdPause, &PictureButton::clicked, "cmdPause_Click", transport,
         &Transport::cmdPause_Click);
    bind(c.cmdStop, &PictureButton::clicked, "cmdStop_Click", transport, &Transport::cmdStop_Click);
    bind(c.cmdFast, &QPushButton::clicked, "cmdFast_Click", transport, &Transport::cmdFast_Click);
    bind(c.cmdRev, &QPushButton::clicked, "cmdRev_Click", transport, &Transport::cmdRev_Click);
    bind(c.cmdMute, &PictureButton::clicked, "cmdMute_Click", transport, &Transport::cmdMute_Click);
    bind(c.cmdUnMute, &PictureButton::clicked, "cmdUnMute_Click", transport,
         &Transport::cmdUnMute_Click);
    bind(c.cmdRepeat, &QPushButton::clicked, "cmdRepeat_Click", transport,
         &Transport::cmdRepeat_Click);

    bind(c.Timer1, &QTimer::timeout, "Timer1_Timer", display, &PositionDisplay::Timer1_Timer);
    bind(&m_engine, &MediaEngine::endOfStream, "MPlayer1_EndOfStream", display,
         &PositionDisplay::MPlayer1_EndOfStream);

    bind(c.cmdAdd, &LabelButton::clicked, "cmdAdd_Click", list, &PlayList::cmdAdd_Click);
    bind(c.cmdRemove, &LabelButton::clicked, "cmdRemove_Click", list, &PlayList::cmdRemove_Click);
    bind(c.cmdNewList, &LabelButton::clicked, "cmdNewList_Click", list,
         &PlayList::cmdNewList_Click);
    bind(c.cmdNext, &QPushButton::clicked, "cmdNext_Click", list, &PlayList::cmdNext_Click);
    bind(c.cmdBack, &QPushButton::clicked, "cmdBack_Click", list, &PlayList::cmdBack_Click);
    bind(c.PlayList1, &PlayListBox::listClick, "PlayList1_Click", list, &PlayList::PlayList1_Click);

    bind(c.cmdLoadList, &LabelButton::clicked, "cmdLoadList_Click", files,
         &PlayListFiles::cmdLoadList_Click);
    bind(c.cmdSaveList, &LabelButton::clicked, "cmdSaveList_Click", files,
         &PlayListFiles::cmdSaveList_Click);

    bind(c.cmdPLLoad, &LabelButton::clicked, "cmdPLLoad_Click", whole,
         &PlayListPlayback::cmdPLLoad_Click);
    bind(c.cmdGenerate, &QPushButton::clicked, "cmdGenerate_Click", whole,
         &PlayListPlayback::cmdGenerate_Click);
    bind(c.cmdPlsi, &QPushButton::clicked, "cmdPlsi_Click", whole,
         &PlayListPlayback::cmdPlsi_Click);

    bind(c.cmdFullScreen, &QPushButton::clicked, "cmdFullScreen_Click", modes,
         &ScreenModes::cmdFullScreen_Click);
    bind(c.cmdMedium, &QPushButton::clicked, "cmdMedium_Click", modes,
         &ScreenModes::cmdMedium_Click);
    bind(c.cmdSmallScreen, &QPushButton::clicked, "cmdSmallScreen_Click", modes,
         &ScreenModes::cmdSmallScreen_Click);
    bind(c.cmdOriginal, &QPushButton::clicked, "cmdOriginal_Click", modes,
         &ScreenModes::cmdOriginal_Click);

    bind(c.cmdResize, &LabelButton::clicked, "cmdResize_Click", compact,
         &CompactView::cmdResize_Click);
    bind(c.cmdMinimize, &LabelButton::clicked, "cmdMinimize_Click", compact,
         &CompactView::cmdMinimize_Click);

    // The engine's own full screen, by key only.
    m_engineScreen->bindKeys(*m_commands->add("MPlayer1_ToggleFullScreen", m_engineScreen,
                                              &EngineScreen::toggleFullScreen),
                             *m_commands->add("MPlayer1_LeaveFullScreen", m_engineScreen,
                                              &EngineScreen::leaveFullScreen));

    // Media from outside the window.
    connect(m_commands, &Commands::listReplaceRequested, list, &PlayList::replaceEntries);
    connect(m_commands, &Commands::listAppendRequested, list, &PlayList::appendEntries);
    connect(m_commands, &Commands::playListFileRequested, whole,
            &PlayListPlayback::loadPlayListFile);
    connect(m_commands, &Commands::seekRequested, m_engineCommands, &EngineCommands::seekTo);
    connect(m_commands, &Commands::volumeRequested, m_engineCommands, &EngineCommands::setVolume);
}
