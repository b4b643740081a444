#pragma once

#include "engine/VideoOutput.h"
#include "engine/mpv/MpvEngine.h"

#include <memory>

class MpvRenderSurface;
class QWidget;

// The real engine for a test; the run ends with mpv's reason when it cannot
// start, since nothing after that could say anything.
std::unique_ptr<MpvEngine> makeEngine(const MpvEngine::Options &options);

// The video surface inside this widget (the engine's area, or a window
// holding it), found by its object name; null while only the black
// stand-in is there or video is off.
MpvRenderSurface *videoSurfaceIn(QWidget *root);

// How the surface inside this widget draws, told by its class: Auto while
// there is none.
VideoOutput videoOutputIn(QWidget *root);
