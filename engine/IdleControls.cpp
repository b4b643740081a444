#include "engine/IdleControls.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QWidget>

IdleControls::IdleControls(QWidget &area, QWidget &bar, QObject *parent)
    : QObject(parent), m_area(area), m_bar(bar), m_clock(this)
{
    m_clock.setObjectName(QStringLiteral("idleClock"));
    m_clock.setSingleShot(true);
    m_clock.setInterval(idleMs);
    connect(&m_clock, &QTimer::timeout, this, &IdleControls::rest);
}

void IdleControls::start()
{
    if (m_running)
        return;
    m_running = true;
    m_lastPointer = QCursor::pos();
    // Mouse moves reach the application's filters even over widgets that
    // do not track the mouse (the video surface).
    qApp->installEventFilter(this);
    wake();
}

void IdleControls::stop()
{
    if (!m_running)
        return;
    m_running = false;
    qApp->removeEventFilter(this);
    m_clock.stop();
    m_idle = false;
    m_bar.show();
    m_area.unsetCursor();
}

void IdleControls::wake()
{
    if (m_idle) {
        m_idle = false;
        m_bar.show();
        m_area.unsetCursor();
    }
    m_clock.start();
}

void IdleControls::rest()
{
    const bool overBar = m_bar.rect().contains(m_bar.mapFromGlobal(QCursor::pos()));
    if (overBar || QApplication::activePopupWidget()) {
        m_clock.start();
        return;
    }
    m_idle = true;
    m_bar.hide();
    m_area.setCursor(Qt::BlankCursor);
}

bool IdleControls::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        const QPoint pointer = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        // Hiding the bar moves the widgets under a resting pointer, and Qt
        // then sends a move to the same place: that is not the user.
        if (pointer != m_lastPointer && (widget == &m_area || m_area.isAncestorOf(widget))) {
            m_lastPointer = pointer;
            wake();
        }
    }
    return QObject::eventFilter(watched, event);
}
