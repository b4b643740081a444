#pragma once

#include <QObject>

class QWidget;

// The compact-view label and the minimise label, acting on the window itself.
// Sizes are the window's outer size (frame and title bar included) in twips.
class CompactView : public QObject
{
    Q_OBJECT
public:
    explicit CompactView(QWidget &window, QObject *parent = nullptr);

    // A window reaching 5715 twips in either direction becomes the 2800 x 2800
    // compact view; one within 2085 in both directions becomes 5715 x 5715;
    // any other is left alone.
    void cmdResize_Click();
    // Minimises the window unless it already is.
    void cmdMinimize_Click();

private:
    float outerWidth() const;
    float outerHeight() const;
    void setOuterWidth(float twips);
    void setOuterHeight(float twips);
    void leaveMaximised();

    QWidget &m_window;
};
