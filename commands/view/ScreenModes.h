#pragma once

#include <QList>
#include <QObject>

struct Form1Controls;
class QWidget;

// Full, Medium, Small and Original: the player's size, and in Full and
// Original which of the other controls show.
class ScreenModes : public QObject
{
    Q_OBJECT
public:
    // Works on the player and on every control that Full hides or Original
    // shows.
    explicit ScreenModes(const Form1Controls &controls, QObject *parent = nullptr);

    // Player 18000 x 14000 twips; hides nearly every other control and shows
    // cmdOriginal, the only way back.
    void cmdFullScreen_Click();
    // Player 8000 x 6000 twips; no control shown or hidden.
    void cmdMedium_Click();
    // Player 4000 x 3000 twips; no control shown or hidden.
    void cmdSmallScreen_Click();
    // Player 5535 x 5055 twips; shows every control that Full hides, and
    // cmdOriginal, cmdChangeBackground and cmdExit.
    void cmdOriginal_Click();

private:
    void setPlayerSize(float width, float height);
    static void setVisible(const QList<QWidget *> &controls, bool visible);

    QWidget &m_player;
    QWidget &m_cmdOriginal;
    QList<QWidget *> m_hiddenInFull;
    QList<QWidget *> m_shownInOriginal;
};
