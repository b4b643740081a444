#pragma once

#include <QSize>
#include <QtGui/qopengl.h>
#include <memory>
#include <mutex>

class QOpenGLFramebufferObject;
class QOpenGLTextureBlitter;

// Two textures that a render thread draws video frames into by turns while
// the window shows the one finished last, so the window never waits for a
// frame being drawn. The render thread's GL context and the window's must
// share. A frame is handed over only once the GPU has finished it, and a
// texture is drawn over only once the window's GPU work reading it is done.
class MpvGlFrames
{
public:
    MpvGlFrames();
    // release() must have run while a context of the group was current.
    ~MpvGlFrames();

    // The framebuffer, of this size, to draw the next frame into: never the
    // one the window shows. Null when none can be made. The render thread,
    // its context current.
    QOpenGLFramebufferObject *beginFrame(const QSize &pixels);
    // The frame drawn into beginFrame()'s framebuffer is complete: waits for
    // the GPU, then gives it to the window. The render thread.
    void finishFrame();
    // Frees both textures; the window has none to show then. The render
    // thread, its context current.
    void release();

    // Draws the finished frame over the whole viewport; false when there is
    // none yet. The window's thread, the widget's context current.
    bool show(QOpenGLTextureBlitter &blitter);

private:
    struct Buffer
    {
        std::unique_ptr<QOpenGLFramebufferObject> fbo;
        // Signalled once the window's last read of this texture is done.
        GLsync shown = nullptr;
    };

    std::mutex m_lock;
    // Guarded by m_lock: the fbo of the buffer m_finished names, and each
    // buffer's fence. The other buffer's fbo belongs to the render thread.
    Buffer m_buffers[2];
    int m_finished = -1;
    // The render thread only.
    int m_drawing = -1;
};
