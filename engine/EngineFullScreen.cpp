#include "engine/EngineFullScreen.h"

#include "engine/EngineLog.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

// How long a window manager may stay silent about a request before the
// next one is sent anyway; each report it makes meanwhile starts it again.
constexpr int patienceMs = 2000;

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

bool fills(Qt::WindowStates state)
{
    return state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen);
}

} // namespace

EngineFullScreen::EngineFullScreen(QWidget &widget, QObject *parent)
    : QObject(parent), m_widget(widget)
{
    m_patience.setSingleShot(true);
    m_patience.setInterval(patienceMs);
    connect(&m_patience, &QTimer::timeout, this, [this] {
        m_waiting = false;
        askWindow();
    });
}

void EngineFullScreen::enter()
{
    if (m_active)
        return;
    QWidget *window = m_widget.window();
    // Until the window is back from an earlier full screen, its state and
    // size are passing ones, and the ones taken then still hold.
    // A slow window manager may still be on its way out when its patience has
    // run out: only a window it reports back is settled.
    if (window != m_window || (!m_sentFull && !m_waiting && !m_reportedFull)) {
        m_window = window;
        m_windowState = window->windowState() & ~Qt::WindowActive;
        m_windowGeometry = window->geometry();
    }
    m_levels.clear();
    for (QWidget *level = &m_widget; level && level != m_window; level = level->parentWidget())
        m_levels.push_back({level, level->geometry(), siblingAbove(*level)});
    m_focus = QApplication::focusWidget();
    if (m_focus && m_focus->window() != m_window)
        m_focus = nullptr;
    m_active = true;

    // Both stay for good: the answer to a leave comes after the cover is gone.
    m_window->installEventFilter(this);
    if (QWindow *handle = m_window->windowHandle(); handle && handle != m_handle) {
        m_handle = handle;
        handle->installEventFilter(this);
    }
    for (const Level &level : m_levels) {
        level.widget->installEventFilter(this);
        level.widget->raise();
    }
    cover();
    askWindow();
    m_window->activateWindow();
    // Keys typed now belong to the picture, not to a covered text box.
    m_widget.setFocus(Qt::OtherFocusReason);
    qCDebug(corvelVideo, "Full screen on");
}

void EngineFullScreen::leave()
{
    if (!m_active)
        return;
    restore();
    askWindow();
}

void EngineFullScreen::askWindow()
{
    if (m_waiting || !m_window || m_active == m_sentFull)
        return;
    m_sentFull = m_active;
    m_waiting = true;
    m_patience.start();
    m_asking = true;
    if (m_active) {
        m_window->setWindowState((m_windowState & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
    } else {
        m_window->setWindowState(m_windowState);
        if (!fills(m_windowState))
            m_window->setGeometry(m_windowGeometry);
    }
    m_asking = false;
}

void EngineFullScreen::answered(bool reportedFull)
{
    qCDebug(corvelVideo, "The window system reports full screen %s", reportedFull ? "on" : "off");
    m_reportedFull = reportedFull;
    if (!m_waiting) {
        // Not ours: someone else took the window out of full screen.
        if (m_active && !reportedFull)
            endElsewhere();
        return;
    }
    if (reportedFull != m_sentFull) {
        // Still on its way there; the window manager is at work.
        m_patience.start();
        return;
    }
    m_waiting = false;
    m_patience.stop();
    askWindow();
}

void EngineFullScreen::endElsewhere()
{
    // The window stays as they left it, and only the widget goes back.
    m_sentFull = false;
    m_waiting = false;
    m_patience.stop();
    restore();
    emit endedElsewhere();
}

void EngineFullScreen::restore()
{
    m_active = false;
    for (const Level &level : m_levels)
        if (level.widget)
            level.widget->removeEventFilter(this);
    // Outermost first, so that a layout inside places the inner ones as before.
    for (auto level = m_levels.rbegin(); level != m_levels.rend(); ++level) {
        if (!level->widget)
            continue;
        level->widget->setGeometry(level->place);
        if (level->above && level->above->parentWidget() == level->widget->parentWidget())
            level->widget->stackUnder(level->above);
    }
    m_levels.clear();
    if (m_focus && m_focus->isVisible())
        m_focus->setFocus(Qt::OtherFocusReason);
    else if (m_widget.hasFocus())
        m_widget.clearFocus();
    qCDebug(corvelVideo, "Full screen off");
}

void EngineFullScreen::cover()
{
    m_covering = true;
    for (auto level = m_levels.rbegin(); level != m_levels.rend(); ++level)
        if (level->widget && level->widget->parentWidget())
            level->widget->setGeometry(level->widget->parentWidget()->rect());
    m_covering = false;
}

bool EngineFullScreen::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_handle) {
        // What the window system reports, in the order it happened.
        if (type == QEvent::WindowStateChange && event->spontaneous())
            answered(m_handle->windowStates() & Qt::WindowFullScreen);
        return QObject::eventFilter(watched, event);
    }
    if (!m_active)
        return QObject::eventFilter(watched, event);
    if (watched == m_window) {
        if (type == QEvent::Resize)
            cover();
        // A command of this program took the window out of full screen.
        if (type == QEvent::WindowStateChange && !event->spontaneous() && !m_asking &&
            !(m_window->windowState() & Qt::WindowFullScreen))
            endElsewhere();
        return QObject::eventFilter(watched, event);
    }
    if (!m_covering && (type == QEvent::Resize || type == QEvent::Move)) {
        for (Level &level : m_levels) {
            QWidget *parent = level.widget ? level.widget->parentWidget() : nullptr;
            if (watched != level.widget || !parent || level.widget->geometry() == parent->rect())
                continue;
            // A new place given while covering is where the widget goes back to.
            level.place = level.widget->geometry();
            cover();
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
