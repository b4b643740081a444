#pragma once

#include <QObject>

class MediaEngine;
class QAction;
class QWidget;

// The keys of the engine's own full screen: F and F11 turn it on and off,
// Escape leaves it (and is free for everything else meanwhile). A text box
// with the focus keeps its keys: F types an F there, F11 does nothing.
class EngineScreen : public QObject
{
    Q_OBJECT
public:
    // Drives this engine's fullScreen setting for keys pressed in window.
    EngineScreen(MediaEngine &engine, QWidget &window, QObject *parent = nullptr);

    // Turns the engine's full screen on, or off when it is on.
    void toggleFullScreen();
    // Turns the engine's full screen off.
    void leaveFullScreen();

    // Keeps the toggle's keys (from the key table) out of text boxes, and
    // enables leave only while the engine fills the screen.
    void bindKeys(QAction &toggle, QAction &leave);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MediaEngine &m_engine;
    QAction *m_toggle = nullptr;
};
