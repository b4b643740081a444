#include "engine/SeekSlider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

SeekSlider::SeekSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // sliderPosition already holds the new place when an action is reported.
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this](int) { emit seekRequested(sliderPosition()); });
}

void SeekSlider::mousePressEvent(QMouseEvent *event)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    if (event->button() != Qt::LeftButton || handle.contains(event->position().toPoint()) ||
        maximum() <= minimum()) {
        QSlider::mousePressEvent(event);
        return;
    }
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const int span = groove.width() - handle.width();
    const int x = event->position().toPoint().x() - groove.x() - handle.width() / 2;
    const int value =
        QStyle::sliderValueFromPosition(minimum(), maximum(), x, span, option.upsideDown);
    // Reported through actionTriggered, as a drag or a key is: once.
    setSliderPosition(value);
    // Keep the handle under the mouse so the user can drag on from here.
    QSlider::mousePressEvent(event);
}
