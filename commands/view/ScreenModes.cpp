#include "commands/view/ScreenModes.h"

#include "widgets/Twips.h"

#include <QWidget>
#include <iterator>
#include <stdexcept>

namespace {

// Everything but the player, cmdOriginal and the few controls a user may
// still need while watching (mute, the play-list file name, the window
// commands).
const char *const hiddenInFull[] = {
    "cmdFullScreen", "cmdMedium",   "cmdSmallScreen", "cmdPlay",   "cmdPause",    "cmdStop",
    "cmdBack",       "cmdNext",     "cmdFast",        "cmdRev",    "cmdMinimize", "cmdResize",
    "lblStatus",     "Text4",       "Label1",         "Text1",     "Label2",      "Text2",
    "Label3",        "Text3",       "pfname",         "cmdPlsi",   "cmdPLLoad",   "cmdRepeat",
    "cmdOpen",       "cmdGenerate", "lblPlayList",    "PlayList1", "cmdAdd",      "cmdRemove",
    "cmdNewList",    "cmdLoadList", "cmdSaveList",    "Label4",    "FileList",    "Label5",
    "Folders",       "Label6",      "Drives",         "Label7",    "cmbFileType"};

// Full leaves these as they are; Original shows them along with the rest.
const char *const alsoShownInOriginal[] = {"cmdOriginal", "cmdChangeBackground", "cmdExit"};

} // namespace

ScreenModes::ScreenModes(QWidget &mPlayer1, const QHash<QString, QWidget *> &controls,
                         QObject *parent)
    : QObject(parent), m_player(mPlayer1), m_controls(controls)
{
    m_hiddenInFull = resolve(hiddenInFull, int(std::size(hiddenInFull)));
    m_shownInOriginal =
        m_hiddenInFull + resolve(alsoShownInOriginal, int(std::size(alsoShownInOriginal)));
    m_cmdOriginal = resolve(alsoShownInOriginal, 1).first();
}

QList<QWidget *> ScreenModes::resolve(const char *const *names, int count) const
{
    QList<QWidget *> result;
    for (int i = 0; i < count; ++i) {
        QWidget *control = m_controls.value(QLatin1String(names[i]));
        if (!control)
            throw std::invalid_argument(std::string("Screen modes: the window has no control ") +
                                        names[i]);
        result << control;
    }
    return result;
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
    m_cmdOriginal->setVisible(true);
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
