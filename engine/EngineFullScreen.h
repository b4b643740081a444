#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

// Puts a widget over the whole screen its window is on, and gives the window
// back exactly as it was: the window full screen with the widget raised over
// every other control and filling it, then the window's state and size, the
// widget's place and stacking, and the focus as they were before. The other
// controls are only covered, never moved or hidden. What someone else does
// to the widget's place meanwhile (a screen mode) is kept for the way back.
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
    void cover();
    void restore(bool window);

    QWidget &m_widget;
    bool m_active = false;
    // Whether the cover is being applied, so its own resizes are not taken
    // for someone else's.
    bool m_covering = false;
    QPointer<QWidget> m_window;
    Qt::WindowStates m_windowState;
    QRect m_windowGeometry;
    QRect m_place;
    // The sibling that was stacked right above the widget, if any.
    QPointer<QWidget> m_above;
    QPointer<QWidget> m_focus;
};
