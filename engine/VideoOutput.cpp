#include "engine/VideoOutput.h"

#include <QStringList>

std::optional<VideoOutput> parseVideoOutput(const QString &text)
{
    const QString name = text.trimmed().toLower();
    if (name == QLatin1String("auto"))
        return VideoOutput::Auto;
    if (name == QLatin1String("opengl"))
        return VideoOutput::OpenGL;
    if (name == QLatin1String("software"))
        return VideoOutput::Software;
    return std::nullopt;
}

QString videoOutputName(VideoOutput output)
{
    switch (output) {
    case VideoOutput::OpenGL:
        return QStringLiteral("opengl");
    case VideoOutput::Software:
        return QStringLiteral("software");
    case VideoOutput::Auto:
        break;
    }
    return QStringLiteral("auto");
}

bool isSoftwareRenderer(const QString &renderer)
{
    // Mesa's CPU drivers, Google's and Microsoft's, and Mesa's old
    // "Software Rasterizer"; a virtual GPU that passes work to the host's
    // real one (virgl, SVGA3D) is hardware for our purpose.
    static const QStringList names{
        QStringLiteral("llvmpipe"),    QStringLiteral("softpipe"),
        QStringLiteral("swiftshader"), QStringLiteral("software rasterizer"),
        QStringLiteral("swrast"),      QStringLiteral("microsoft basic render"),
        QStringLiteral("gdi generic"), QStringLiteral("apple software renderer")};
    for (const QString &name : names) {
        if (renderer.contains(name, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

VideoOutput requestedVideoOutput(VideoOutput option, const QByteArray &environment,
                                 QString *warning)
{
    if (option != VideoOutput::Auto)
        return option;
    if (environment.trimmed().isEmpty())
        return VideoOutput::Auto;
    const std::optional<VideoOutput> parsed = parseVideoOutput(QString::fromLocal8Bit(environment));
    if (!parsed && warning) {
        *warning = QStringLiteral("CORVEL_VIDEO_OUTPUT=%1 is not auto, opengl or software; "
                                  "choosing automatically")
                       .arg(QString::fromLocal8Bit(environment));
    }
    return parsed.value_or(VideoOutput::Auto);
}

VideoOutput chooseVideoOutput(VideoOutput requested, const std::optional<QString> &renderer)
{
    if (requested != VideoOutput::Auto)
        return requested;
    if (!renderer || renderer->trimmed().isEmpty() || isSoftwareRenderer(*renderer))
        return VideoOutput::Software;
    return VideoOutput::OpenGL;
}

QString describeVideoOutputChoice(VideoOutput requested, const std::optional<QString> &renderer)
{
    const QString chosen = videoOutputName(chooseVideoOutput(requested, renderer));
    if (requested != VideoOutput::Auto)
        return QStringLiteral("Video output: %1 (forced)").arg(chosen);
    if (!renderer || renderer->trimmed().isEmpty())
        return QStringLiteral("Video output: %1 (no OpenGL available)").arg(chosen);
    return QStringLiteral("Video output: %1 (OpenGL renderer \"%2\" is %3)")
        .arg(chosen, *renderer,
             isSoftwareRenderer(*renderer) ? QStringLiteral("a software renderer")
                                           : QStringLiteral("hardware"));
}
