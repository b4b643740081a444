#pragma once

#include <QPointer>
#include <QWidget>

class EngineControlBar;
class EngineFullScreen;
class EngineMessage;
class IdleControls;
class MediaEngine;

// The engine's area in the window (MPlayer1): where the video goes, black
// until a surface is put there, the engine's own control bar below it, and
// the engine's message over the picture when a medium fails or entries are
// skipped (a click on it closes it), or what the player offers (a click on
// it takes the offer). It knows the engine only through the
// MediaEngine seam: the bar follows the engine's signals and its buttons and
// sliders call the engine, so the area can be built before any engine
// library is loaded.
//
// It follows the engine's fullScreen setting: on, the area fills the screen
// its window is on, and its bar and the pointer go after a while without
// mouse movement; off, the window is given back as it was. A double-click
// on the picture or the bar's button turns it on or off.
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

    // Whether the area fills the screen now.
    bool isFullScreen() const;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyFullScreen(bool on);
    void toggleFullScreen();

    MediaEngine &m_engine;
    EngineControlBar *m_bar;
    QPointer<QWidget> m_surface;
    EngineMessage *m_message;
    EngineFullScreen *m_fullScreen;
    IdleControls *m_idle;
};
