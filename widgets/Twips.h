#pragma once

class QWidget;

// Control geometry in twips (15 twips to a logical pixel), the unit the
// window's design and the screen modes use. The twips values a control was
// last given are kept on it, so reading them back gives exactly what was set.
namespace Twips {

constexpr float perPixel = 15.0f;

// Twips to the nearest logical pixel, and back.
int toPixels(float twips);
float fromPixels(int pixels);

// Moves and sizes a control, in twips from the client area's top-left corner.
void place(QWidget *control, float left, float top, float width, float height);
// Changes one dimension, keeping the others.
void setWidth(QWidget *control, float width);
void setHeight(QWidget *control, float height);

// The geometry last given in twips (or the pixels' equivalent if none was).
float left(const QWidget *control);
float top(const QWidget *control);
float width(const QWidget *control);
float height(const QWidget *control);

} // namespace Twips
