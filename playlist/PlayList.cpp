#include "playlist/PlayList.h"

PlayList::PlayList(MediaEngine &engine, CommonDialog &dialog, PlayListBox &playList1, QTimer &timer1,
             QLineEdit &pfname, QLineEdit &text1, QLineEdit &text2, QObject *parent)
    : QObject(parent), m_engine(engine), m_dialog(dialog), m_playList1(playList1), m_timer1(timer1), m_pfname(pfname), m_text1(text1), m_text2(text2)
{
}

void PlayList::PlayList1_Click() {}

void PlayList::cmdAdd_Click() {}

void PlayList::cmdRemove_Click() {}

void PlayList::cmdNewList_Click() {}

void PlayList::cmdNext_Click() {}

void PlayList::cmdBack_Click() {}

const QString PlayList::addFilter;
