#pragma once

#include <QOpenGLWidget>

struct mpv_handle;
struct mpv_render_context;

// Shows the video of an mpv handle through mpv's OpenGL render API. Only one
// such widget may exist per handle, and the handle's vo may be "libmpv" only
// while the render context exists (see the two signals).
// The render context lives with the widget's GL context: it is made in
// initializeGL() and freed, with the GL context current, before the GL context
// goes or the widget does, so the widget must die before the handle.
class MpvVideoWidget : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit MpvVideoWidget(mpv_handle *mpv, QWidget *parent = nullptr);
    ~MpvVideoWidget() override;

    // Whether the render context exists, that is whether mpv can show video.
    bool hasRenderContext() const { return m_render != nullptr; }
    // Frames drawn on screen, and frames consumed without drawing because the
    // window could not show them (hidden or minimised).
    qint64 framesDrawn() const { return m_framesDrawn; }
    qint64 framesSkipped() const { return m_framesSkipped; }

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
};
