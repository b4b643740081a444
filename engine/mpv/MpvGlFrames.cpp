#include "engine/mpv/MpvGlFrames.h"

#include "engine/EngineLog.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QOpenGLTextureBlitter>

namespace {

// Fences came with OpenGL 3.2 and OpenGL ES 3.0; older contexts wait for
// the whole read instead.
bool hasFences(const QOpenGLContext &context)
{
    const QSurfaceFormat format = context.format();
    if (context.isOpenGLES())
        return format.majorVersion() >= 3;
    return format.version() >= qMakePair(3, 2) || context.hasExtension("GL_ARB_sync");
}

// A second is far beyond any blit; past it the texture is drawn over anyway
// rather than the picture stopping.
constexpr GLuint64 shownTimeoutNs = 1000000000;

} // namespace

MpvGlFrames::MpvGlFrames() = default;

MpvGlFrames::~MpvGlFrames() = default;

QOpenGLFramebufferObject *MpvGlFrames::beginFrame(const QSize &pixels)
{
    GLsync shown = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_drawing = m_finished == 0 ? 1 : 0;
        std::swap(shown, m_buffers[m_drawing].shown);
    }
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (shown) {
        QOpenGLExtraFunctions *gl = context->extraFunctions();
        gl->glClientWaitSync(shown, 0, shownTimeoutNs);
        gl->glDeleteSync(shown);
    }
    std::unique_ptr<QOpenGLFramebufferObject> &fbo = m_buffers[m_drawing].fbo;
    if (!fbo || fbo->size() != pixels) {
        fbo.reset();
        auto made = std::make_unique<QOpenGLFramebufferObject>(pixels);
        if (!made->isValid()) {
            qCWarning(corvelVideo, "No %dx%d OpenGL framebuffer for a video frame", pixels.width(),
                      pixels.height());
            return nullptr;
        }
        fbo = std::move(made);
    }
    return fbo.get();
}

void MpvGlFrames::finishFrame()
{
    QOpenGLContext::currentContext()->functions()->glFinish();
    std::lock_guard<std::mutex> lock(m_lock);
    m_finished = m_drawing;
}

void MpvGlFrames::release()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    std::lock_guard<std::mutex> lock(m_lock);
    for (Buffer &buffer : m_buffers) {
        if (buffer.shown && context)
            context->extraFunctions()->glDeleteSync(buffer.shown);
        buffer.shown = nullptr;
        buffer.fbo.reset();
    }
    m_finished = -1;
}

bool MpvGlFrames::show(QOpenGLTextureBlitter &blitter)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_finished < 0)
        return false;
    Buffer &buffer = m_buffers[m_finished];
    blitter.bind();
    // mpv drew it with OpenGL's rows, bottom first; the identity fills the viewport.
    blitter.blit(buffer.fbo->texture(), QMatrix4x4(), QOpenGLTextureBlitter::OriginBottomLeft);
    blitter.release();
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!hasFences(*context)) {
        context->functions()->glFinish();
        return true;
    }
    QOpenGLExtraFunctions *gl = context->extraFunctions();
    if (buffer.shown)
        gl->glDeleteSync(buffer.shown);
    buffer.shown = gl->glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    // The render thread's wait sees the fence only once it is sent.
    gl->glFlush();
    return true;
}
