#include "playlist/PlayListFiles.h"

PlayListFiles::PlayListFiles(CommonDialog &dialog, PlayListBox &playList1, QObject *parent)
    : QObject(parent), m_dialog(dialog), m_playList1(playList1)
{
}

void PlayListFiles::cmdSaveList_Click() {}

void PlayListFiles::cmdLoadList_Click() {}
