#pragma once

#include <QObject>
#include <QString>

class CommonDialog;
struct Form1Controls;
class PlayListBox;
class QLineEdit;
class QPushButton;
class QTimer;

// Open: one media file, picked from the full catalogue of media types,
// replaces the play list and plays.
class OpenCommand : public QObject
{
    Q_OBJECT
public:
    // The catalogue of media types the Open dialog offers (881 characters).
    static const QString mediaFilter;

    // The controls it works on, taken from the window's by their names.
    struct Controls
    {
        explicit Controls(const Form1Controls &window);
        PlayListBox &PlayList1;
        QTimer &Timer1;
        QPushButton &cmdRepeat;
        QLineEdit &Text1;
        QLineEdit &Text2;
    };

    OpenCommand(CommonDialog &dialog, const Controls &controls, QObject *parent = nullptr);

    // Shows the Open dialog; a chosen file becomes the only play-list entry
    // and is played through the list's click. A cancel changes nothing.
    void cmdOpen_Click();

private:
    CommonDialog &m_dialog;
    PlayListBox &m_playList1;
    QTimer &m_timer1;
    QPushButton &m_cmdRepeat;
    QLineEdit &m_text1;
    QLineEdit &m_text2;
};
