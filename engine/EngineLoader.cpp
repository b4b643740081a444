#include "engine/EngineLoader.h"

#include "engine/EngineLog.h"
#include "engine/HelperFiles.h"
#include "engine/MediaEngine.h"

#include "engine/OpenGlProbe.h"
#include "engine/VideoOutput.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QThread>
#include <QTimer>
#include <QWidget>

QString EngineLoader::defaultModulePath()
{
    return helperFilePath(QStringLiteral("corvel_mpv_engine.so"));
}

EngineLoader::EngineLoader(const QString &modulePath, bool headless, QObject *parent)
    : QObject(parent), m_library(modulePath), m_headless(headless)
{
    // The renderer probe is a process of its own and takes longer than
    // mapping libmpv: started now, its answer is there when the engine
    // wants it.
    if (!m_headless && requestedVideoOutput(VideoOutput::Auto, qgetenv("CORVEL_VIDEO_OUTPUT")) ==
                           VideoOutput::Auto)
        OpenGlProbe::machine().start();
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

void EngineLoader::startAfterPaintOf(QWidget &window)
{
    window.installEventFilter(this);
    // A window that is never painted (started minimised) still gets its
    // engine.
    QTimer::singleShot(firstPaintWaitMs, this, &EngineLoader::start);
}

bool EngineLoader::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Once this paint is done and on its way to the screen.
        QTimer::singleShot(0, this, &EngineLoader::start);
    }
    return false;
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
