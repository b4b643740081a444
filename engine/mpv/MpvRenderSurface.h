#pragma once

#include <QSize>
#include <atomic>
#include <functional>

struct mpv_handle;
struct mpv_render_context;
struct mpv_render_param;
class QWidget;

// What both video surfaces share, whichever way they draw: the render
// context of one mpv handle, made once the widget is shown and freed before
// the widget (and so before the handle) goes; the frame counters; and taking
// a frame without drawing it while the window cannot show it, so playback
// never waits for the screen. mpv may use vo=libmpv only between the two
// moments announced through setContextHooks().
class MpvRenderSurface
{
public:
    virtual ~MpvRenderSurface();

    // The surface as a widget, for placing it and reading its geometry.
    QWidget *widget() const { return m_widget; }
    // Whether the render context exists, that is whether mpv can show video.
    bool hasRenderContext() const { return m_render != nullptr; }
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
    // Draws the video of this handle into this widget, which is the subclass itself.
    MpvRenderSurface(mpv_handle *mpv, QWidget *widget);

    // Makes the context from these parameters and announces it; on failure
    // logs that `what` is not possible, and video stays off.
    bool createContext(mpv_render_param *params, const char *what);
    // Announces, then frees the context; no render may be running then.
    void freeContext();
    mpv_render_context *renderContext() const { return m_render; }
    // Whether the window can show a frame now; the window's thread only.
    bool canShowFrames() const;
    // Takes mpv's due frame without drawing; target is the backend's target
    // parameter or null. The render thread only.
    void skipFrame(const mpv_render_param *target = nullptr);
    // Counts a frame drawn at this size in device pixels.
    void countDrawn(const QSize &pixels);
    // mpv has a new frame or must redraw; runs on mpv's threads, so it may
    // only queue work or wake a thread.
    virtual void mpvUpdated() = 0;

private:
    static void onUpdate(void *surface);

    mpv_handle *m_mpv;
    QWidget *m_widget;
    mpv_render_context *m_render = nullptr;
    std::function<void()> m_created;
    std::function<void()> m_aboutToBeFreed;
    std::atomic<qint64> m_framesDrawn{0};
    std::atomic<qint64> m_framesSkipped{0};
    // Width in the high half, height in the low: read whole from any thread.
    std::atomic<quint64> m_frameSize{0};
};
