#include "app/WindowCommands.h"

WindowCommands::WindowCommands(QWidget &window, QTimer &timer1, CommonDialog &dialog, QLabel &label1,
                   QLabel &label2, QLabel &label3, QObject *parent)
    : QObject(parent), m_window(window), m_timer1(timer1), m_dialog(dialog), m_label1(label1), m_label2(label2), m_label3(label3)
{
}

void WindowCommands::cmdExit_Click() {}

void WindowCommands::cmdChangeBackground_Click() {}
