#include "browse/OpenCommand.h"

OpenCommand::OpenCommand(CommonDialog &dialog, PlayListBox &playList1, QTimer &timer1,
                QPushButton &cmdRepeat, QLineEdit &text1, QLineEdit &text2,
                QObject *parent)
    : QObject(parent), m_dialog(dialog), m_playList1(playList1), m_timer1(timer1), m_cmdRepeat(cmdRepeat), m_text1(text1), m_text2(text2)
{
}

void OpenCommand::cmdOpen_Click() {}

const QString OpenCommand::mediaFilter;
