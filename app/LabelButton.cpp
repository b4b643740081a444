#include "app/LabelButton.h"

#include "app/Pictures.h"

#include <QMouseEvent>
#include <QPainter>

LabelButton::LabelButton(const QString &caption, QWidget *parent) : QLabel(caption, parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void LabelButton::setSymbol(bool on)
{
    m_symbol = on;
    update();
}

void LabelButton::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void LabelButton::paintEvent(QPaintEvent *event)
{
    if (!m_symbol) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    Pictures::drawWindowSymbol(painter, contentsRect(), palette().color(foregroundRole()));
}
