#include "engine/mpv/MpvVideoOutput.h"

#include "engine/EngineLog.h"
#include "engine/EngineView.h"
#include "engine/OpenGlProbe.h"
#include "engine/mpv/MpvClient.h"
#include "engine/mpv/MpvSoftwareVideoWidget.h"
#include "engine/mpv/MpvVideoWidget.h"

#include <type_traits>

MpvVideoOutput::MpvVideoOutput(MpvClient &client, VideoOutput requested, QObject *parent)
    : QObject(parent), m_client(client), m_requested(requested)
{
}

MpvVideoOutput::~MpvVideoOutput()
{
    delete m_probe.data();
    if (m_surface) {
        // Going too: mpv is left as it is, the handle follows at once.
        m_surface->disconnect(this);
        delete m_surface.data();
    }
}

void MpvVideoOutput::attachTo(EngineView &view)
{
    if (m_view)
        return;
    m_view = &view;
    if (m_requested != VideoOutput::Auto) {
        place(std::nullopt);
        return;
    }
    m_probe = new OpenGlProbe(this);
    connect(m_probe, &OpenGlProbe::finished, this, &MpvVideoOutput::place);
    m_probeClock.start();
    m_probe->start();
}

void MpvVideoOutput::place(const std::optional<QString> &renderer)
{
    if (m_probe)
        m_probe->deleteLater();
    if (!m_view)
        return;
    QWidget *surface = createSurface(renderer);
    m_surface = surface;
    m_view->setVideoSurface(surface);
    emit surfaceReady();
}

void MpvVideoOutput::logDroppedFrames()
{
    if (!m_surface)
        return;
    const QString dropped = m_client.getString("frame-drop-count");
    if (!dropped.isEmpty())
        qCInfo(corvelVideo, "Video frames dropped: %s", qPrintable(dropped));
}

QWidget *MpvVideoOutput::createSurface(const std::optional<QString> &renderer)
{
    m_chosen = chooseVideoOutput(m_requested, renderer);
    QString choice = describeVideoOutputChoice(m_requested, renderer);
    if (m_requested == VideoOutput::Auto)
        choice += QStringLiteral(", decided in %1 ms").arg(m_probeClock.elapsed());
    qCInfo(corvelVideo, "%s", qPrintable(choice));

    // mpv rebuilds the video output of a medium playing at once; it may
    // draw into a surface only while the surface's render context lives.
    const auto attach = [this](auto *surface) -> QWidget * {
        using Surface = std::remove_pointer_t<decltype(surface)>;
        connect(surface, &Surface::renderContextCreated, this,
                [this] { m_client.setString("vo", "libmpv", corvelVideo()); });
        connect(surface, &Surface::renderContextAboutToBeFreed, this,
                [this] { m_client.setString("vo", "null", corvelVideo()); });
        return surface;
    };
    if (m_chosen == VideoOutput::OpenGL)
        return attach(new MpvVideoWidget(m_client.handle(), m_view));
    return attach(new MpvSoftwareVideoWidget(m_client.handle(), m_view));
}
