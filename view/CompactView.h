#pragma once

#include <QObject>

class QWidget;

// The compact-view label and the minimise label, acting on the window itself.
class CompactView : public QObject
{
    Q_OBJECT
public:
    explicit CompactView(QWidget &window, QObject *parent = nullptr);

    void cmdResize_Click();
    void cmdMinimize_Click();

private:
    QWidget &m_window;
};
