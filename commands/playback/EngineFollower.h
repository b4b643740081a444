#pragma once

#include "engine/MediaEngine.h"

#include <QObject>
#include <QString>

class PositionDisplay;
class QTimer;

// The window's one view of where playback stands, whoever moved it: the
// window's buttons, the keys, the engine's own bar or the desktop. A pause
// holds the count of Timer1 as the window's Pause does and a resume of the
// same medium lets it go on; a stop leaves what the window's Stop leaves; a
// seek puts the count at the medium's new position. It follows the engine's
// signals, so a request made inside the engine (its bar) counts as much as
// one made through the window's commands.
class EngineFollower : public QObject
{
    Q_OBJECT
public:
    // Follows engine for this display and its Timer1.
    EngineFollower(MediaEngine &engine, PositionDisplay &display, QTimer &timer1,
                   QObject *parent = nullptr);

    // Stops a running count and remembers it for a resume of this medium;
    // a count already stopped stays so, and a resume leaves it so.
    void holdCount();
    // The medium is made to play by other means than a resume (fast
    // playback, another medium): a held count stays stopped.
    void forgetHold() { m_held = false; }

private:
    void follow(MediaEngine::PlaybackState state);
    void followStop();

    MediaEngine &m_engine;
    PositionDisplay &m_display;
    QTimer &m_timer1;
    // A pause stopped the count of this medium, which a resume goes on with.
    bool m_held = false;
    QString m_heldUrl;
};
