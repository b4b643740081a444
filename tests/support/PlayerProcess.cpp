#include "support/PlayerProcess.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

namespace {

// Bounds a hang only; never paces a test.
constexpr int timeoutMs = 30000;

QString xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(timeoutMs);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QDBusConnection busAt(const QString &address)
{
    return QDBusConnection::connectToBus(address, QStringLiteral("player-process"));
}

} // namespace

PlayerProcess::PlayerProcess(const QString &busAddress, const QString &folder)
    : m_bus(busAddress), m_folder(folder)
{
}

PlayerProcess::~PlayerProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

QString PlayerProcess::program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../corvel-media-player");
}

bool PlayerProcess::start(const QStringList &arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder);
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_folder);
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(m_folder);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(program(), arguments);
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    const QString pid = QString::number(m_process.processId());
    QDeadlineTimer deadline(timeoutMs);
    while (m_windowId.isEmpty() && !deadline.hasExpired()) {
        const QStringList found =
            xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), pid, QStringLiteral("--name"),
                     QStringLiteral("Corvel Media Player")})
                .split(u'\n', Qt::SkipEmptyParts);
        if (!found.isEmpty())
            m_windowId = found.first();
        else
            QThread::msleep(100);
    }
    if (m_windowId.isEmpty())
        return false;
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_windowId});
    return true;
}

int PlayerProcess::runAgain(const QStringList &arguments) const
{
    QProcess again;
    again.setProcessEnvironment(m_process.processEnvironment());
    again.setWorkingDirectory(m_folder);
    again.setProcessChannelMode(QProcess::ForwardedChannels);
    again.start(program(), arguments);
    if (!again.waitForFinished(timeoutMs)) {
        again.kill();
        again.waitForFinished();
        return -1;
    }
    return again.exitStatus() == QProcess::NormalExit ? again.exitCode() : -1;
}

QRect PlayerProcess::window() const
{
    QRect place;
    const QStringList lines =
        xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), m_windowId})
            .split(u'\n');
    for (const QString &line : lines) {
        const QString value = line.section(u'=', 1);
        if (line.startsWith(QLatin1String("X=")))
            place.moveLeft(value.toInt());
        else if (line.startsWith(QLatin1String("Y=")))
            place.moveTop(value.toInt());
        else if (line.startsWith(QLatin1String("WIDTH=")))
            place.setWidth(value.toInt());
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            place.setHeight(value.toInt());
    }
    return place;
}

void PlayerProcess::keys(const QStringList &keys, int delayMs) const
{
    xdotool(
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QString::number(delayMs)} +
        keys);
}

void PlayerProcess::type(const QString &text) const
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), text});
}

void PlayerProcess::doubleClick(QPoint at) const
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), m_windowId,
             QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
             QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("1")});
}

QImage PlayerProcess::screen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

QVariant PlayerProcess::mpris(const QString &property) const
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.mpris.MediaPlayer2.corvel"), QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.mpris.MediaPlayer2.Player") << property;
    const QDBusMessage reply = busAt(m_bus).call(get, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return QVariant();
    return reply.arguments().first().value<QDBusVariant>().variant();
}

void PlayerProcess::mprisCall(const QString &method) const
{
    busAt(m_bus).call(
        QDBusMessage::createMethodCall(QStringLiteral("org.mpris.MediaPlayer2.corvel"),
                                       QStringLiteral("/org/mpris/MediaPlayer2"),
                                       QStringLiteral("org.mpris.MediaPlayer2.Player"), method),
        QDBus::Block, timeoutMs);
}
