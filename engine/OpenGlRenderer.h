#pragma once

#include <QString>
#include <optional>

// The renderer string (GL_RENDERER) of an OpenGL context made on an offscreen
// surface, or empty when the platform has no OpenGL or no context can be
// made. Must run on the GUI thread, after QGuiApplication exists. It loads
// the OpenGL driver into the process for good (on a software renderer that
// is tens of megabytes), so the player asks a child process instead
// (OpenGlProbe).
std::optional<QString> probeOpenGlRenderer();
