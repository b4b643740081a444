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
    setToolTip(tr("Click to close this message"));
    setCursor(Qt::PointingHandCursor);
    hide();
}

void EngineMessage::showMessage(const QString &text)
{
    if (text.isEmpty()) {
        m_dismissed.clear();
        hide();
        return;
    }
    if (text == m_dismissed)
        return;
    m_dismissed.clear();
    setText(text);
    placeOver(m_area);
    show();
    raise();
}

void EngineMessage::dismiss()
{
    m_dismissed = text();
    hide();
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
    dismiss();
    event->accept();
}
