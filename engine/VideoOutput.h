#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The ways the engine can put video on the screen.
enum class VideoOutput
{
    // Decide at start-up from the machine's OpenGL renderer.
    Auto,
    // mpv's OpenGL render API into an OpenGL widget: cheap on a real GPU.
    OpenGL,
    // mpv's software render API into a plain widget: no OpenGL at all.
    Software
};

// Reads "auto", "opengl" or "software" (any case, blanks around ignored);
// empty for anything else.
std::optional<VideoOutput> parseVideoOutput(const QString &text);

// The lower-case name parseVideoOutput() reads back.
QString videoOutputName(VideoOutput output);

// Whether an OpenGL renderer string (GL_RENDERER) names a renderer that draws
// on the CPU: llvmpipe, softpipe, SwiftShader and the like.
bool isSoftwareRenderer(const QString &renderer);

// What the engine was asked for: an option other than Auto wins, then the
// value of CORVEL_VIDEO_OUTPUT, then Auto. A value that cannot be read is
// reported in warning and counts as Auto.
VideoOutput requestedVideoOutput(VideoOutput option, const QByteArray &environment,
                                 QString *warning = nullptr);

// The output to use: a forced one as it is; for Auto, OpenGL when the probed
// renderer is a hardware one, Software when there is no OpenGL (renderer
// empty) or it is a software renderer. Never returns Auto.
VideoOutput chooseVideoOutput(VideoOutput requested, const std::optional<QString> &renderer);

// A short sentence saying why chooseVideoOutput() chose what it did, for the log.
QString describeVideoOutputChoice(VideoOutput requested, const std::optional<QString> &renderer);
