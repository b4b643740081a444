#include "engine/EngineLoader.h"

#include "engine/EngineLog.h"
#include "engine/HelperFiles.h"
#include "engine/MediaEngine.h"

#include <QElapsedTimer>
#include <QThread>

QString EngineLoader::defaultModulePath()
{
    return helperFilePath(QStringLiteral("corvel_mpv_engine.so"));
}

EngineLoader::EngineLoader(const QString &modulePath, bool headless, QObject *parent)
    : QObject(parent), m_library(modulePath), m_headless(headless)
{
}

EngineLoader::~EngineLoader()
{
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
}

void EngineLoader::start()
{
    if (m_worker)
        return;
    m_worker = QThread::create([this] {
        QElapsedTimer clock;
        clock.start();
        // Every symbol bound now, here, rather than on first call on the GUI
        // thread.
        m_library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!m_library.load()) {
            m_error = m_library.errorString();
            return;
        }
        m_factory = reinterpret_cast<Factory>(m_library.resolve(factorySymbol));
        if (!m_factory)
            m_error = tr("%1 has no media engine in it").arg(m_library.fileName());
        qCInfo(corvelEngine, "Engine module loaded in %lld ms", clock.elapsed());
    });
    m_worker->setObjectName(QStringLiteral("engine loader"));
    connect(m_worker, &QThread::finished, this, &EngineLoader::finish);
    m_worker->start();
}

void EngineLoader::finish()
{
    m_worker->wait();
    if (!m_factory) {
        emit failed(m_error);
        return;
    }
    QString reason;
    MediaEngine *engine = m_factory(m_headless, &reason);
    if (!engine) {
        emit failed(reason);
        return;
    }
    emit loaded(engine);
}
