// corvel-opengl-probe: prints the machine's OpenGL renderer string on one
// line and exits 0, or exits 1 without OpenGL. The player runs it so that
// the OpenGL driver is loaded into the player only when it draws with it.
#include "engine/OpenGlRenderer.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const std::optional<QString> renderer = probeOpenGlRenderer();
    if (!renderer)
        return 1;
    std::printf("%s\n", renderer->toUtf8().constData());
    return 0;
}
