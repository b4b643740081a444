#pragma once

#include <QLibrary>
#include <QObject>
#include <QString>

class MediaEngine;
class QThread;

// Loads the engine module (the one library that links libmpv, and with it
// a few hundred more) on a worker thread, so the window can be built and
// painted meanwhile, then makes the engine on the GUI thread. The module
// stays loaded for the rest of the run.
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
    // one without video and sound.
    explicit EngineLoader(const QString &modulePath, bool headless = false,
                          QObject *parent = nullptr);
    // Waits for a load still running.
    ~EngineLoader() override;

    // Starts loading; loaded() or failed() follows once, on the GUI thread.
    void start();

signals:
    // The engine, made on the GUI thread; the receiver takes ownership.
    void loaded(MediaEngine *engine);
    // The module could not be loaded or could not make an engine.
    void failed(const QString &reason);

private:
    void finish();

    QLibrary m_library;
    QThread *m_worker = nullptr;
    bool m_headless;
    Factory m_factory = nullptr;
    QString m_error;
};
