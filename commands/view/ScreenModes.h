#pragma once

#include <QHash>
#include <QList>
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
    // Full hides or Original shows. Throws std::invalid_argument if one is
    // missing.
    ScreenModes(QWidget &mPlayer1, const QHash<QString, QWidget *> &controls,
                QObject *parent = nullptr);

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
    QList<QWidget *> resolve(const char *const *names, int count) const;
    void setPlayerSize(float width, float height);
    static void setVisible(const QList<QWidget *> &controls, bool visible);

    QWidget &m_player;
    QHash<QString, QWidget *> m_controls;
    QList<QWidget *> m_hiddenInFull;
    QList<QWidget *> m_shownInOriginal;
    QWidget *m_cmdOriginal = nullptr;
};
