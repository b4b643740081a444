#pragma once

#include "engine/mpv/MpvRenderSurface.h"

#include <QOpenGLWidget>

// Shows the video of an mpv handle through mpv's OpenGL render API: the cheap
// path on a real GPU. The rules of MpvRenderSurface apply. mpv draws in
// paintGL(), on the window's thread, since the widget's GL context lives there.
// The render context lives with the widget's GL context: it is made in
// initializeGL() and freed, with the GL context current, before the GL context
// goes or the widget does, so the widget must die before the handle.
class MpvVideoWidget : public QOpenGLWidget, public MpvRenderSurface
{
    Q_OBJECT
public:
    explicit MpvVideoWidget(mpv_handle *mpv, QWidget *parent = nullptr);
    ~MpvVideoWidget() override;

protected:
    void initializeGL() override;
    void paintGL() override;

private slots:
    void onMpvUpdate();

private:
    void mpvUpdated() override;
    void freeRenderContext();
};
