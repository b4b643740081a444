#pragma once

#include "engine/mpv/MpvVideoSurface.h"

#include <QOpenGLWidget>

struct mpv_handle;
struct mpv_render_context;

// Shows the video of an mpv handle through mpv's OpenGL render API: the cheap
// path on a real GPU. The rules of MpvVideoSurface apply.
// The render context lives with the widget's GL context: it is made in
// initializeGL() and freed, with the GL context current, before the GL context
// goes or the widget does, so the widget must die before the handle.
class MpvVideoWidget : public QOpenGLWidget, public MpvVideoSurface
{
    Q_OBJECT
public:
    explicit MpvVideoWidget(mpv_handle *mpv, QWidget *parent = nullptr);
    ~MpvVideoWidget() override;

    QWidget *widget() override { return this; }
    bool hasRenderContext() const override { return m_render != nullptr; }
    qint64 framesDrawn() const override { return m_framesDrawn; }
    qint64 framesSkipped() const override { return m_framesSkipped; }
    QSize frameSize() const override { return m_frameSize; }

signals:
    // The render context was made: mpv can now be switched to vo=libmpv.
    void renderContextCreated();
    // The render context is about to go: mpv must leave vo=libmpv now.
    void renderContextAboutToBeFreed();

protected:
    void initializeGL() override;
    void paintGL() override;

private slots:
    void onMpvUpdate();

private:
    bool canShowFrames() const;
    void skipFrame();
    void freeRenderContext();

    mpv_handle *m_mpv;
    mpv_render_context *m_render = nullptr;
    qint64 m_framesDrawn = 0;
    qint64 m_framesSkipped = 0;
    QSize m_frameSize;
};
