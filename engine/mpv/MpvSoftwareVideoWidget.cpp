#include "engine/mpv/MpvSoftwareVideoWidget.h"

#include "engine/EngineLog.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <cstdlib>
#include <mpv/render.h>

namespace {

// The one layout in which mpv's bytes are what QImage::Format_RGB32 holds
// (0xffRRGGBB as a native 32-bit word), so Qt draws them without converting.
// mpv leaves the fourth byte undefined; RGB32 ignores it.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
char frameFormat[] = "bgr0";
#else
char frameFormat[] = "0rgb";
#endif

// Runs on mpv's threads or inside mpv calls: only queue a call.
void onRenderUpdate(void *widget)
{
    QMetaObject::invokeMethod(static_cast<MpvSoftwareVideoWidget *>(widget), "onMpvUpdate",
                              Qt::QueuedConnection);
}

void freeAligned(void *data)
{
    std::free(data);
}

} // namespace

MpvSoftwareVideoWidget::MpvSoftwareVideoWidget(mpv_handle *mpv, QWidget *parent)
    : QWidget(parent), m_mpv(mpv)
{
    setObjectName(QStringLiteral("videoSurface"));
    // Every pixel is painted each time: Qt need not clear behind it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

MpvSoftwareVideoWidget::~MpvSoftwareVideoWidget()
{
    freeRenderContext();
}

void MpvSoftwareVideoWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    createRenderContext();
}

void MpvSoftwareVideoWidget::createRenderContext()
{
    if (m_render)
        return;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    const int error = mpv_render_context_create(&m_render, m_mpv, params);
    if (error < 0) {
        m_render = nullptr;
        qCWarning(corvelVideo, "Video output is off: mpv could not draw video in software (%s)",
                  mpv_error_string(error));
        return;
    }
    mpv_render_context_set_update_callback(m_render, onRenderUpdate, this);
    emit renderContextCreated();
}

void MpvSoftwareVideoWidget::freeRenderContext()
{
    if (!m_render)
        return;
    emit renderContextAboutToBeFreed();
    mpv_render_context_free(m_render);
    m_render = nullptr;
}

void MpvSoftwareVideoWidget::onMpvUpdate()
{
    if (!m_render)
        return;
    if (!(mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME))
        return;
    if (!canShowFrames()) {
        skipFrame();
        return;
    }
    // Drawn in the next paint, which Qt folds together with any other
    // repaint of the window; a second frame due before then replaces it.
    m_frameDue = true;
    m_hasFrame = true;
    update();
}

bool MpvSoftwareVideoWidget::canShowFrames() const
{
    const QWidget *top = window();
    const QWindow *handle = top->windowHandle();
    return isVisible() && handle && handle->isExposed() &&
           !(top->windowState() & Qt::WindowMinimized) && width() > 0 && height() > 0;
}

// Qt paints nothing for a window it cannot show, yet mpv waits for every
// frame to be taken before it goes on: take it without drawing. The frame
// drawn last is stale now, so the next paint asks for a fresh one.
void MpvSoftwareVideoWidget::skipFrame()
{
    int skip = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(m_render, params);
    m_frameDue = true;
    m_hasFrame = true;
    ++m_framesSkipped;
}

void MpvSoftwareVideoWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QSize pixels = (QSizeF(size()) * devicePixelRatioF()).toSize();
    // A new frame, or the last one again at a new size; a paint for any
    // other reason (an overlapping control, an expose) only shows the image.
    if (m_render && m_hasFrame && !pixels.isEmpty() && (m_frameDue || m_image.size() != pixels))
        renderFrame(pixels);
    if (m_hasFrame && !m_image.isNull() && m_image.size() == pixels)
        painter.drawImage(QPointF(0, 0), m_image);
    else
        painter.fillRect(event->rect(), Qt::black);
}

bool MpvSoftwareVideoWidget::renderFrame(const QSize &pixels)
{
    if (m_image.size() != pixels)
        makeImage(pixels);
    if (m_image.isNull())
        return false;
    int size[2] = {pixels.width(), pixels.height()};
    size_t stride = size_t(m_image.bytesPerLine());
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                 {MPV_RENDER_PARAM_SW_FORMAT, frameFormat},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, m_image.bits()},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    const int error = mpv_render_context_render(m_render, params);
    m_frameDue = false;
    m_frameSize = pixels;
    if (error < 0) {
        qCWarning(corvelVideo, "mpv could not draw a video frame: %s", mpv_error_string(error));
        m_image.fill(Qt::black);
        return false;
    }
    ++m_framesDrawn;
    return true;
}

void MpvSoftwareVideoWidget::makeImage(const QSize &pixels)
{
    m_image = QImage();
    const qsizetype stride = (qsizetype(pixels.width()) * 4 + 63) & ~qsizetype(63);
    void *data = nullptr;
    if (posix_memalign(&data, 64, size_t(stride) * size_t(pixels.height())) != 0) {
        qCWarning(corvelVideo, "No memory for a %dx%d video frame", pixels.width(),
                  pixels.height());
        return;
    }
    m_image = QImage(static_cast<uchar *>(data), pixels.width(), pixels.height(), stride,
                     QImage::Format_RGB32, freeAligned, data);
    m_image.setDevicePixelRatio(devicePixelRatioF());
}
