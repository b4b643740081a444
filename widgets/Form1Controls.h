#pragma once

class DriveList;
class FileListBox;
class FolderList;
class LabelButton;
class PictureButton;
class PlayListBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

// The window's controls by their design names, as the factory builds them
// from the design table; the window owns them all. Each subsystem is handed
// the ones it works on. CommonDialog1 is the dialog service, not a control.
struct Form1Controls
{
    // The engine's area: its video and its own control bar.
    QWidget *MPlayer1 = nullptr;

    // The transport row over the engine's lowest strip.
    PictureButton *cmdPlay = nullptr;
    PictureButton *cmdPause = nullptr;
    PictureButton *cmdStop = nullptr;
    QPushButton *cmdBack = nullptr;
    PictureButton *cmdMute = nullptr;
    PictureButton *cmdUnMute = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdFast = nullptr;
    QPushButton *cmdRev = nullptr;

    // The screen modes, Repeat, and the compact view and minimise labels.
    QPushButton *cmdFullScreen = nullptr;
    QPushButton *cmdMedium = nullptr;
    QPushButton *cmdSmallScreen = nullptr;
    QPushButton *cmdOriginal = nullptr;
    QPushButton *cmdRepeat = nullptr;
    LabelButton *cmdMinimize = nullptr;
    LabelButton *cmdResize = nullptr;

    // Status, the path of the current medium and the whole-list commands.
    LabelButton *lblStatus = nullptr;
    QLineEdit *Text4 = nullptr;
    QLineEdit *pfname = nullptr;
    QPushButton *cmdPlsi = nullptr;
    LabelButton *cmdPLLoad = nullptr;
    QLineEdit *PLName = nullptr;
    QPushButton *cmdOpen = nullptr;
    QPushButton *cmdGenerate = nullptr;

    // The time fields and their labels.
    LabelButton *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    LabelButton *Label2 = nullptr;
    QLineEdit *Text2 = nullptr;
    LabelButton *Label3 = nullptr;
    QLineEdit *Text3 = nullptr;

    // The window commands.
    LabelButton *cmdChangeBackground = nullptr;
    LabelButton *cmdExit = nullptr;

    // The play list and its commands.
    LabelButton *lblPlayList = nullptr;
    PlayListBox *PlayList1 = nullptr;
    LabelButton *cmdAdd = nullptr;
    LabelButton *cmdRemove = nullptr;
    LabelButton *cmdNewList = nullptr;
    LabelButton *cmdLoadList = nullptr;
    LabelButton *cmdSaveList = nullptr;

    // The file browser with its headings.
    LabelButton *Label4 = nullptr;
    FileListBox *FileList = nullptr;
    LabelButton *Label5 = nullptr;
    FolderList *Folders = nullptr;
    LabelButton *Label6 = nullptr;
    DriveList *Drives = nullptr;
    LabelButton *Label7 = nullptr;
    QComboBox *cmbFileType = nullptr;

    // The position timer and the one that never fires.
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
};
