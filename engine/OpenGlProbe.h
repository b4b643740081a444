#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QOffscreenSurface;
class QThread;

// The renderer string (GL_RENDERER) of an OpenGL context made on an offscreen
// surface, or empty when the platform has no OpenGL or no context can be
// made. Must run on the GUI thread, after QGuiApplication exists.
std::optional<QString> probeOpenGlRenderer();

// The same probe without holding up the GUI thread: making a context on a
// software renderer takes a fifth of a second, which the window should not
// wait for. The context is made on a worker thread where the platform allows
// it, else on the GUI thread once the event loop runs.
class OpenGlProbe : public QObject
{
    Q_OBJECT
public:
    explicit OpenGlProbe(QObject *parent = nullptr);
    // Waits for a probe still running.
    ~OpenGlProbe() override;

    // Starts the probe; finished() follows once, on the GUI thread.
    void start();

signals:
    // The renderer string, empty without OpenGL.
    void finished(const std::optional<QString> &renderer);

private:
    void finish(const std::optional<QString> &renderer);

    std::unique_ptr<QOffscreenSurface> m_surface;
    QThread *m_worker = nullptr;
    std::optional<QString> m_renderer;
};
