#include "engine/OpenGlRenderer.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

std::optional<QString> probeOpenGlRenderer()
{
    if (!QGuiApplication::instance())
        return std::nullopt;
    QOffscreenSurface surface;
    surface.create();
    if (!surface.isValid())
        return std::nullopt;
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface))
        return std::nullopt;
    const auto *name =
        reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
    std::optional<QString> renderer;
    if (name)
        renderer = QString::fromLatin1(name);
    context.doneCurrent();
    return renderer;
}
