#pragma once

#include <QLibrary>
#include <QObject>
#include <QString>

class MediaEngine;
class QThread;
class QWidget;

// Loads the engine module (the one library that links libmpv, and with it
// a few hundred more) on a worker thread, then makes the engine on the GUI
// thread. The module stays loaded for the rest of the run.
//
// While dlopen() maps and relocates, every other dlopen() and every new
// thread of the process waits for it (the dynamic loader's locks), and the
// window's first moments do both (Qt's plugins, the session bus): so the
// player starts the load once its window has been painted, and the first
// paint costs what a bare window's does.
class EngineLoader : public QObject
{
    Q_OBJECT
public:
    // The function the module exports under factorySymbol: a new engine on
    // the calling thread (headless: neither video nor sound), or null with
    // the reason in *error.
    using Factory = MediaEngine *(*)(bool headless, QString *error);
    static constexpr const char *factorySymbol = "corvelCreateMediaEngine";
    // The player's engine module.
    static QString defaultModulePath();

    // Will load the module at this path and make the player's engine, or
    // one without video and sound. The machine's OpenGL probe (a child
    // process) starts at once when that engine will want it.
    explicit EngineLoader(const QString &modulePath, bool headless = false,
                          QObject *parent = nullptr);
    // Waits for a load still running.
    ~EngineLoader() override;

    // How long startAfterPaintOf() waits for a paint at most.
    static constexpr int firstPaintWaitMs = 1000;

    // Starts loading; loaded() or failed() follows once, on the GUI thread.
    void start();
    // start() once this window has been painted for the first time.
    void startAfterPaintOf(QWidget &window);

signals:
    // The engine, made on the GUI thread; the receiver takes ownership.
    void loaded(MediaEngine *engine);
    // The module could not be loaded or could not make an engine.
    void failed(const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finish();

    QLibrary m_library;
    QThread *m_worker = nullptr;
    bool m_headless;
    Factory m_factory = nullptr;
    QString m_error;
};
