#pragma once

#include <QObject>

class CommonDialog;
struct Form1Controls;
class QColor;
class QLabel;
class QTimer;
class QWidget;

// Exit and the background colour command.
class WindowCommands : public QObject
{
    Q_OBJECT
public:
    // The controls it works on, taken from the window's by their names.
    struct Controls
    {
        explicit Controls(const Form1Controls &window);
        QTimer &Timer1;
        QLabel &Label1;
        QLabel &Label2;
        QLabel &Label3;
    };

    WindowCommands(QWidget &window, CommonDialog &dialog, const Controls &controls,
                   QObject *parent = nullptr);

    // Stops Timer1, closes the window and ends the program, asking nothing.
    void cmdExit_Click();
    // Paints the window and the three time labels in the colour chosen in the
    // Colour dialog; a cancel leaves every colour as it was.
    void cmdChangeBackground_Click();

private:
    void keepChildBackgrounds();
    static void setBackground(QWidget &widget, const QColor &colour);

    QWidget &m_window;
    QTimer &m_timer1;
    CommonDialog &m_dialog;
    QLabel &m_label1;
    QLabel &m_label2;
    QLabel &m_label3;
};
