#include "engine/mpv/MpvVideoWidget.h"

#include "engine/EngineLog.h"

#include <QOpenGLContext>
#include <QWindow>
#include <mpv/render_gl.h>

namespace {

void *procAddress(void *, const char *name)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void *>(context->getProcAddress(name)) : nullptr;
}

// Runs on mpv's render thread or inside mpv calls: only queue a call.
void onRenderUpdate(void *widget)
{
    QMetaObject::invokeMethod(static_cast<MpvVideoWidget *>(widget), "onMpvUpdate",
                              Qt::QueuedConnection);
}

} // namespace

MpvVideoWidget::MpvVideoWidget(mpv_handle *mpv, QWidget *parent) : QOpenGLWidget(parent), m_mpv(mpv)
{
    setObjectName(QStringLiteral("videoSurface"));
    // Swap times help mpv pace its frames to the display.
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        if (m_render)
            mpv_render_context_report_swap(m_render);
    });
}

MpvVideoWidget::~MpvVideoWidget()
{
    // The base class destroys the GL context after this object is gone: its
    // aboutToBeDestroyed must not reach a half-destroyed widget.
    if (QOpenGLContext *glContext = context())
        disconnect(glContext, nullptr, this, nullptr);
    freeRenderContext();
}

void MpvVideoWidget::initializeGL()
{
    if (m_render)
        return;
    // A new GL context comes when the widget moves to another window; the
    // render context must not outlive the one it was made in.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
            &MpvVideoWidget::freeRenderContext, Qt::DirectConnection);

    mpv_opengl_init_params glInit{procAddress, nullptr};
    int advanced = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
        {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    const int error = mpv_render_context_create(&m_render, m_mpv, params);
    if (error < 0) {
        m_render = nullptr;
        qCWarning(corvelVideo, "Video output is off: mpv could not use OpenGL (%s)",
                  mpv_error_string(error));
        return;
    }
    mpv_render_context_set_update_callback(m_render, onRenderUpdate, this);
    emit renderContextCreated();
}

void MpvVideoWidget::paintGL()
{
    if (!m_render)
        return;
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{int(defaultFramebufferObject()), int(width() * ratio), int(height() * ratio),
                       0};
    int flipY = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(m_render, params);
    m_frameSize = QSize(fbo.w, fbo.h);
    ++m_framesDrawn;
}

void MpvVideoWidget::onMpvUpdate()
{
    if (!m_render)
        return;
    if (!(mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME))
        return;
    if (canShowFrames())
        update();
    else
        skipFrame();
}

bool MpvVideoWidget::canShowFrames() const
{
    const QWidget *top = window();
    const QWindow *handle = top->windowHandle();
    return isVisible() && handle && handle->isExposed() &&
           !(top->windowState() & Qt::WindowMinimized);
}

// Qt paints nothing for a window it cannot show, yet mpv waits for every
// frame to be taken before it goes on: take it without drawing.
void MpvVideoWidget::skipFrame()
{
    makeCurrent();
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{int(defaultFramebufferObject()), int(width() * ratio), int(height() * ratio),
                       0};
    int skip = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(m_render, params);
    doneCurrent();
    ++m_framesSkipped;
}

void MpvVideoWidget::freeRenderContext()
{
    if (!m_render)
        return;
    emit renderContextAboutToBeFreed();
    makeCurrent();
    mpv_render_context_free(m_render);
    m_render = nullptr;
    doneCurrent();
}
