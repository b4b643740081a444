#pragma once

#include "engine/VideoOutput.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <optional>

class EngineView;
class MpvClient;
class QWidget;

// Chooses how an mpv instance draws its video and puts the surface that
// does it (MpvVideoWidget or MpvSoftwareVideoWidget, each with the object
// name "videoSurface") into the engine's area. A forced output is built at
// once; the automatic choice first probes the machine's OpenGL renderer off
// the GUI thread, and the area stays black meanwhile. mpv uses vo=libmpv
// only while the surface's render context lives. The choice is logged to
// corvel.video ("Video output: ...").
class MpvVideoOutput : public QObject
{
    Q_OBJECT
public:
    // Draws the video of this client, which must outlive this object, the
    // way requested (see chooseVideoOutput()).
    MpvVideoOutput(MpvClient &client, VideoOutput requested, QObject *parent = nullptr);
    // Frees the surface, wherever it now lives, before the client can go.
    ~MpvVideoOutput() override;

    // Puts a surface into this area, now or once the probe has decided;
    // only the first call counts.
    void attachTo(EngineView &view);
    // Logs how many frames mpv has dropped at the video output so far, when
    // there is a surface and mpv knows: a stuttering picture otherwise
    // leaves no trace.
    void logDroppedFrames();

private:
    void place(const std::optional<QString> &renderer);
    QWidget *createSurface(const std::optional<QString> &renderer);

    MpvClient &m_client;
    VideoOutput m_requested;
    QPointer<EngineView> m_view;
    QPointer<QWidget> m_surface;
    QElapsedTimer m_probeClock;
};
