#include "widgets/LabelButton.h"

#include "widgets/Pictures.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// Narrower than this and a caption becomes hard to read; it is cut instead.
constexpr qreal narrowest = 0.8;

} // namespace

LabelButton::LabelButton(const QString &caption, QWidget *parent) : QLabel(caption, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void LabelButton::setSymbol(bool on)
{
    m_symbol = on;
    update();
}

void LabelButton::setBorder(bool on)
{
    m_border = on;
    setContentsMargins(on ? QMargins(1, 1, 1, 1) : QMargins());
    update();
}

void LabelButton::setCentred(bool on)
{
    m_centred = on;
    setAlignment((on ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    update();
}

Qt::Alignment LabelButton::captionAlignment() const
{
    return (m_centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop;
}

bool LabelButton::captionWraps() const
{
    const QRect area = contentsRect();
    const QRect wrapped =
        fontMetrics().boundingRect(area, int(captionAlignment()) | Qt::TextWordWrap, text());
    return wrapped.height() > fontMetrics().height() && wrapped.height() <= area.height() &&
           wrapped.width() <= area.width();
}

qreal LabelButton::captionScale() const
{
    if (captionWraps())
        return 1;
    // Trailing blanks show nothing, so they need no room.
    QString shown = text();
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    const int natural = fontMetrics().horizontalAdvance(shown);
    const int room = contentsRect().width();
    if (natural <= room || natural == 0)
        return 1;
    return qMax(narrowest, qreal(room) / natural);
}

void LabelButton::click()
{
    if (isEnabled())
        emit clicked();
}

void LabelButton::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void LabelButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_border) {
        painter.setPen(palette().color(QPalette::Shadow));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const QRect area = contentsRect();
    const QColor ink = palette().color(foregroundRole());
    if (m_symbol) {
        Pictures::drawWindowSymbol(painter, area, ink);
        return;
    }
    painter.setClipRect(area);
    painter.setPen(ink);
    painter.setFont(font());
    if (captionWraps()) {
        painter.drawText(area, int(captionAlignment()) | Qt::TextWordWrap, text());
        return;
    }
    const qreal scale = captionScale();
    painter.translate(area.left(), area.top());
    painter.scale(scale, 1);
    const QRectF line(0, 0, area.width() / scale, area.height());
    painter.drawText(line, int(captionAlignment()) | Qt::TextSingleLine, text());
}
