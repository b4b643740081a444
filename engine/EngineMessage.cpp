#include "engine/EngineMessage.h"

#include <QMouseEvent>

namespace {

constexpr int gap = 12;
constexpr int widest = 640;

} // namespace

EngineMessage::EngineMessage(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("engineMessage"));
    setWordWrap(true);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    setMargin(10);
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    look.setColor(QPalette::WindowText, QColor(0xff, 0xe0, 0x80));
    setPalette(look);
    setCursor(Qt::PointingHandCursor);
    hide();
}

void EngineMessage::showMessage(const QString &text)
{
    if (text != m_dismissed)
        m_dismissed.clear();
    m_message = text;
    refresh();
}

void EngineMessage::showOffer(const QString &text)
{
    m_offer = text;
    refresh();
}

void EngineMessage::dismiss()
{
    m_dismissed = m_message;
    refresh();
}

void EngineMessage::refresh()
{
    const QString shown = m_offer.isEmpty() && m_message != m_dismissed ? m_message : m_offer;
    if (shown.isEmpty()) {
        hide();
        return;
    }
    setText(shown);
    setToolTip(m_offer.isEmpty() ? tr("Click to close this message") : tr("Click to accept"));
    placeOver(m_area);
    show();
    raise();
}

void EngineMessage::placeOver(const QRect &area)
{
    m_area = area;
    if (area.isEmpty())
        return;
    const int width = qMin(widest, area.width() - 2 * gap);
    if (width <= 0)
        return;
    const int height = qMin(heightForWidth(width), qMax(area.height() - 2 * gap, 0));
    setGeometry(area.x() + (area.width() - width) / 2, area.y() + gap, width, height);
}

void EngineMessage::mousePressEvent(QMouseEvent *event)
{
    if (m_offer.isEmpty())
        dismiss();
    else
        emit offerClicked();
    event->accept();
}
