#pragma once

#include <QIcon>
#include <QImage>

class QPainter;
class QRect;

// The pictures of the window's picture buttons.
enum class Picture
{
    None,
    Play,
    Pause,
    Stop,
    Mute,
    UnMute
};

// The window's own pictures, drawn in code so nothing binary is shipped.
namespace Pictures {

// The button picture at its design size (for example 24 x 24 for Play).
QImage button(Picture picture);
// The window icon: a yellow sun on a transparent ground, 16 x 16 and larger.
QImage sun(int size);
QIcon windowIcon();
// The picture the symbol font gives the caption "1": a small window.
void drawWindowSymbol(QPainter &painter, const QRect &area, const QColor &colour);

} // namespace Pictures
