#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QWidget;

// Full, Medium, Small and Original: the player's size, and in Full and
// Original which of the other controls show.
class ScreenModes : public QObject
{
    Q_OBJECT
public:
    // controls: the window's controls by name, among them every control that
    // Full hides or Original shows.
    ScreenModes(QWidget &mPlayer1, const QHash<QString, QWidget *> &controls,
                QObject *parent = nullptr);

    void cmdFullScreen_Click();
    void cmdMedium_Click();
    void cmdSmallScreen_Click();
    void cmdOriginal_Click();

private:
    QWidget &m_player;
    QHash<QString, QWidget *> m_controls;
};
