#include "commands/KeyTable.h"

#include <QStringList>

namespace {

constexpr const char *playList = "in the play list";

} // namespace

QList<QKeySequence> KeyBinding::sequences() const
{
    return QKeySequence::listFromString(QLatin1String(keys), QKeySequence::PortableText);
}

QString KeyBinding::keyText() const
{
    QStringList shown;
    for (const QKeySequence &sequence : sequences())
        shown << sequence.toString(QKeySequence::NativeText)
                     .replace(QLatin1String("Num+"), QLatin1String("Keypad "));
    return shown.join(QLatin1String(", "));
}

// Where mpv and VLC agree, their keys; the rest follow desktop habits
// (Ctrl+O, Ctrl+Q, Ctrl+0 for the original size).
const std::vector<KeyBinding> &keyTable()
{
    static const std::vector<KeyBinding> table = {
        {"Space; Media Play; Toggle Media Play/Pause",
         "Pause or resume the medium (not while typing in a text box)", "playPause"},
        {"Left", "Back 5 seconds", "seekBackward"},
        {"Right", "Forward 5 seconds", "seekForward"},
        {"Ctrl+Left", "Back 60 seconds", "seekBackwardLong"},
        {"Ctrl+Right", "Forward 60 seconds", "seekForwardLong"},
        {"Ctrl+R", "Resume where the video was left (while offered; Enter too)", "acceptResume"},
        {"Up; Num++", "Volume up by 5", "volumeUp"},
        {"Down; Num+-", "Volume down by 5", "volumeDown"},
        {"M", "Mute; Un Mute when the volume is 0", "muteOrUnMute"},
        {"Ctrl+Return", "Play the selected play-list entry", "cmdPlay_Click"},
        {"Pause; Media Pause", "Pause", "cmdPause_Click"},
        {"S; Media Stop", "Stop", "cmdStop_Click"},
        {"]", "Fast forward", "cmdFast_Click"},
        {"[", "Fast reverse", "cmdRev_Click"},
        {"R", "Repeat (while it is enabled)", "cmdRepeat_Click"},

        {"N; Media Next", "Next entry", "cmdNext_Click"},
        {"P; Media Previous", "Previous entry", "cmdBack_Click"},
        {"Up; Down; Home; End; PgUp; PgDown", "Go to an entry and play it", "PlayList1_Click",
         "PlayList1", playList, true},
        {"Return; Enter", "Play the highlighted entry", "PlayList1_Click", "PlayList1", playList,
         true},
        {"Ins", "Add a file to the play list", "cmdAdd_Click"},
        {"Del", "Remove the selected entry", "cmdRemove_Click", "PlayList1", playList},
        {"Ctrl+N", "New list", "cmdNewList_Click"},
        {"Ctrl+L", "Load a list", "cmdLoadList_Click"},
        {"Ctrl+S", "Save the list", "cmdSaveList_Click"},
        {"Ctrl+G", "Generate the Windows Media play list", "cmdGenerate_Click"},
        {"Ctrl+P", "Play the generated list (Play Simultenously)", "cmdPlsi_Click"},
        {"Ctrl+Shift+O", "Load a play-list file", "cmdPLLoad_Click"},

        {"Ctrl+O", "Open a file", "cmdOpen_Click"},
        {"Up; Down; Home; End; PgUp; PgDown; Return; Enter", "Play a file", "FileList_Click",
         "FileList", "in the file list", true},
        {"Return; Enter", "Open the highlighted folder", "Folders_Change", "Folders",
         "in the folder list", true},
        {"Backspace", "Open the folder above", "Folders_Change", "Folders", "in the folder list",
         true},
        {"Up; Down", "Another drive", "Drives_Change", "Drives", "in the drive list", true},

        {"F; F11", "The engine's picture on the whole screen, or back (not while typing)",
         "MPlayer1_ToggleFullScreen"},
        {"Esc", "Leave the whole screen", "MPlayer1_LeaveFullScreen", nullptr, "in full screen"},
        {"Ctrl+1", "Full screen mode", "cmdFullScreen_Click"},
        {"Ctrl+2", "Medium screen mode", "cmdMedium_Click"},
        {"Ctrl+3", "Small screen mode", "cmdSmallScreen_Click"},
        {"Ctrl+0", "Original screen mode", "cmdOriginal_Click"},
        {"Ctrl+H", "Compact view", "cmdResize_Click"},
        {"Ctrl+M", "Minimise", "cmdMinimize_Click"},
        {"Ctrl+B", "Background colour", "cmdChangeBackground_Click"},
        {"Ctrl+Q", "Exit", "cmdExit_Click"},
        {"F1; ?", "This list of keys", "showKeys"},
        {"Tab; Shift+Tab", "Next or previous control"},
        {"Return; Enter", "Press the focused button", nullptr, nullptr, "on a button"},
    };
    return table;
}
