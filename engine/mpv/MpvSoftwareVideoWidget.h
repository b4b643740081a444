#pragma once

#include "engine/mpv/MpvVideoSurface.h"

#include <QImage>
#include <QWidget>

struct mpv_handle;
struct mpv_render_context;

// Shows the video of an mpv handle through mpv's software render API: mpv
// scales and converts each frame on the CPU straight into an image that Qt
// draws as it is. Needs no OpenGL, so it is the cheap path wherever OpenGL is
// itself done on the CPU. The rules of MpvVideoSurface apply.
class MpvSoftwareVideoWidget : public QWidget, public MpvVideoSurface
{
    Q_OBJECT
public:
    explicit MpvSoftwareVideoWidget(mpv_handle *mpv, QWidget *parent = nullptr);
    ~MpvSoftwareVideoWidget() override;

    QWidget *widget() override { return this; }
    bool hasRenderContext() const override { return m_render != nullptr; }
    qint64 framesDrawn() const override { return m_framesDrawn; }
    qint64 framesSkipped() const override { return m_framesSkipped; }
    QSize frameSize() const override { return m_frameSize; }

signals:
    // The render context was made: mpv can now be switched to vo=libmpv.
    void renderContextCreated();
    // The render context is about to go: mpv must leave vo=libmpv now.
    void renderContextAboutToBeFreed();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void onMpvUpdate();

private:
    void createRenderContext();
    void freeRenderContext();
    bool canShowFrames() const;
    void skipFrame();
    bool renderFrame(const QSize &pixels);
    void makeImage(const QSize &pixels);

    mpv_handle *m_mpv;
    mpv_render_context *m_render = nullptr;
    // mpv draws into this; its lines start on 64-byte boundaries, which lets
    // mpv's scaler take its fast path.
    QImage m_image;
    // A frame is due that has not been drawn into m_image yet.
    bool m_frameDue = false;
    bool m_hasFrame = false;
    QSize m_frameSize;
    qint64 m_framesDrawn = 0;
    qint64 m_framesSkipped = 0;
};
