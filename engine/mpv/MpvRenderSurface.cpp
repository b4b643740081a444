#include "engine/mpv/MpvRenderSurface.h"

#include "engine/EngineLog.h"

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
    const int error = mpv_render_context_create(&m_render, m_mpv, params);
    if (error < 0) {
        m_render = nullptr;
        qCWarning(corvelVideo, "Video output is off: mpv could not %s (%s)", what,
                  mpv_error_string(error));
        return false;
    }
    mpv_render_context_set_update_callback(m_render, &MpvRenderSurface::onUpdate, this);
    if (m_created)
        m_created();
    return true;
}

void MpvRenderSurface::freeContext()
{
    if (!m_render)
        return;
    if (m_aboutToBeFreed)
        m_aboutToBeFreed();
    mpv_render_context_free(m_render);
    m_render = nullptr;
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
void MpvRenderSurface::skipFrame(const mpv_render_param *target)
{
    int skip = 1;
    mpv_render_param params[3] = {};
    int next = 0;
    if (target)
        params[next++] = *target;
    params[next++] = {MPV_RENDER_PARAM_SKIP_RENDERING, &skip};
    params[next] = {MPV_RENDER_PARAM_INVALID, nullptr};
    mpv_render_context_render(m_render, params);
    ++m_framesSkipped;
}

void MpvRenderSurface::countDrawn(const QSize &pixels)
{
    m_frameSize = (quint64(quint32(pixels.width())) << 32) | quint32(pixels.height());
    ++m_framesDrawn;
}
