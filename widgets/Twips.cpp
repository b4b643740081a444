#include "widgets/Twips.h"

#include <QVariant>
#include <QWidget>
#include <cmath>

namespace Twips {
namespace {

const char *const leftKey = "twipsLeft";
const char *const topKey = "twipsTop";
const char *const widthKey = "twipsWidth";
const char *const heightKey = "twipsHeight";

float stored(const QWidget *control, const char *key, int pixels)
{
    const QVariant value = control->property(key);
    return value.isValid() ? value.toFloat() : fromPixels(pixels);
}

void apply(QWidget *control)
{
    control->setGeometry(toPixels(left(control)), toPixels(top(control)), toPixels(width(control)),
                         toPixels(height(control)));
}

} // namespace

int toPixels(float twips)
{
    return int(std::lround(twips / perPixel));
}
float fromPixels(int pixels)
{
    return float(pixels) * perPixel;
}

void place(QWidget *control, float l, float t, float w, float h)
{
    control->setProperty(leftKey, l);
    control->setProperty(topKey, t);
    control->setProperty(widthKey, w);
    control->setProperty(heightKey, h);
    apply(control);
}

void setWidth(QWidget *control, float w)
{
    control->setProperty(widthKey, w);
    apply(control);
}

void setHeight(QWidget *control, float h)
{
    control->setProperty(heightKey, h);
    apply(control);
}

float left(const QWidget *c)
{
    return stored(c, leftKey, c->x());
}
float top(const QWidget *c)
{
    return stored(c, topKey, c->y());
}
float width(const QWidget *c)
{
    return stored(c, widthKey, c->width());
}
float height(const QWidget *c)
{
    return stored(c, heightKey, c->height());
}

} // namespace Twips
