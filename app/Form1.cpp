#include "app/Form1.h"

#include "app/ControlFactory.h"
#include "app/FormDesign.h"
#include "widgets/LabelButton.h"
#include "widgets/PictureButton.h"
#include "widgets/Pictures.h"
#include "widgets/Twips.h"
#include "commands/window/WindowCommands.h"
#include "widgets/CommonDialog.h"
#include "widgets/DriveList.h"
#include "commands/browse/FileBrowser.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "commands/browse/OpenCommand.h"
#include "engine/MediaEngine.h"
#include "commands/playback/PositionDisplay.h"
#include "commands/playback/Transport.h"
#include "commands/playlist/PlayList.h"
#include "widgets/PlayListBox.h"
#include "commands/playlist/PlayListFiles.h"
#include "commands/playlist/PlayListPlayback.h"
#include "commands/view/CompactView.h"
#include "commands/view/ScreenModes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <exception>

Form1::Form1(MediaEngine &engine, CommonDialog &dialog, QWidget *parent)
    : QWidget(parent), m_engine(engine), m_dialog(dialog)
{
    buildControls();
    createSubsystems();
    bindEvents();
}

Form1::~Form1() = default;

QWidget *Form1::control(const QString &name) const
{
    return m_controls.value(name);
}

QTimer *Form1::timer(const QString &name) const
{
    return m_timers.value(name);
}

QStringList Form1::controlNames() const
{
    QStringList names = m_controls.keys();
    names << m_timers.keys() << QStringLiteral("CommonDialog1");
    return names;
}

void Form1::buildControls()
{
    const FormDesign &design = form1Design();
    ControlFactory factory(*this, m_engine);
    factory.styleWindow(design);
    // Created back to front, so each control is stacked over the ones before.
    for (auto it = design.controls.rbegin(); it != design.controls.rend(); ++it) {
        switch (it->kind) {
        case ControlKind::Timer:
            m_timers.insert(QLatin1String(it->name), factory.createTimer(*it));
            break;
        case ControlKind::CommonDialog:
            break; // the injected dialog service
        default:
            m_controls.insert(QLatin1String(it->name), factory.createControl(*it));
        }
    }
    factory.setTabOrder(design, m_controls);
}

void Form1::createSubsystems()
{
    auto &timer1 = *timer(QStringLiteral("Timer1"));
    auto &playList1 = *control<PlayListBox>(QStringLiteral("PlayList1"));
    auto &pfname = *control<QLineEdit>(QStringLiteral("pfname"));
    auto &text1 = *control<QLineEdit>(QStringLiteral("Text1"));
    auto &text2 = *control<QLineEdit>(QStringLiteral("Text2"));
    auto &text4 = *control<QLineEdit>(QStringLiteral("Text4"));
    auto &cmdRepeat = *control<QPushButton>(QStringLiteral("cmdRepeat"));

    m_positionDisplay = std::make_unique<PositionDisplay>(m_engine, timer1, text1, text2, text4,
                                                          cmdRepeat, playList1, pfname);
    m_transport = std::make_unique<Transport>(m_engine, *m_positionDisplay, timer1, playList1,
                                              pfname, text1, text2, cmdRepeat);
    m_playList =
        std::make_unique<PlayList>(m_engine, m_dialog, playList1, timer1, pfname, text1, text2);
    m_playListFiles = std::make_unique<PlayListFiles>(m_dialog, playList1);
    m_playListPlayback = std::make_unique<PlayListPlayback>(
        m_engine, m_dialog, playList1, *control<QLineEdit>(QStringLiteral("PLName")));
    m_fileBrowser = std::make_unique<FileBrowser>(
        m_engine, timer1, *control<DriveList>(QStringLiteral("Drives")),
        *control<FolderList>(QStringLiteral("Folders")),
        *control<FileListBox>(QStringLiteral("FileList")));
    m_openCommand =
        std::make_unique<OpenCommand>(m_dialog, playList1, timer1, cmdRepeat, text1, text2);
    m_screenModes = std::make_unique<ScreenModes>(*control(QStringLiteral("MPlayer1")), m_controls);
    m_compactView = std::make_unique<CompactView>(*this);
    m_windowCommands = std::make_unique<WindowCommands>(
        *this, timer1, m_dialog, *control<QLabel>(QStringLiteral("Label1")),
        *control<QLabel>(QStringLiteral("Label2")), *control<QLabel>(QStringLiteral("Label3")));
}

void Form1::runHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        showError(QString::fromUtf8(error.what()));
    } catch (...) {
        showError(QStringLiteral("An unexpected error stopped this command."));
    }
}

void Form1::showError(const QString &message)
{
    m_dialog.showMessage(message, QStringLiteral("Error"));
}

template <class Sender, class Signal>
void Form1::bind(const QString &name, Signal signal, std::function<void()> handler)
{
    Sender *sender = nullptr;
    if constexpr (std::is_same_v<Sender, QTimer>)
        sender = timer(name);
    else
        sender = control<Sender>(name);
    Q_ASSERT(sender);
    connect(sender, signal, this, [this, handler = std::move(handler)] { runHandler(handler); });
}

