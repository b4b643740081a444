#pragma once

#include "engine/mpv/MpvRenderSurface.h"

#include <QImage>
#include <QWidget>
#include <mutex>

// Shows the video of an mpv handle through mpv's software render API: mpv
// scales each frame and draws its subtitles on the CPU straight into an
// image that Qt shows as it is. Needs no OpenGL, so it is the cheap path
// wherever OpenGL is itself done on the CPU. The rules of MpvRenderSurface
// apply.
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

private:
    bool beginRendering() override;
    bool drawFrame(const Target &target) override;
    bool renderInto(QImage &image, const Target &target);

    // The image the render thread draws into; that thread only.
    QImage m_drawing;
    std::mutex m_frameLock;
    // The frame finished last, which paints show; guarded by m_frameLock.
    QImage m_finished;
};
