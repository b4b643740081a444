#pragma once

#include "engine/mpv/MpvRenderSurface.h"

#include <QImage>
#include <QWidget>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// Shows the video of an mpv handle through mpv's software render API: mpv
// scales each frame and draws its subtitles on the CPU straight into an
// image that Qt shows as it is. Needs no OpenGL, so it is the cheap path
// wherever OpenGL is itself done on the CPU. mpv draws on a thread of the
// widget's own, so a frame that takes long (a heavy styled subtitle) holds
// back the picture, never the window; the widget only ever shows finished
// frames. The rules of MpvRenderSurface apply.
class MpvSoftwareVideoWidget : public QWidget, public MpvRenderSurface
{
    Q_OBJECT
public:
    explicit MpvSoftwareVideoWidget(mpv_handle *mpv, QWidget *parent = nullptr);
    // Waits for a frame being drawn to finish, then frees the context.
    ~MpvSoftwareVideoWidget() override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void onFrameDone();

private:
    // What the window asks of the render thread; guarded by m_lock.
    struct Target
    {
        QSize pixels;
        qreal ratio = 1.0;
        bool showable = false;
    };

    void mpvUpdated() override;
    void startRendering();
    void stopRendering();
    void setTarget(bool showable);
    void wake();
    void renderLoop();
    bool renderInto(QImage &image, const Target &target);
    void tellWindow();

    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_wakeUp;
    bool m_stop = false;
    bool m_woken = false;
    Target m_target;
    // The frame finished last, which paints show.
    QImage m_finished;
    // A call to onFrameDone() is queued and not run yet.
    std::atomic<bool> m_told{false};
};
