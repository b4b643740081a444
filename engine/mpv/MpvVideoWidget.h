#pragma once

#include "engine/mpv/MpvGlFrames.h"
#include "engine/mpv/MpvRenderSurface.h"

#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <atomic>
#include <memory>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLTextureBlitter;

// Shows the video of an mpv handle through mpv's OpenGL render API: the cheap
// path on a real GPU. The rules of MpvRenderSurface apply. mpv draws on the
// render thread, in a GL context of that thread's own that shares with the
// widget's, into textures that paintGL() only scales onto the widget. Where
// no such context can be made, mpv draws in paintGL() on the window's thread
// instead, and that is logged. A new GL context comes when the widget moves
// to another window; the render context follows it. The widget must die
// before the handle.
class MpvVideoWidget : public QOpenGLWidget, public MpvRenderSurface
{
    Q_OBJECT
public:
    explicit MpvVideoWidget(mpv_handle *mpv, QWidget *parent = nullptr);
    // Waits for a frame being drawn to finish, then frees the context.
    ~MpvVideoWidget() override;

protected:
    void initializeGL() override;
    void paintGL() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void onMpvUpdate();

private:
    bool startThread();
    void startOnWindowThread();
    bool createMpvContext();
    void paintOnWindowThread();
    void releaseRendering();
    bool beginRendering() override;
    bool drawFrame(const Target &target) override;
    void endRendering() override;
    void mpvUpdated() override;

    // mpv draws in paintGL(); decided before any render context is made.
    std::atomic<bool> m_onWindowThread{false};
    // The widget's context, which the render thread's shares with; read
    // there only while the window waits for it to begin.
    QOpenGLContext *m_shareWith = nullptr;
    // Made on the window's thread, current on the render thread.
    std::unique_ptr<QOffscreenSurface> m_offscreen;
    // The render thread's own: made, used and freed there.
    std::unique_ptr<QOpenGLContext> m_threadContext;
    // Why the render thread could not begin; read once it has ended.
    const char *m_threadFailure = nullptr;
    MpvGlFrames m_frames;
    // The widget's context's, for paintGL().
    std::unique_ptr<QOpenGLTextureBlitter> m_blitter;
};
