#include "engine/mpv/MpvVideoWidget.h"

#include <QOpenGLContext>
#include <mpv/render_gl.h>

namespace {

void *procAddress(void *, const char *name)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void *>(context->getProcAddress(name)) : nullptr;
}

} // namespace

MpvVideoWidget::MpvVideoWidget(mpv_handle *mpv, QWidget *parent)
    : QOpenGLWidget(parent), MpvRenderSurface(mpv, this)
{
    // Swap times help mpv pace its frames to the display.
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        if (hasRenderContext())
            mpv_render_context_report_swap(renderContext());
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
    if (hasRenderContext())
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
    createContext(params, "use OpenGL");
}

void MpvVideoWidget::paintGL()
{
    if (!hasRenderContext())
        return;
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{int(defaultFramebufferObject()), int(width() * ratio), int(height() * ratio),
                       0};
    int flipY = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(renderContext(), params);
    countDrawn(QSize(fbo.w, fbo.h));
}

// Runs on mpv's render thread or inside mpv calls: only queue a call.
void MpvVideoWidget::mpvUpdated()
{
    QMetaObject::invokeMethod(this, "onMpvUpdate", Qt::QueuedConnection);
}

void MpvVideoWidget::onMpvUpdate()
{
    if (!hasRenderContext())
        return;
    if (!(mpv_render_context_update(renderContext()) & MPV_RENDER_UPDATE_FRAME))
        return;
    if (canShowFrames()) {
        update();
        return;
    }
    makeCurrent();
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{int(defaultFramebufferObject()), int(width() * ratio), int(height() * ratio),
                       0};
    const mpv_render_param target{MPV_RENDER_PARAM_OPENGL_FBO, &fbo};
    skipFrame(&target);
    doneCurrent();
}

void MpvVideoWidget::freeRenderContext()
{
    if (!hasRenderContext())
        return;
    makeCurrent();
    freeContext();
    doneCurrent();
}
