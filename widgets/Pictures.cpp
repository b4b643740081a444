#include "widgets/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace Pictures {
namespace {

const QColor green(0, 160, 0);
const QColor blue(0, 64, 200);

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void drawSpeaker(QPainter &p, QRectF box)
{
    QPainterPath path;
    const qreal w = box.width(), h = box.height();
    path.moveTo(box.left(), box.top() + h * 0.35);
    path.lineTo(box.left() + w * 0.3, box.top() + h * 0.35);
    path.lineTo(box.left() + w * 0.65, box.top() + h * 0.08);
    path.lineTo(box.left() + w * 0.65, box.top() + h * 0.92);
    path.lineTo(box.left() + w * 0.3, box.top() + h * 0.65);
    path.lineTo(box.left(), box.top() + h * 0.65);
    path.closeSubpath();
    p.fillPath(path, blue);
}

} // namespace

QImage button(Picture picture)
{
    switch (picture) {
    case Picture::Play: {
        QImage image = canvas(24, 24);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath tri;
        tri.moveTo(6, 3);
        tri.lineTo(21, 12);
        tri.lineTo(6, 21);
        tri.closeSubpath();
        p.fillPath(tri, green);
        return image;
    }
    case Picture::Pause: {
        QImage image = canvas(25, 26);
        QPainter p(&image);
        p.fillRect(QRect(6, 4, 5, 18), green);
        p.fillRect(QRect(14, 4, 5, 18), green);
        return image;
    }
    case Picture::Stop: {
        QImage image = canvas(24, 24);
        QPainter p(&image);
        p.fillRect(QRect(5, 5, 14, 14), green);
        return image;
    }
    case Picture::Mute: {
        QImage image = canvas(29, 31);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawSpeaker(p, QRectF(7, 9, 14, 13));
        p.setPen(QPen(blue, 2.5));
        p.drawEllipse(QRectF(2.5, 3.5, 24, 24));
        p.drawLine(QPointF(6, 7), QPointF(23, 24));
        return image;
    }
    case Picture::UnMute: {
        QImage image = canvas(23, 24);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawSpeaker(p, QRectF(1, 5, 12, 14));
        p.setPen(QPen(blue, 1.6));
        p.drawArc(QRectF(7, 7, 8, 10), -50 * 16, 100 * 16);
        p.drawArc(QRectF(6, 3.5, 13, 17), -50 * 16, 100 * 16);
        p.drawArc(QRectF(5, 0.5, 17, 23), -50 * 16, 100 * 16);
        return image;
    }
    case Picture::None:
        break;
    }
    return QImage();
}

QImage sun(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size / 2.0, size / 2.0);
    const QColor yellow(255, 210, 0);
    p.setPen(QPen(QColor(240, 170, 0), size / 16.0 * 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int ray = 0; ray < 8; ++ray) {
        const qreal a = ray * M_PI / 4;
        p.drawLine(centre + QPointF(qCos(a), qSin(a)) * size * 0.34,
                   centre + QPointF(qCos(a), qSin(a)) * size * 0.47);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(yellow);
    p.drawEllipse(centre, size * 0.26, size * 0.26);
    return image;
}

QIcon windowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(sun(size)));
    return icon;
}

void drawWindowSymbol(QPainter &p, const QRect &area, const QColor &colour)
{
    const int side = qMin(area.width(), area.height()) * 2 / 3;
    const QRect frame(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    p.setPen(colour);
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.fillRect(QRect(frame.left(), frame.top(), frame.width(), qMax(2, side / 4)), colour);
}

} // namespace Pictures