void Form1::bindEvents()
{
    auto *display = m_positionDisplay.get();
    auto *transport = m_transport.get();
    auto *list = m_playList.get();
    auto *files = m_playListFiles.get();
    auto *whole = m_playListPlayback.get();
    auto *browser = m_fileBrowser.get();
    auto *modes = m_screenModes.get();
    auto *compact = m_compactView.get();
    auto *window = m_windowCommands.get();

    bind<FileListBox>("FileList", &FileListBox::listClick, [=] { browser->FileList_Click(); });
    bind<FolderList>("Folders", &FolderList::pathChange, [=] { browser->Folders_Change(); });
    // A folder opened by double-click that cannot be read is no handler's
    // error, but the user still has to learn why nothing happened.
    connect(control<FolderList>(QStringLiteral("Folders")), &FolderList::openFailed, this,
            [this](const QString &message) { showError(message); });
    bind<DriveList>("Drives", &DriveList::driveChange, [=] { browser->Drives_Change(); });
    bind<QPushButton>("cmdOpen", &QPushButton::clicked,
                      [cmd = m_openCommand.get()] { cmd->cmdOpen_Click(); });
    bind<LabelButton>("cmdExit", &LabelButton::clicked, [=] { window->cmdExit_Click(); });
    bind<LabelButton>("cmdChangeBackground", &LabelButton::clicked,
                      [=] { window->cmdChangeBackground_Click(); });

    bind<PictureButton>("cmdPlay", &PictureButton::clicked, [=] { transport->cmdPlay_Click(); });
    bind<PictureButton>("cmdPause", &PictureButton::clicked, [=] { transport->cmdPause_Click(); });
    bind<PictureButton>("cmdStop", &PictureButton::clicked, [=] { transport->cmdStop_Click(); });
    bind<QPushButton>("cmdFast", &QPushButton::clicked, [=] { transport->cmdFast_Click(); });
    bind<QPushButton>("cmdRev", &QPushButton::clicked, [=] { transport->cmdRev_Click(); });
    bind<PictureButton>("cmdMute", &PictureButton::clicked, [=] { transport->cmdMute_Click(); });
    bind<PictureButton>("cmdUnMute", &PictureButton::clicked,
                        [=] { transport->cmdUnMute_Click(); });
    bind<QPushButton>("cmdRepeat", &QPushButton::clicked, [=] { transport->cmdRepeat_Click(); });

    bind<QTimer>("Timer1", &QTimer::timeout, [=] { display->Timer1_Timer(); });
    connect(&m_engine, &MediaEngine::endOfStream, this,
            [this, display] { runHandler([display] { display->MPlayer1_EndOfStream(); }); });

    bind<LabelButton>("cmdAdd", &LabelButton::clicked, [=] { list->cmdAdd_Click(); });
    bind<LabelButton>("cmdRemove", &LabelButton::clicked, [=] { list->cmdRemove_Click(); });
    bind<LabelButton>("cmdNewList", &LabelButton::clicked, [=] { list->cmdNewList_Click(); });
    bind<QPushButton>("cmdNext", &QPushButton::clicked, [=] { list->cmdNext_Click(); });
    bind<QPushButton>("cmdBack", &QPushButton::clicked, [=] { list->cmdBack_Click(); });
    bind<PlayListBox>("PlayList1", &PlayListBox::listClick, [=] { list->PlayList1_Click(); });

    bind<LabelButton>("cmdLoadList", &LabelButton::clicked, [=] { files->cmdLoadList_Click(); });
    bind<LabelButton>("cmdSaveList", &LabelButton::clicked, [=] { files->cmdSaveList_Click(); });

    bind<LabelButton>("cmdPLLoad", &LabelButton::clicked, [=] { whole->cmdPLLoad_Click(); });
    bind<QPushButton>("cmdGenerate", &QPushButton::clicked, [=] { whole->cmdGenerate_Click(); });
    bind<QPushButton>("cmdPlsi", &QPushButton::clicked, [=] { whole->cmdPlsi_Click(); });

    bind<QPushButton>("cmdFullScreen", &QPushButton::clicked,
                      [=] { modes->cmdFullScreen_Click(); });
    bind<QPushButton>("cmdMedium", &QPushButton::clicked, [=] { modes->cmdMedium_Click(); });
    bind<QPushButton>("cmdSmallScreen", &QPushButton::clicked,
                      [=] { modes->cmdSmallScreen_Click(); });
    bind<QPushButton>("cmdOriginal", &QPushButton::clicked, [=] { modes->cmdOriginal_Click(); });

    bind<LabelButton>("cmdResize", &LabelButton::clicked, [=] { compact->cmdResize_Click(); });
    bind<LabelButton>("cmdMinimize", &LabelButton::clicked, [=] { compact->cmdMinimize_Click(); });
}
