#include "commands/view/ScreenModes.h"

#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/Form1Controls.h"
#include "widgets/LabelButton.h"
#include "widgets/PictureButton.h"
#include "widgets/PlayListBox.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

ScreenModes::ScreenModes(const Form1Controls &c, QObject *parent)
    : QObject(parent), m_player(*c.MPlayer1), m_cmdOriginal(*c.cmdOriginal)
{
    // Everything but the player, cmdOriginal and the few controls a user may
    // still need while watching (mute, the play-list file name, the window
    // commands).
    m_hiddenInFull = {
        c.cmdFullScreen, c.cmdMedium,   c.cmdSmallScreen, c.cmdPlay,   c.cmdPause,    c.cmdStop,
        c.cmdBack,       c.cmdNext,     c.cmdFast,        c.cmdRev,    c.cmdMinimize, c.cmdResize,
        c.lblStatus,     c.Text4,       c.Label1,         c.Text1,     c.Label2,      c.Text2,
        c.Label3,        c.Text3,       c.pfname,         c.cmdPlsi,   c.cmdPLLoad,   c.cmdRepeat,
        c.cmdOpen,       c.cmdGenerate, c.lblPlayList,    c.PlayList1, c.cmdAdd,      c.cmdRemove,
        c.cmdNewList,    c.cmdLoadList, c.cmdSaveList,    c.Label4,    c.FileList,    c.Label5,
        c.Folders,       c.Label6,      c.Drives,         c.Label7,    c.cmbFileType};
    // Full leaves these as they are; Original shows them along with the rest.
    m_shownInOriginal = m_hiddenInFull;
    m_shownInOriginal << c.cmdOriginal << c.cmdChangeBackground << c.cmdExit;
}

void ScreenModes::setPlayerSize(float width, float height)
{
    // Only the size: the player keeps its corner at (120, 120) and its place
    // in the stacking order, behind the buttons that stay over it.
    Twips::setHeight(&m_player, height);
    Twips::setWidth(&m_player, width);
}

void ScreenModes::setVisible(const QList<QWidget *> &controls, bool visible)
{
    for (QWidget *control : controls)
        control->setVisible(visible);
}

void ScreenModes::cmdFullScreen_Click()
{
    setPlayerSize(18000.0f, 14000.0f);
    setVisible(m_hiddenInFull, false);
    m_cmdOriginal.setVisible(true);
}

void ScreenModes::cmdMedium_Click()
{
    setPlayerSize(8000.0f, 6000.0f);
}

void ScreenModes::cmdSmallScreen_Click()
{
    setPlayerSize(4000.0f, 3000.0f);
}

void ScreenModes::cmdOriginal_Click()
{
    setPlayerSize(5535.0f, 5055.0f);
    setVisible(m_shownInOriginal, true);
}
