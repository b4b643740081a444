#include "playlist/PlayListPlayback.h"

PlayListPlayback::PlayListPlayback(MediaEngine &engine, CommonDialog &dialog, PlayListBox &playList1,
                     QLineEdit &plName, QObject *parent)
    : QObject(parent), m_engine(engine), m_dialog(dialog), m_playList1(playList1), m_plName(plName)
{
}

void PlayListPlayback::cmdPLLoad_Click() {}

void PlayListPlayback::cmdGenerate_Click() {}

void PlayListPlayback::cmdPlsi_Click() {}
