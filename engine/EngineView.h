#pragma once

#include <QPointer>
#include <QWidget>

class EngineControlBar;
class MediaEngine;

// The engine's area in the window (MPlayer1): where the video goes, black
// until a surface is put there, and the engine's own control bar below it.
// It knows the engine only through the MediaEngine seam: the bar follows
// the engine's signals and its buttons and sliders call the engine, so the
// area can be built before any engine library is loaded.
class EngineView : public QWidget
{
    Q_OBJECT
public:
    // Builds the area for this engine, which must outlive the connections
    // (they end with either object), showing what the engine reports now.
    explicit EngineView(MediaEngine &engine, QWidget *parent = nullptr);

    // Puts this surface where the video goes and takes it over as a child;
    // what stood there before (the black stand-in, or an earlier surface)
    // is deleted.
    void setVideoSurface(QWidget *surface);

private:
    EngineControlBar *m_bar;
    QPointer<QWidget> m_surface;
};
