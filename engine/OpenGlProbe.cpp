#include "engine/OpenGlProbe.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QThread>
#include <QTimer>

namespace {

std::optional<QString> rendererOn(QOffscreenSurface &surface)
{
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface))
        return std::nullopt;
    const auto *name =
        reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
    std::optional<QString> renderer;
    if (name)
        renderer = QString::fromLatin1(name);
    context.doneCurrent();
    return renderer;
}

} // namespace

std::optional<QString> probeOpenGlRenderer()
{
    if (!QGuiApplication::instance())
        return std::nullopt;
    QOffscreenSurface surface;
    surface.create();
    if (!surface.isValid())
        return std::nullopt;
    return rendererOn(surface);
}

OpenGlProbe::OpenGlProbe(QObject *parent) : QObject(parent) {}

OpenGlProbe::~OpenGlProbe()
{
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
}

void OpenGlProbe::start()
{
    // The surface has to be made on the GUI thread; a context may then use it
    // from another thread.
    if (QGuiApplication::instance()) {
        m_surface = std::make_unique<QOffscreenSurface>();
        m_surface->create();
    }
    if (!m_surface || !m_surface->isValid()) {
        QTimer::singleShot(0, this, [this] { finish(std::nullopt); });
        return;
    }
    if (!QOpenGLContext::supportsThreadedOpenGL()) {
        QTimer::singleShot(0, this, [this] { finish(rendererOn(*m_surface)); });
        return;
    }
    m_worker = QThread::create([this] { m_renderer = rendererOn(*m_surface); });
    connect(m_worker, &QThread::finished, this, [this] {
        m_worker->wait();
        m_worker->deleteLater();
        m_worker = nullptr;
        finish(m_renderer);
    });
    m_worker->start();
}

void OpenGlProbe::finish(const std::optional<QString> &renderer)
{
    m_surface.reset();
    emit finished(renderer);
}
