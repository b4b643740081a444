#include "engine/mpv/MpvRenderSurface.h"

#include "engine/EngineLog.h"

#include <QMetaObject>
#include <QWidget>
#include <QWindow>
#include <mpv/render.h>

MpvRenderSurface::MpvRenderSurface(mpv_handle *mpv, QWidget *widget) : m_mpv(mpv), m_widget(widget)
{
    widget->setObjectName(QStringLiteral("videoSurface"));
}

MpvRenderSurface::~MpvRenderSurface() = default;

QSize MpvRenderSurface::frameSize() const
{
    const quint64 packed = m_frameSize;
    return packed ? QSize(int(packed >> 32), int(packed & 0xffffffffu)) : QSize();
}

void MpvRenderSurface::setContextHooks(std::function<void()> created,
                                       std::function<void()> aboutToBeFreed)
{
    m_created = std::move(created);
    m_aboutToBeFreed = std::move(aboutToBeFreed);
}

bool MpvRenderSurface::createContext(mpv_render_param *params, const char *what)
{
    if (m_render)
        return true;
    mpv_render_context *render = nullptr;
    const int error = mpv_render_context_create(&render, m_mpv, params);
    if (error < 0) {
        qCWarning(corvelVideo, "Video output is off: mpv could not %s (%s)", what,
                  mpv_error_string(error));
        return false;
    }
    m_render = render;
    mpv_render_context_set_update_callback(render, &MpvRenderSurface::onUpdate, this);
    return true;
}

void MpvRenderSurface::freeContext()
{
    if (mpv_render_context *render = m_render.exchange(nullptr))
        mpv_render_context_free(render);
}

void MpvRenderSurface::announceCreated()
{
    if (m_render && m_created)
        m_created();
}

void MpvRenderSurface::announceFreeing()
{
    if (m_render && m_aboutToBeFreed)
        m_aboutToBeFreed();
}

void MpvRenderSurface::onUpdate(void *surface)
{
    static_cast<MpvRenderSurface *>(surface)->mpvUpdated();
}

bool MpvRenderSurface::canShowFrames() const
{
    const QWidget *top = m_widget->window();
    const QWindow *handle = top->windowHandle();
    return m_widget->isVisible() && handle && handle->isExposed() &&
           !(top->windowState() & Qt::WindowMinimized) && m_widget->width() > 0 &&
           m_widget->height() > 0;
}

// Qt paints nothing for a window it cannot show, yet mpv waits for every
// frame to be taken before it goes on: take it without drawing.
void MpvRenderSurface::skipFrame()
{
    int skip = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(m_render, params);
    ++m_framesSkipped;
}

void MpvRenderSurface::countDrawn(const QSize &pixels)
{
    m_frameSize = (quint64(quint32(pixels.width())) << 32) | quint32(pixels.height());
    ++m_framesDrawn;
}

bool MpvRenderSurface::startRendering()
{
    if (m_thread.joinable())
        return true;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_starting = true;
        m_stop = false;
    }
    m_thread = std::thread(&MpvRenderSurface::threadMain, this);
    bool started = false;
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_begun.wait(lock, [this] { return !m_starting; });
        started = m_started;
    }
    if (!started) {
        m_thread.join();
        return false;
    }
    announceCreated();
    return true;
}

void MpvRenderSurface::stopRendering()
{
    if (!m_thread.joinable())
        return;
    // mpv lets go of the context first, while this thread still serves it.
    announceFreeing();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wakeUp.notify_all();
    m_thread.join();
}

void MpvRenderSurface::setTarget(bool showable)
{
    const qreal ratio = m_widget->devicePixelRatioF();
    const Target wanted{(QSizeF(m_widget->size()) * ratio).toSize(), ratio, showable};
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (wanted.pixels == m_target.pixels && wanted.ratio == m_target.ratio &&
            wanted.showable == m_target.showable)
            return;
        m_target = wanted;
        m_woken = true;
    }
    m_wakeUp.notify_all();
}

void MpvRenderSurface::wake()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_woken = true;
    }
    m_wakeUp.notify_all();
}

void MpvRenderSurface::threadMain()
{
    const bool started = beginRendering() && m_render;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_started = started;
        m_starting = false;
    }
    m_begun.notify_all();
    if (started)
        renderLoop();
    endRendering();
}

// The only caller of mpv's render functions between the context's making
// and freeing; mpv blocks it until each frame's display time.
void MpvRenderSurface::renderLoop()
{
    bool hasFrame = false;
    // The size of the frame the window has; empty when it has none, or
    // mpv's current frame was taken without drawing since.
    QSize handedOver;
    for (;;) {
        Target target;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_wakeUp.wait(lock, [this] { return m_stop || m_woken; });
            if (m_stop)
                return;
            m_woken = false;
            target = m_target;
        }
        const bool newFrame = mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME;
        hasFrame = hasFrame || newFrame;
        if (!target.showable || target.pixels.isEmpty()) {
            if (newFrame) {
                skipFrame();
                handedOver = QSize();
                tellWindow();
            }
            continue;
        }
        if (!hasFrame || (!newFrame && handedOver == target.pixels))
            continue;
        if (!drawFrame(target))
            continue;
        handedOver = target.pixels;
        tellWindow();
    }
}

// A frame was drawn or taken; the window looks at it once, however many come
// while it is busy.
void MpvRenderSurface::tellWindow()
{
    if (!m_told.exchange(true))
        QMetaObject::invokeMethod(
            m_widget, [this] { onFrameDone(); }, Qt::QueuedConnection);
}

void MpvRenderSurface::onFrameDone()
{
    m_told = false;
    // Whether the window can be seen is learnt here, frame by frame, and in
    // each paint, as no event tells a child widget its window was minimised.
    const bool showable = canShowFrames();
    setTarget(showable);
    if (showable)
        m_widget->update();
}
