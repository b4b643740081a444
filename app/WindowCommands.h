#pragma once

#include <QObject>

class CommonDialog;
class QLabel;
class QTimer;
class QWidget;

// Exit and the background colour command.
class WindowCommands : public QObject
{
    Q_OBJECT
public:
    WindowCommands(QWidget &window, QTimer &timer1, CommonDialog &dialog, QLabel &label1,
                   QLabel &label2, QLabel &label3, QObject *parent = nullptr);

    void cmdExit_Click();
    void cmdChangeBackground_Click();

private:
    QWidget &m_window;
    QTimer &m_timer1;
    CommonDialog &m_dialog;
    QLabel &m_label1;
    QLabel &m_label2;
    QLabel &m_label3;
};
