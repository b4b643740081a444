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
    freeContext();
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

void MpvSoftwareVideoWidget::startRendering()
{
    if (hasRenderContext())
        return;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (createContext(params, "draw video in software"))
        m_thread = std::thread(&MpvSoftwareVideoWidget::renderLoop, this);
}

void MpvSoftwareVideoWidget::stopRendering()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wakeUp.notify_one();
    m_thread.join();
}

// The size and visibility the next frame is drawn for; a change wakes the
// render thread, which draws the current frame again for it.
void MpvSoftwareVideoWidget::setTarget(bool showable)
{
    Target wanted{(QSizeF(size()) * devicePixelRatioF()).toSize(), devicePixelRatioF(), showable};
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (wanted.pixels == m_target.pixels && wanted.ratio == m_target.ratio &&
            wanted.showable == m_target.showable)
            return;
        m_target = wanted;
        m_woken = true;
    }
    m_wakeUp.notify_one();
}

// Runs on mpv's threads or inside mpv calls: only wake the render thread.
void MpvSoftwareVideoWidget::mpvUpdated()
{
    wake();
}

void MpvSoftwareVideoWidget::wake()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_woken = true;
    }
    m_wakeUp.notify_one();
}

// The render thread: the only caller of mpv's render functions between the
// context's making and freeing. It draws into an image of its own and hands
// it over finished; mpv blocks it until each frame's display time.
void MpvSoftwareVideoWidget::renderLoop()
{
    QImage drawing;
    bool hasFrame = false;
    // What is on the screen is not mpv's current frame, or not at its size.
    bool stale = true;
    for (;;) {
        Target target;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_wakeUp.wait(lock, [this] { return m_stop || m_woken; });
            if (m_stop)
                return;
            m_woken = false;
            target = m_target;
            if (m_finished.size() != target.pixels)
                stale = true;
        }
        const bool newFrame = mpv_render_context_update(renderContext()) & MPV_RENDER_UPDATE_FRAME;
        hasFrame = hasFrame || newFrame;
        if (!target.showable || target.pixels.isEmpty()) {
            if (newFrame) {
                skipFrame();
                stale = true;
                tellWindow();
            }
            continue;
        }
        if (!hasFrame || !(newFrame || stale))
            continue;
        if (!renderInto(drawing, target))
            continue;
        stale = false;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            std::swap(m_finished, drawing);
        }
        tellWindow();
    }
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

// A frame was drawn or taken; the window looks at it once, however many come
// while it is busy.
void MpvSoftwareVideoWidget::tellWindow()
{
    if (!m_told.exchange(true))
        QMetaObject::invokeMethod(this, "onFrameDone", Qt::QueuedConnection);
}

void MpvSoftwareVideoWidget::onFrameDone()
{
    m_told = false;
    // Whether the window can be seen is learnt here, frame by frame, and in
    // each paint, as no event tells a child widget its window was minimised.
    const bool showable = canShowFrames();
    setTarget(showable);
    if (showable)
        update();
}

void MpvSoftwareVideoWidget::paintEvent(QPaintEvent *event)
{
    setTarget(canShowFrames());
    QImage frame;
    {
        std::lock_guard<std::mutex> lock(m_lock);
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
