#include "support/WindowManager.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

WindowManager::~WindowManager()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool WindowManager::start()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (program.isEmpty()) {
        m_error = QStringLiteral("openbox is not installed (scripts/setup.sh installs it)");
        return false;
    }
    // openbox runs the start-up command once it has taken the screen.
    const QString ready = m_dir.filePath(QStringLiteral("ready"));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                              QStringLiteral("touch ") + ready});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("openbox could not be started: ") + m_process.errorString();
        return false;
    }
    QDeadlineTimer deadline(30000);
    while (!QFileInfo::exists(ready)) {
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired()) {
            m_error = QStringLiteral("openbox did not take the screen");
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}
