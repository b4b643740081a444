#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

class QWidget;

// While running, hides a control bar and the mouse pointer over an area once
// the mouse has not moved for a while, and shows both again as soon as it
// moves. The bar stays while the pointer is over it or one of its menus is
// open. Stopped, both are shown.
class IdleControls : public QObject
{
    Q_OBJECT
public:
    // How long the mouse must rest before the bar and the pointer go.
    static constexpr int idleMs = 2000;

    // Works on this area and this bar inside it; both must outlive this object.
    IdleControls(QWidget &area, QWidget &bar, QObject *parent = nullptr);

    // Starts watching the mouse, the bar shown and the clock running.
    void start();
    // Stops watching and shows the bar and the pointer.
    void stop();
    // Whether the bar and the pointer are hidden now.
    bool idle() const { return m_idle; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void wake();
    void rest();

    QWidget &m_area;
    QWidget &m_bar;
    // Single-shot: runs out once after the last movement.
    QTimer m_clock;
    QPoint m_lastPointer;
    bool m_running = false;
    bool m_idle = false;
};
