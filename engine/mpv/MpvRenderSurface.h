#pragma once

#include <QSize>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

struct mpv_handle;
struct mpv_render_context;
struct mpv_render_param;
class QWidget;

// What both video surfaces share, whichever way they draw: the render
// context of one mpv handle, made and used on a render thread of the
// surface's own, so that a frame that takes long (a heavy styled subtitle)
// holds back the picture, never the window, which only shows finished
// frames; the frame counters; and taking a frame without drawing it while
// the window cannot show it, so playback never waits for the screen. The
// context goes before the widget (and so before the handle) does. mpv may
// use vo=libmpv only between the two moments announced through
// setContextHooks().
class MpvRenderSurface
{
public:
    virtual ~MpvRenderSurface();

    // The surface as a widget, for placing it and reading its geometry.
    QWidget *widget() const { return m_widget; }
    // Whether the render context exists, that is whether mpv can show video.
    bool hasRenderContext() const { return m_render.load() != nullptr; }
    // Frames drawn, and frames taken without drawing because the window
    // could not show them (hidden or minimised); any thread.
    qint64 framesDrawn() const { return m_framesDrawn; }
    qint64 framesSkipped() const { return m_framesSkipped; }
    // The size in device pixels of the frame drawn last; empty before the first.
    QSize frameSize() const;
    // Called on the window's thread right after the context is made and
    // right before it is freed.
    void setContextHooks(std::function<void()> created, std::function<void()> aboutToBeFreed);

protected:
    // What the window asks of the render thread: the size and visibility
    // the next frame is drawn for.
    struct Target
    {
        QSize pixels;
        qreal ratio = 1.0;
        bool showable = false;
    };

    // Draws the video of this handle into this widget, which is the subclass itself.
    MpvRenderSurface(mpv_handle *mpv, QWidget *widget);

    // Starts the render thread and waits for its beginRendering(); false,
    // and no thread, when that failed. The window's thread only.
    bool startRendering();
    // Tells mpv to stop drawing here, waits for a frame being drawn, and ends
    // the render thread, which frees the context. The window's thread only.
    void stopRendering();
    // The render thread runs.
    bool isRendering() const { return m_thread.joinable(); }
    // The widget's current size and whether the window can show it now
    // become the target; a change wakes the render thread, which draws the
    // current frame again for it. The window's thread only.
    void setTarget(bool showable);
    // Wakes the render thread; any thread.
    void wake();

    // The render thread's first step: makes the context (createContext());
    // nothing is drawn when it fails.
    virtual bool beginRendering() = 0;
    // Draws mpv's current frame for target and hands it to the window;
    // false when nothing was drawn. The render thread only.
    virtual bool drawFrame(const Target &target) = 0;
    // The render thread's last step, also after a failed beginRendering():
    // frees the context and what drew with it.
    virtual void endRendering() { freeContext(); }
    // mpv has a new frame or must redraw; runs on mpv's threads, so it may
    // only queue work or wake a thread. Wakes the render thread.
    virtual void mpvUpdated() { wake(); }

    // Makes the context from these parameters; on failure logs that `what`
    // is not possible, and video stays off. Announces nothing.
    bool createContext(mpv_render_param *params, const char *what);
    // Frees the context, announcing nothing; no render may be running then.
    void freeContext();
    // Runs the hook for a context just made, or about to be freed; the
    // window's thread only.
    void announceCreated();
    void announceFreeing();
    mpv_render_context *renderContext() const { return m_render; }
    // Whether the window can show a frame now; the window's thread only.
    bool canShowFrames() const;
    // Takes mpv's due frame without drawing. The render thread only.
    void skipFrame();
    // Counts a frame drawn at this size in device pixels.
    void countDrawn(const QSize &pixels);

private:
    static void onUpdate(void *surface);
    void threadMain();
    void renderLoop();
    void tellWindow();
    void onFrameDone();

    mpv_handle *m_mpv;
    QWidget *m_widget;
    std::atomic<mpv_render_context *> m_render{nullptr};
    std::function<void()> m_created;
    std::function<void()> m_aboutToBeFreed;
    std::atomic<qint64> m_framesDrawn{0};
    std::atomic<qint64> m_framesSkipped{0};
    // Width in the high half, height in the low: read whole from any thread.
    std::atomic<quint64> m_frameSize{0};

    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_wakeUp;
    std::condition_variable m_begun;
    // Guarded by m_lock.
    bool m_starting = false;
    bool m_started = false;
    bool m_stop = false;
    bool m_woken = false;
    Target m_target;
    // A call to onFrameDone() is queued and not run yet.
    std::atomic<bool> m_told{false};
};
