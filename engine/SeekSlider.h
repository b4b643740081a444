#pragma once

#include <QSlider>

// A horizontal slider for a playback position: a click on the groove jumps
// straight there instead of paging, and every user action, by mouse or by
// key, is reported once as seekRequested. Values set from code are not.
class SeekSlider : public QSlider
{
    Q_OBJECT
public:
    explicit SeekSlider(QWidget *parent = nullptr);

signals:
    // The user asked for this position (in the slider's own units).
    void seekRequested(int value);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
