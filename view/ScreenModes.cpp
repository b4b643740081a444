#include "view/ScreenModes.h"

ScreenModes::ScreenModes(QWidget &mPlayer1, const QHash<QString, QWidget *> &controls,
                         QObject *parent)
    : QObject(parent), m_player(mPlayer1), m_controls(controls)
{
}

void ScreenModes::cmdFullScreen_Click() {}
void ScreenModes::cmdMedium_Click() {}
void ScreenModes::cmdSmallScreen_Click() {}
void ScreenModes::cmdOriginal_Click() {}
