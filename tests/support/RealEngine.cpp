#include "support/RealEngine.h"

#include "engine/mpv/MpvVideoSurface.h"

#include <QWidget>

std::unique_ptr<MpvEngine> makeEngine(const MpvEngine::Options &options)
{
    QString error;
    std::unique_ptr<MpvEngine> engine = MpvEngine::create(options, &error);
    if (!engine)
        qFatal("The real engine cannot start here: %s", qPrintable(error));
    return engine;
}

MpvVideoSurface *videoSurfaceIn(QWidget *root)
{
    return dynamic_cast<MpvVideoSurface *>(
        root->findChild<QWidget *>(QStringLiteral("videoSurface")));
}
