#include "engine/mpv/MpvSoftwareVideoWidget.h"

#include "engine/EngineLog.h"

#include <QPaintEvent>
#include <QPainter>
#include <cstdlib>
#include <mpv/render.h>

namespace {

// The layout in which mpv's bytes are what QImage::Format_RGB32 holds
// (0xffRRGGBB as a native 32-bit word), so Qt draws them without converting.
// mpv must write the fourth byte as opaque: Qt copies it into windows that
// keep an alpha channel (Wayland's), where the "0" layouts leave it
// undefined and the picture transparent.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
char frameFormat[] = "bgra";
#else
char frameFormat[] = "argb";
#endif
void freeAligned(void *data)
{
    std::free(data);
}

// An image whose lines start on 64-byte boundaries, which lets mpv's scaler
// take its fast path; null when there is no memory for it.
QImage alignedImage(const QSize &pixels, qreal ratio)
{
    const qsizetype stride = (qsizetype(pixels.width()) * 4 + 63) & ~qsizetype(63);
    void *data = nullptr;
    if (posix_memalign(&data, 64, size_t(stride) * size_t(pixels.height())) != 0) {
        qCWarning(corvelVideo, "No memory for a %dx%d video frame", pixels.width(),
                  pixels.height());
        return {};
    }
    QImage image(static_cast<uchar *>(data), pixels.width(), pixels.height(), stride,
                 QImage::Format_RGB32, freeAligned, data);
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace

MpvSoftwareVideoWidget::MpvSoftwareVideoWidget(mpv_handle *mpv, QWidget *parent)
    : QWidget(parent), MpvRenderSurface(mpv, this)
{
    // Every pixel is painted each time: Qt need not clear behind it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

MpvSoftwareVideoWidget::~MpvSoftwareVideoWidget()
{
    stopRendering();
}

void MpvSoftwareVideoWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    startRendering();
    setTarget(canShowFrames());
}

void MpvSoftwareVideoWidget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    setTarget(false);
}

void MpvSoftwareVideoWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setTarget(canShowFrames());
}

bool MpvSoftwareVideoWidget::beginRendering()
{
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    return createContext(params, "draw video in software");
}

// Draws into an image of the render thread's own and hands it over finished.
bool MpvSoftwareVideoWidget::drawFrame(const Target &target)
{
    if (!renderInto(m_drawing, target))
        return false;
    std::lock_guard<std::mutex> lock(m_frameLock);
    std::swap(m_finished, m_drawing);
    return true;
}

bool MpvSoftwareVideoWidget::renderInto(QImage &image, const Target &target)
{
    // The image a paint may still hold is not drawn over.
    if (image.size() != target.pixels || !image.isDetached())
        image = alignedImage(target.pixels, target.ratio);
    if (image.isNull())
        return false;
    image.setDevicePixelRatio(target.ratio);
    int size[2] = {target.pixels.width(), target.pixels.height()};
    size_t stride = size_t(image.bytesPerLine());
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                 {MPV_RENDER_PARAM_SW_FORMAT, frameFormat},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, image.bits()},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    const int error = mpv_render_context_render(renderContext(), params);
    if (error < 0) {
        qCWarning(corvelVideo, "mpv could not draw a video frame: %s", mpv_error_string(error));
        image.fill(Qt::black);
    }
    countDrawn(target.pixels);
    return true;
}

void MpvSoftwareVideoWidget::paintEvent(QPaintEvent *event)
{
    setTarget(canShowFrames());
    QImage frame;
    {
        std::lock_guard<std::mutex> lock(m_frameLock);
        frame = m_finished;
    }
    QPainter painter(this);
    if (frame.isNull()) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    // At a new size, the last frame stretched until mpv has drawn one for it.
    painter.drawImage(rect(), frame);
}
