#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

// Keeps the window's shortcuts off the keys a focused control needs: lists,
// drop-down lists and sliders keep their arrows, Home, End and page keys,
// and lists and drop-down lists the letters typed to find an entry (text
// boxes keep their typing by themselves). Enter presses a focused button.
class KeyGuard : public QObject
{
    Q_OBJECT
public:
    // Guards the controls of this window; watches the whole application,
    // since keys go to whichever control has focus.
    explicit KeyGuard(QWidget &window);

    // Whether this control, having focus, keeps this key from the shortcuts.
    static bool keepsKey(const QWidget &focus, const QKeyEvent &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
};
