#include "app/FormDesign.h"

#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/Form1Controls.h"
#include "widgets/LabelButton.h"
#include "widgets/PictureButton.h"
#include "widgets/PlayListBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using K = ControlKind;
using C = Form1Controls;

// Platform system colours the design refers to.
constexpr int WindowBackground = 5;
constexpr int WindowFrame = 6;
constexpr int Highlight = 13;
constexpr int HighlightText = 14;

DesignColour sys(int index)
{
    return DesignColour::system(index);
}
DesignColour rgb(int value)
{
    return DesignColour::rgb(value);
}
const DesignColour none{};

constexpr int green = 0x008000;

DesignFont font(const char *family, double size, bool bold = false)
{
    return DesignFont{family, size, bold, false};
}
const DesignFont sansBold = font("MS Sans Serif", 8.25, true);
const DesignFont timesBold = font("Times New Roman", 9.75, true);

DesignLook textOnly(DesignColour text, DesignFont f = {})
{
    DesignLook look;
    look.font = f;
    look.text = text;
    return look;
}
DesignLook look(DesignFont f, DesignColour background, DesignColour text, bool border = false,
                bool centred = false)
{
    DesignLook l;
    l.font = f;
    l.background = background;
    l.text = text;
    l.border = border;
    l.centred = centred;
    return l;
}
DesignLook picture(Picture p)
{
    DesignLook l;
    l.picture = p;
    return l;
}
DesignLook timer(int interval, bool enabled)
{
    DesignLook l;
    l.timerInterval = interval;
    l.timerEnabled = enabled;
    return l;
}

// The browser headings share one look.
const DesignLook heading = look(sansBold, sys(WindowBackground), sys(Highlight), true, true);
const DesignLook listCommand = look(sansBold, sys(HighlightText), rgb(green), true);
const DesignLook timeLabel = look(timesBold, sys(WindowBackground), rgb(green));

