#include "commands/view/CompactView.h"

#include "widgets/Twips.h"

#include <QWidget>
#include <algorithm>

namespace {

constexpr float compactSize = 2800.0f;
constexpr float restoredSize = 5715.0f;
constexpr float largeLimit = 5715.0f;
constexpr float smallLimit = 2085.0f;

} // namespace

CompactView::CompactView(QWidget &window, QObject *parent) : QObject(parent), m_window(window) {}

float CompactView::outerWidth() const
{
    return Twips::fromPixels(m_window.frameGeometry().width());
}

float CompactView::outerHeight() const
{
    return Twips::fromPixels(m_window.frameGeometry().height());
}

void CompactView::setOuterWidth(float twips)
{
    const int frame = m_window.frameGeometry().width() - m_window.width();
    m_window.resize(Twips::toPixels(twips) - frame, m_window.height());
}

void CompactView::setOuterHeight(float twips)
{
    const int frame = m_window.frameGeometry().height() - m_window.height();
    m_window.resize(m_window.width(), Twips::toPixels(twips) - frame);
}

void CompactView::leaveMaximised()
{
    // A maximised or full-screen window ignores a new size; the user asked
    // for a square window, so it goes back to normal first.
    const Qt::WindowStates filling = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (m_window.windowState() & filling)
        m_window.setWindowState(m_window.windowState() & ~filling);
}

void CompactView::cmdResize_Click()
{
    // The label can only be clicked on a window tall enough to show it, so
    // a window narrower than the limit would otherwise ignore the click:
    // reaching the limit one way is enough to count as large.
    if (std::max(outerWidth(), outerHeight()) >= largeLimit) {
        leaveMaximised();
        setOuterHeight(compactSize);
        setOuterWidth(compactSize);
        return;
    }
    // Small means small both ways; a long thin window is left alone.
    if (std::max(outerWidth(), outerHeight()) <= smallLimit) {
        leaveMaximised();
        setOuterHeight(restoredSize);
        setOuterWidth(restoredSize);
    }
}

void CompactView::cmdMinimize_Click()
{
    const Qt::WindowStates state = m_window.windowState();
    if (state & Qt::WindowMinimized)
        return;
    // Keeping the maximised flag lets a restore bring the window back
    // maximised, as the user left it.
    m_window.setWindowState((state & ~Qt::WindowActive) | Qt::WindowMinimized);
}
