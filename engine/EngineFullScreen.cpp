#include "engine/EngineFullScreen.h"

#include "engine/EngineLog.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

// The sibling drawn right above this widget, or null when it is on top.
QWidget *siblingAbove(QWidget &widget)
{
    QWidget *parent = widget.parentWidget();
    if (!parent)
        return nullptr;
    const QObjectList &siblings = parent->children();
    for (qsizetype i = siblings.indexOf(&widget) + 1; i < siblings.size(); ++i) {
        QWidget *sibling = qobject_cast<QWidget *>(siblings[i]);
        if (sibling && !sibling->isWindow())
            return sibling;
    }
    return nullptr;
}

} // namespace

EngineFullScreen::EngineFullScreen(QWidget &widget, QObject *parent)
    : QObject(parent), m_widget(widget)
{
}

void EngineFullScreen::enter()
{
    if (m_active)
        return;
    m_window = m_widget.window();
    m_windowState = m_window->windowState() & ~Qt::WindowActive;
    m_windowGeometry = m_window->geometry();
    m_place = m_widget.geometry();
    m_above = siblingAbove(m_widget);
    m_focus = QApplication::focusWidget();
    if (m_focus && m_focus->window() != m_window)
        m_focus = nullptr;
    m_active = true;

    m_window->installEventFilter(this);
    if (m_window != &m_widget) {
        m_widget.installEventFilter(this);
        m_widget.raise();
        cover();
    }
    m_window->setWindowState((m_windowState & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
    m_window->activateWindow();
    // Keys typed now belong to the picture, not to a covered text box.
    m_widget.setFocus(Qt::OtherFocusReason);
    qCDebug(corvelVideo, "Full screen on");
}

void EngineFullScreen::leave()
{
    if (!m_active)
        return;
    restore(true);
}

void EngineFullScreen::restore(bool window)
{
    m_active = false;
    if (m_window)
        m_window->removeEventFilter(this);
    m_widget.removeEventFilter(this);
    if (window && m_window && (m_window->windowState() & Qt::WindowFullScreen)) {
        m_window->setWindowState(m_windowState);
        if (!(m_windowState & (Qt::WindowMaximized | Qt::WindowMinimized)))
            m_window->setGeometry(m_windowGeometry);
    }
    if (m_window != &m_widget) {
        m_widget.setGeometry(m_place);
        if (m_above && m_above->parentWidget() == m_widget.parentWidget())
            m_widget.stackUnder(m_above);
    }
    if (m_focus && m_focus->isVisible())
        m_focus->setFocus(Qt::OtherFocusReason);
    else if (m_widget.hasFocus())
        m_widget.clearFocus();
    qCDebug(corvelVideo, "Full screen off");
}

void EngineFullScreen::cover()
{
    QWidget *parent = m_widget.parentWidget();
    if (!parent)
        return;
    m_covering = true;
    m_widget.setGeometry(parent->rect());
    m_covering = false;
}

bool EngineFullScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_active)
        return QObject::eventFilter(watched, event);
    if (watched == m_window) {
        if (event->type() == QEvent::Resize && m_window != &m_widget) {
            cover();
        } else if (event->type() == QEvent::WindowStateChange &&
                   !(m_window->windowState() & Qt::WindowFullScreen)) {
            // Someone else took the window out of full screen: it stays as
            // they left it, and only the widget goes back.
            restore(false);
            emit endedElsewhere();
        }
    } else if (watched == &m_widget && !m_covering &&
               (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        QWidget *parent = m_widget.parentWidget();
        if (parent && m_widget.geometry() != parent->rect()) {
            // A new place given while covering is where the widget goes back to.
            m_place = m_widget.geometry();
            cover();
        }
    }
    return QObject::eventFilter(watched, event);
}
