#include "engine/mpv/MpvVideoWidget.h"

#include "engine/EngineLog.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLTextureBlitter>
#include <mpv/render_gl.h>

namespace {

void *procAddress(void *, const char *name)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void *>(context->getProcAddress(name)) : nullptr;
}

// Draws mpv's current frame into this framebuffer, blocking until its display time.
void renderInto(mpv_render_context *render, int fbo, const QSize &pixels)
{
    mpv_opengl_fbo target{fbo, pixels.width(), pixels.height(), 0};
    int flipY = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &target},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(render, params);
}

} // namespace

MpvVideoWidget::MpvVideoWidget(mpv_handle *mpv, QWidget *parent)
    : QOpenGLWidget(parent), MpvRenderSurface(mpv, this)
{
    // Swap times help mpv pace its frames to the display, where the swap
    // is of the frame mpv just drew: only when it draws in paintGL().
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        if (m_onWindowThread && hasRenderContext())
            mpv_render_context_report_swap(renderContext());
    });
}

MpvVideoWidget::~MpvVideoWidget()
{
    // The base class destroys the GL context after this object is gone: its
    // aboutToBeDestroyed must not reach a half-destroyed widget.
    if (QOpenGLContext *glContext = context())
        disconnect(glContext, nullptr, this, nullptr);
    releaseRendering();
}

void MpvVideoWidget::initializeGL()
{
    if (hasRenderContext())
        return;
    // The render context must not outlive the GL context it shows through.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &MpvVideoWidget::releaseRendering,
            Qt::DirectConnection);
    if (!m_onWindowThread && startThread())
        return;
    m_onWindowThread = true;
    startOnWindowThread();
}

// The widget's context is current.
bool MpvVideoWidget::startThread()
{
    const char *failure = nullptr;
    if (!QOpenGLContext::supportsThreadedOpenGL()) {
        failure = "this platform has no OpenGL on other threads";
    } else if (m_blitter = std::make_unique<QOpenGLTextureBlitter>(); !m_blitter->create()) {
        failure = "no texture blitter";
    } else {
        m_offscreen = std::make_unique<QOffscreenSurface>();
        m_offscreen->setFormat(context()->format());
        m_offscreen->create();
        m_shareWith = context();
        if (startRendering())
            return true;
        failure = m_threadFailure;
    }
    qCWarning(corvelVideo, "OpenGL video is drawn on the window's thread: %s", failure);
    m_offscreen.reset();
    m_shareWith = nullptr;
    m_blitter.reset();
    return false;
}

void MpvVideoWidget::startOnWindowThread()
{
    createMpvContext();
    announceCreated();
}

// The GL context to draw in is current on this thread.
bool MpvVideoWidget::createMpvContext()
{
    mpv_opengl_init_params glInit{procAddress, nullptr};
    int advanced = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
        {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    return createContext(params, "use OpenGL");
}

// The render thread.
bool MpvVideoWidget::beginRendering()
{
    m_threadContext = std::make_unique<QOpenGLContext>();
    m_threadContext->setFormat(m_shareWith->format());
    m_threadContext->setShareContext(m_shareWith);
    if (!m_threadContext->create() || m_threadContext->shareContext() != m_shareWith ||
        !m_threadContext->makeCurrent(m_offscreen.get())) {
        m_threadFailure = "no GL context of its own that shares with the window's";
        return false;
    }
    m_threadFailure = "mpv could not draw in the render thread's GL context";
    return createMpvContext();
}

// The render thread.
bool MpvVideoWidget::drawFrame(const Target &target)
{
    QOpenGLFramebufferObject *fbo = m_frames.beginFrame(target.pixels);
    if (!fbo)
        return false;
    renderInto(renderContext(), int(fbo->handle()), target.pixels);
    m_frames.finishFrame();
    countDrawn(target.pixels);
    return true;
}

// The render thread.
void MpvVideoWidget::endRendering()
{
    if (m_threadContext && m_threadContext->makeCurrent(m_offscreen.get())) {
        freeContext();
        m_frames.release();
        m_threadContext->doneCurrent();
    }
    m_threadContext.reset();
}

// Runs when the widget's GL context goes, and when the widget does.
void MpvVideoWidget::releaseRendering()
{
    if (isRendering()) {
        stopRendering();
    } else if (m_onWindowThread && hasRenderContext()) {
        announceFreeing();
        makeCurrent();
        freeContext();
        doneCurrent();
    }
    m_offscreen.reset();
    m_shareWith = nullptr;
    if (m_blitter) {
        makeCurrent();
        m_blitter.reset();
        doneCurrent();
    }
}

void MpvVideoWidget::paintGL()
{
    if (m_onWindowThread) {
        paintOnWindowThread();
        return;
    }
    setTarget(canShowFrames());
    QOpenGLFunctions *gl = context()->functions();
    gl->glClearColor(0, 0, 0, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    if (!m_blitter)
        return;
    // The picture stays opaque, whatever mpv left in the alpha channel.
    gl->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    // At a new size, the last frame stretched until one for it is drawn.
    m_frames.show(*m_blitter);
    gl->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void MpvVideoWidget::showEvent(QShowEvent *event)
{
    QOpenGLWidget::showEvent(event);
    setTarget(canShowFrames());
}

void MpvVideoWidget::hideEvent(QHideEvent *event)
{
    QOpenGLWidget::hideEvent(event);
    setTarget(false);
}

void MpvVideoWidget::resizeEvent(QResizeEvent *event)
{
    QOpenGLWidget::resizeEvent(event);
    setTarget(canShowFrames());
}

// Runs on mpv's threads or inside mpv calls: only wake a thread or queue a call.
void MpvVideoWidget::mpvUpdated()
{
    if (m_onWindowThread)
        QMetaObject::invokeMethod(this, "onMpvUpdate", Qt::QueuedConnection);
    else
        wake();
}

void MpvVideoWidget::paintOnWindowThread()
{
    if (!hasRenderContext())
        return;
    const QSize pixels = (QSizeF(size()) * devicePixelRatioF()).toSize();
    renderInto(renderContext(), int(defaultFramebufferObject()), pixels);
    countDrawn(pixels);
}

void MpvVideoWidget::onMpvUpdate()
{
    if (!m_onWindowThread || !hasRenderContext())
        return;
    if (!(mpv_render_context_update(renderContext()) & MPV_RENDER_UPDATE_FRAME))
        return;
    if (canShowFrames()) {
        update();
        return;
    }
    makeCurrent();
    skipFrame();
    doneCurrent();
}
