#include "engine/OpenGlProbe.h"

#include "engine/EngineLog.h"
#include "engine/HelperFiles.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QTimer>

OpenGlProbe::OpenGlProbe(QObject *parent)
    : OpenGlProbe(helperFilePath(QStringLiteral("corvel-opengl-probe")), timeLimitMs, parent)
{
}

OpenGlProbe::OpenGlProbe(const QString &program, int limitMs, QObject *parent)
    : QObject(parent), m_program(program), m_timeLimitMs(limitMs)
{
}

OpenGlProbe &OpenGlProbe::machine()
{
    static QPointer<OpenGlProbe> shared;
    if (!shared)
        shared = new OpenGlProbe(QCoreApplication::instance());
    return *shared;
}

OpenGlProbe::~OpenGlProbe()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

void OpenGlProbe::start()
{
    if (m_process || m_done)
        return;
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_limit = new QTimer(this);
    m_limit->setSingleShot(true);
    connect(m_limit, &QTimer::timeout, this, [this] {
        qCWarning(corvelVideo, "The OpenGL probe took more than %d ms; taking no OpenGL",
                  m_timeLimitMs);
        finish(std::nullopt);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        qCWarning(corvelVideo, "The OpenGL probe %s could not start: %s", qPrintable(m_program),
                  qPrintable(m_process->errorString()));
        finish(std::nullopt);
    });
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        const QString renderer =
            QString::fromUtf8(m_process->readAllStandardOutput()).section(u'\n', 0, 0).trimmed();
        if (status != QProcess::NormalExit || code != 0 || renderer.isEmpty())
            finish(std::nullopt);
        else
            finish(renderer);
    });
    m_limit->start(m_timeLimitMs);
    m_process->start(m_program, {}, QIODevice::ReadOnly);
}

void OpenGlProbe::finish(const std::optional<QString> &renderer)
{
    if (m_done)
        return;
    m_done = true;
    m_renderer = renderer;
    m_limit->stop();
    if (m_process) {
        m_process->disconnect(this);
        if (m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            // Reaped when it is gone; nothing waits for it.
            connect(m_process, &QProcess::finished, m_process, &QObject::deleteLater);
        } else {
            m_process->deleteLater();
        }
        m_process = nullptr;
    }
    emit finished(renderer);
}
