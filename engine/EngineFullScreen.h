#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <vector>

class QWidget;
class QWindow;

// Puts a widget over the whole screen its window is on, and gives the window
// back exactly as it was: the window full screen with the widget raised over
// every other control and filling it, then the window's state and size, the
// widget's place and stacking, and the focus as they were before. The widget
// may sit inside containers of its own (the area the window placed holds the
// engine's view): each of them is raised and filled the same way. The other
// controls are only covered, never moved or hidden. What someone else does
// to the widget's place meanwhile (a screen mode) is kept for the way back.
//
// A window manager carries out state requests later and reports each in
// turn, so only one request is out at a time: requests made meanwhile
// collapse into the last one, sent once the window manager has answered.
// Every report is then either that answer or someone else's change.
class EngineFullScreen : public QObject
{
    Q_OBJECT
public:
    // Works on this widget, which must outlive this object.
    explicit EngineFullScreen(QWidget &widget, QObject *parent = nullptr);

    // Whether the widget fills the screen now.
    bool active() const { return m_active; }
    // Fills the screen with the widget; nothing when it already does.
    void enter();
    // Gives everything back; nothing when the widget does not fill the screen.
    void leave();

signals:
    // The window left full screen by other means (the window manager, a
    // command that resized it): the widget is back in its place already.
    void endedElsewhere();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One widget between the picture and the window: where it was and what
    // was stacked right above it.
    struct Level
    {
        QPointer<QWidget> widget;
        QRect place;
        QPointer<QWidget> above;
    };

    void cover();
    void restore();
    void endElsewhere();
    // Asks the window for the state that goes with active(), unless a
    // request is still out or the window has that state already.
    void askWindow();
    // Takes a report of the window system as the answer to the request out,
    // when it is one.
    void answered(bool reportedFull);

    QWidget &m_widget;
    bool m_active = false;
    // Whether the cover is being applied, so its own resizes are not taken
    // for someone else's.
    bool m_covering = false;
    // Whether this object is changing the window's state itself.
    bool m_asking = false;
    // Whether the last request sent made the window full screen.
    bool m_sentFull = false;
    // Whether that request is yet to be answered.
    bool m_waiting = false;
    // What the window system last reported: whether the window fills the screen.
    bool m_reportedFull = false;
    // Gives up waiting for a window manager that does not answer.
    QTimer m_patience;
    QPointer<QWidget> m_window;
    QPointer<QWindow> m_handle;
    Qt::WindowStates m_windowState;
    QRect m_windowGeometry;
    // From the widget itself up to the window's child holding it.
    std::vector<Level> m_levels;
    QPointer<QWidget> m_focus;
};
