#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QProcess;
class QTimer;

// Finds the machine's OpenGL renderer string without loading OpenGL into
// this process: a short child process (corvel-opengl-probe) makes a context
// and prints it. A child that cannot start, fails, or outlives the time
// limit counts as no OpenGL, so a broken driver cannot hang or crash the
// player.
class OpenGlProbe : public QObject
{
    Q_OBJECT
public:
    // How long the child may take, in milliseconds.
    static constexpr int timeLimitMs = 5000;

    // Will run this program, by default the player's probe.
    explicit OpenGlProbe(QObject *parent = nullptr);
    OpenGlProbe(const QString &program, int timeLimitMs, QObject *parent = nullptr);
    // Ends a child still running.
    ~OpenGlProbe() override;

    // The probe of this machine, shared by every engine of the process, so
    // the child runs at most once; it belongs to the application object.
    static OpenGlProbe &machine();

    // Starts the probe; finished() follows once, from the event loop. Does
    // nothing once started.
    void start();
    // Whether finished() has been raised.
    bool isFinished() const { return m_done; }
    // What finished() carried.
    std::optional<QString> renderer() const { return m_renderer; }

signals:
    // The renderer string, empty without OpenGL.
    void finished(const std::optional<QString> &renderer);

private:
    void finish(const std::optional<QString> &renderer);

    QString m_program;
    int m_timeLimitMs;
    QProcess *m_process = nullptr;
    QTimer *m_limit = nullptr;
    bool m_done = false;
    std::optional<QString> m_renderer;
};
