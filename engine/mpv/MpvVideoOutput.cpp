#include "engine/mpv/MpvVideoOutput.h"

#include "engine/EngineLog.h"
#include "engine/EngineView.h"
#include "engine/OpenGlProbe.h"
#include "engine/mpv/MpvClient.h"
#include "engine/mpv/MpvSoftwareVideoWidget.h"
#include "engine/mpv/MpvVideoWidget.h"

#include <QTimer>

MpvVideoOutput::MpvVideoOutput(MpvClient &client, VideoOutput requested, QObject *parent)
    : QObject(parent), m_client(client), m_requested(requested)
{
}

MpvVideoOutput::~MpvVideoOutput()
{
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
    // One probe for the whole process, often started before the engine was.
    OpenGlProbe &probe = OpenGlProbe::machine();
    m_probeClock.start();
    if (probe.isFinished()) {
        QTimer::singleShot(0, this, [this, &probe] { place(probe.renderer()); });
        return;
    }
    connect(&probe, &OpenGlProbe::finished, this, &MpvVideoOutput::place);
    probe.start();
}

void MpvVideoOutput::place(const std::optional<QString> &renderer)
{
    disconnect(&OpenGlProbe::machine(), nullptr, this, nullptr);
    if (!m_view || m_surface)
        return;
    QWidget *surface = createSurface(renderer);
    m_surface = surface;
    m_view->setVideoSurface(surface);
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
    const VideoOutput chosen = chooseVideoOutput(m_requested, renderer);
    QString choice = describeVideoOutputChoice(m_requested, renderer);
    if (m_requested == VideoOutput::Auto)
        choice += QStringLiteral(", decided in %1 ms").arg(m_probeClock.elapsed());
    qCInfo(corvelVideo, "%s", qPrintable(choice));

    MpvRenderSurface *surface = nullptr;
    if (chosen == VideoOutput::OpenGL)
        surface = new MpvVideoWidget(m_client.handle(), m_view);
    else
        surface = new MpvSoftwareVideoWidget(m_client.handle(), m_view);
    // mpv rebuilds the video output of a medium playing at once; it may
    // draw into a surface only while the surface's render context lives.
    surface->setContextHooks([this] { m_client.setString("vo", "libmpv", corvelVideo()); },
                             [this] { m_client.setString("vo", "null", corvelVideo()); });
    return surface->widget();
}
