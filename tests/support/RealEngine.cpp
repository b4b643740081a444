#include "support/RealEngine.h"

#include "engine/mpv/MpvRenderSurface.h"

#include <QWidget>

std::unique_ptr<MpvEngine> makeEngine(const MpvEngine::Options &options)
{
    QString error;
    std::unique_ptr<MpvEngine> engine = MpvEngine::create(options, &error);
    if (!engine)
        qFatal("The real engine cannot start here: %s", qPrintable(error));
    return engine;
}

MpvRenderSurface *videoSurfaceIn(QWidget *root)
{
    return dynamic_cast<MpvRenderSurface *>(
        root->findChild<QWidget *>(QStringLiteral("videoSurface")));
}

VideoOutput videoOutputIn(QWidget *root)
{
    const MpvRenderSurface *surface = videoSurfaceIn(root);
    if (surface && surface->widget()->inherits("MpvVideoWidget"))
        return VideoOutput::OpenGL;
    if (surface && surface->widget()->inherits("MpvSoftwareVideoWidget"))
        return VideoOutput::Software;
    return VideoOutput::Auto;
}