FormDesign build()
{
    FormDesign f;
    f.caption = "Corvel Media Player 2.6";
    f.clientWidth = 14835;
    f.clientHeight = 11235;
    f.background = sys(HighlightText);
    f.text = sys(Highlight);
    f.defaultFont = font("MS Sans Serif", 8.25);

    DesignLook loadList = listCommand;
    loadList.text = rgb(0xFF00FF);
    DesignLook add = listCommand;
    add.text = rgb(0x0000C0);
    DesignLook resize = look(font("Webdings", 8.25), sys(HighlightText), rgb(green), true, true);
    resize.font.symbol = true;

    // clang-format off
    f.controls = {
        {"FileList", K::FileList, "", "", 11760, 1080, 2655, 1650, 45, textOnly(sys(Highlight)), &C::FileList},
        {"cmdPlsi", K::PushButton, "Play Simultenously", "Play every entry of the play list", 1680, 9600, 1695, 375, 43, {}, &C::cmdPlsi},
        {"cmdPause", K::PictureButton, "", "Pause", 480, 7680, 495, 495, 42, picture(Picture::Pause), &C::cmdPause},
        {"cmdOriginal", K::PushButton, "Original", "Original Screen", 2520, 10200, 855, 375, 41, {}, &C::cmdOriginal},
        {"cmdUnMute", K::PictureButton, "", "Un Mute", 3840, 7680, 495, 495, 40, picture(Picture::UnMute), &C::cmdUnMute},
        {"pfname", K::TextBox, "", "", 3720, 9600, 4095, 375, 39, textOnly(sys(WindowFrame), sansBold), &C::pfname},
        {"cmbFileType", K::ComboBox, "Type Of Media Files", "", 12240, 6600, 2295, 315, 38, textOnly(sys(Highlight)), &C::cmbFileType},
        {"CommonDialog1", K::CommonDialog, "", "", 0, 0, 0, 0, -1, {}},
        {"Text4", K::TextBox, "", "", 960, 9000, 1935, 375, 37, textOnly(sys(Highlight)), &C::Text4},
        {"cmdRev", K::PushButton, "<<", "Fast Reverse", 5160, 7680, 495, 495, 35, textOnly(none, font("MS Serif", 9.75, true)), &C::cmdRev},
        {"cmdFast", K::PushButton, ">>", "Fast Forward", 4680, 7680, 495, 495, 34, textOnly(none, font("MS Serif", 9.75, true)), &C::cmdFast},
        {"cmdBack", K::PushButton, "<", "Previous", 1440, 7680, 375, 450, 33, textOnly(none, font("MS Sans Serif", 12, true)), &C::cmdBack},
        {"cmdNext", K::PushButton, ">", "Next", 4320, 7680, 375, 450, 32, textOnly(none, font("MS Sans Serif", 12, true)), &C::cmdNext},
        {"cmdRepeat", K::PushButton, "Repeat", "Repeat", 3480, 10200, 855, 375, 31, {}, &C::cmdRepeat},
        {"cmdSmallScreen", K::PushButton, "Small ", "Small Screen", 1680, 10200, 855, 375, 30, {}, &C::cmdSmallScreen},
        {"cmdMedium", K::PushButton, "Medium", "Midium Screen", 840, 10200, 855, 375, 29, {}, &C::cmdMedium},
        {"cmdFullScreen", K::PushButton, "Full", "Full Screen", 120, 10200, 735, 375, 28, {}, &C::cmdFullScreen},
        {"cmdGenerate", K::PushButton, "Generate", "", 8640, 9960, 1095, 375, 24, {}, &C::cmdGenerate},
        {"PLName", K::TextBox, "", "", 6120, 9000, 3495, 375, 23, textOnly(sys(WindowFrame), sansBold), &C::PLName},
        {"Timer2", K::Timer, "", "", 0, 0, 0, 0, -1, timer(0, true), &C::Timer2},
        {"cmdOpen", K::PushButton, "Open", "", 8640, 9480, 1095, 375, 21, {}, &C::cmdOpen},
        {"PlayList1", K::ListBox, "", "", 11040, 8160, 3375, 2790, 14, textOnly(sys(Highlight)), &C::PlayList1},
        {"cmdMute", K::PictureButton, "", "Mute", 3360, 7680, 495, 495, 13, picture(Picture::Mute), &C::cmdMute},
        {"Timer1", K::Timer, "", "", 0, 0, 0, 0, -1, timer(1000, true), &C::Timer1},
        {"Text3", K::TextBox, "", "", 6240, 10800, 1575, 285, 6, textOnly(rgb(green)), &C::Text3},
        {"Text2", K::TextBox, "", "", 6240, 10440, 1575, 285, 5, textOnly(rgb(green), timesBold), &C::Text2},
        {"Text1", K::TextBox, "", "", 6240, 10080, 1575, 285, 4, look(timesBold, sys(HighlightText), rgb(green)), &C::Text1},
        {"Drives", K::DriveList, "", "", 12240, 5640, 2295, 315, 3, look({}, sys(HighlightText), rgb(green)), &C::Drives},
        {"Folders", K::FolderList, "", "", 12240, 3720, 2295, 1560, 2, look(font("Lucida Console", 9), sys(HighlightText), rgb(green)), &C::Folders},
        {"cmdPlay", K::PictureButton, "", "Play", 120, 7680, 495, 495, 1, picture(Picture::Play), &C::cmdPlay},
        {"cmdStop", K::PictureButton, "", "Stop", 960, 7680, 495, 495, 0, picture(Picture::Stop), &C::cmdStop},
        {"MPlayer1", K::MediaEngine, "", "", 120, 120, 10815, 8055, 12, {}, &C::MPlayer1},
        {"cmdResize", K::Label, "1", "", 1080, 9720, 375, 375, 47, resize, &C::cmdResize},
        {"cmdMinimize", K::Label, "_", "Minimize", 600, 9720, 375, 375, 46, look(sansBold, sys(WindowBackground), rgb(green), true, true), &C::cmdMinimize},
        {"Label7", K::Label, "File Types", "", 12240, 6120, 2295, 255, 44, heading, &C::Label7},
        {"lblStatus", K::Label, "Status=", "", 240, 9000, 615, 375, 36, look(sansBold, sys(WindowBackground), sys(Highlight), true), &C::lblStatus},
        {"Label6", K::Label, "Drive", "", 12240, 5280, 2295, 255, 27, heading, &C::Label6},
        {"Label5", K::Label, "Folder", "", 12360, 3360, 1935, 255, 26, heading, &C::Label5},
        {"Label4", K::Label, "<<==File List==>>", "", 12360, 360, 1935, 255, 25, heading, &C::Label4},
        {"cmdPLLoad", K::Label, "Click To Load Play List File Name (*.wpl)=  ", "", 3120, 9000, 2895, 315, 22, look(font("MS Serif", 8.25), rgb(0xFFFFFF), rgb(0x0000C0), true), &C::cmdPLLoad},
        {"cmdSaveList", K::Label, "Save List", "Save Play List", 9960, 10440, 975, 375, 20, listCommand, &C::cmdSaveList},
        {"cmdLoadList", K::Label, "Load List", "Load Play List", 9960, 9960, 975, 375, 19, loadList, &C::cmdLoadList},
        {"cmdNewList", K::Label, "New List", "Make New List", 9960, 9480, 975, 375, 18, listCommand, &C::cmdNewList},
        {"cmdRemove", K::Label, "Remove", "Remove Play Item", 9960, 9000, 975, 375, 17, listCommand, &C::cmdRemove},
        {"cmdAdd", K::Label, "    Add", "Add Play Item", 9960, 8520, 975, 375, 16, add, &C::cmdAdd},
        {"lblPlayList", K::Label, "==== P L A Y    L I S T====", "", 11280, 7440, 2895, 375, 15, look(font("MS Sans Serif", 9.75, true), sys(HighlightText), sys(Highlight), true), &C::lblPlayList},
        {"Label3", K::Label, "Current Position :", "", 4560, 10800, 1575, 255, 11, timeLabel, &C::Label3},
        {"Label2", K::Label, "Total Time :", "", 4560, 10440, 1095, 255, 10, timeLabel, &C::Label2},
        {"Label1", K::Label, "Current Time:", "", 4560, 10080, 1335, 255, 9, timeLabel, &C::Label1},
        {"cmdChangeBackground", K::Label, "Back Coluor Change", "Change Background Colour", 1080, 10560, 2295, 375, 8, look(sansBold, sys(HighlightText), rgb(0x00C000), true, true), &C::cmdChangeBackground},
        {"cmdExit", K::Label, "Exit", "Exit Media Player", 3480, 10560, 855, 375, 7, look(sansBold, sys(HighlightText), rgb(green), true, true), &C::cmdExit},
    };
    // clang-format on
    return f;
}

} // namespace

QColor DesignColour::resolve(const QPalette &palette) const
{
    switch (source) {
    case Default:
        return QColor();
    case Rgb:
        return QColor::fromRgb(QRgb(value));
    case System:
        switch (value) {
        case WindowBackground:
            return palette.color(QPalette::Base);
        case WindowFrame:
            // Qt names no frame colour; its shadow is the dark line colour.
            return palette.color(QPalette::Shadow);
        case Highlight:
            return palette.color(QPalette::Highlight);
        case HighlightText:
            return palette.color(QPalette::HighlightedText);
        }
    }
    return QColor();
}

bool ControlDesign::isVisual() const
{
    return kind != ControlKind::Timer && kind != ControlKind::CommonDialog;
}

bool ControlDesign::isWindowed() const
{
    return isVisual() && kind != ControlKind::Label;
}

const FormDesign &form1Design()
{
    static const FormDesign design = build();
    return design;
}
