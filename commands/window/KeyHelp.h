#pragma once

#include "widgets/KeyListWindow.h"

#include <QObject>
#include <QPointer>

class QWidget;

// The list of keys (F1): every row of the key table, in a small window of
// its own over the player's window.
class KeyHelp : public QObject
{
    Q_OBJECT
public:
    explicit KeyHelp(QWidget &window, QObject *parent = nullptr);

    // Shows the list, or brings it to the front when it is open already.
    void showKeys();
    // The list's window while it is open, else null.
    KeyListWindow *shown() const { return m_list; }

private:
    QWidget &m_window;
    QPointer<KeyListWindow> m_list;
};
