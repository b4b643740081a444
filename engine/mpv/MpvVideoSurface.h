#pragma once

#include <QSize>
#include <QtGlobal>

class QWidget;

// What the engine and its tests see of a video surface, whichever way it
// draws. Every surface keeps the same rules about its mpv handle: one
// surface per handle, the render context is made once the widget is shown
// and freed before the widget (and so before the handle) goes, and it
// announces both moments with the signals renderContextCreated() and
// renderContextAboutToBeFreed(), between which alone mpv may use vo=libmpv.
// A surface that cannot show a frame (hidden or minimised window) takes it
// from mpv without drawing, so playback never waits for the screen.
class MpvVideoSurface
{
public:
    virtual ~MpvVideoSurface() = default;

    // The surface as a widget, for placing it and reading its geometry.
    virtual QWidget *widget() = 0;
    // Whether the render context exists, that is whether mpv can show video.
    virtual bool hasRenderContext() const = 0;
    // Frames drawn, and frames taken without drawing because the window
    // could not show them (hidden or minimised).
    virtual qint64 framesDrawn() const = 0;
    virtual qint64 framesSkipped() const = 0;
    // The size in device pixels mpv was last asked to draw a frame at;
    // empty before the first frame.
    virtual QSize frameSize() const = 0;
};
