// The real program as a Wayland client of weston's headless compositor, seen
// from outside through the compositor's own screenshots: a red clip given on
// the command line fills the engine's area, full screen fills the screen and
// the window comes back. Full screen is asked for over the player's
// org.freedesktop.Application object, as weston's headless backend has no
// keyboard. Skipped where weston is not installed.

#include "support/PrivateBus.h"
#include "support/TestMedia.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int timeout = 30000;
const QSize screenSize(1280, 1024);
const QColor clipColour(200, 30, 40);
const QString socketName = QStringLiteral("corvel-test");

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../corvel-media-player");
}

// The share of the screen in the clip's colour, in percent.
int clipShare(const QImage &screen)
{
    const QImage image = screen.convertToFormat(QImage::Format_RGB32);
    qint64 matching = 0;
    for (int y = 0; y < image.height(); y += 4) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += 4)
            matching += qAbs(qRed(line[x]) - clipColour.red()) < 40 &&
                        qAbs(qGreen(line[x]) - clipColour.green()) < 40 &&
                        qAbs(qBlue(line[x]) - clipColour.blue()) < 40;
    }
    const qint64 all = qint64((image.height() + 3) / 4) * ((image.width() + 3) / 4);
    return all ? int(matching * 100 / all) : 0;
}

} // namespace

class WaylandWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void redClipAndFullScreen_data();
    void redClipAndFullScreen();

private:
    QImage screenshot();
    // Waits until the clip's share of the screen lies within these bounds;
    // the last share seen otherwise.
    int waitForShare(int atLeast, int atMost);
    bool toggleFullScreen();

    TestMedia m_media;
    QString m_clip;
    QTemporaryDir m_runtime;
    QProcess m_weston;
    PrivateBus m_bus;
    QDBusConnection m_client{QString()};
};

void WaylandWindowTest::initTestCase()
{
    for (const char *tool : {"weston", "weston-screenshooter"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP("weston is not installed (bash scripts/setup.sh installs it)");
    QString why;
    if (!m_bus.start(&why))
        QSKIP(qPrintable(why));
    m_client = m_bus.connect(QStringLiteral("client"));
    m_clip = m_media.colourClip(QStringLiteral("red.mp4"), 60.0, QSize(320, 240), clipColour);
    QVERIFY2(!m_clip.isEmpty(), qPrintable(m_media.lastError()));

    // Wayland wants its runtime folder private to the user.
    QVERIFY(QFile::setPermissions(m_runtime.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    m_weston.setProcessEnvironment(env);
    m_weston.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Pixman draws the screen in memory; --debug lets the screenshooter in;
    // no idle time, so the screen never blanks while the test waits.
    m_weston.start(QStringLiteral("weston"),
                   {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
                    QStringLiteral("--width=%1").arg(screenSize.width()),
                    QStringLiteral("--height=%1").arg(screenSize.height()),
                    QStringLiteral("--socket=") + socketName, QStringLiteral("--debug"),
                    QStringLiteral("--idle-time=0")});
    QVERIFY(m_weston.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_runtime.filePath(socketName)), timeout);
    // The desktop shell's panel is up once a screenshot is more than black.
    QTRY_VERIFY_WITH_TIMEOUT(!screenshot().isNull(), timeout);
}

void WaylandWindowTest::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    if (m_weston.state() == QProcess::NotRunning)
        return;
    m_weston.terminate();
    m_weston.waitForFinished();
}

QImage WaylandWindowTest::screenshot()
{
    QTemporaryDir dir;
    QProcess shooter;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), socketName);
    shooter.setProcessEnvironment(env);
    shooter.setWorkingDirectory(dir.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    if (!shooter.waitForFinished(timeout) || shooter.exitCode() != 0)
        return {};
    const QStringList shots = QDir(dir.path()).entryList({QStringLiteral("*.png")});
    return shots.isEmpty() ? QImage() : QImage(dir.filePath(shots.first()));
}

int WaylandWindowTest::waitForShare(int atLeast, int atMost)
{
    int share = -1;
    for (QElapsedTimer clock; !clock.isValid() || clock.elapsed() < timeout; QTest::qWait(300)) {
        if (!clock.isValid())
            clock.start();
        const QImage shot = screenshot();
        share = clipShare(shot);
        if (share >= atLeast && share <= atMost)
            return share;
    }
    screenshot().save(QStringLiteral("wayland_window_last.png"));
    return share;
}

bool WaylandWindowTest::toggleFullScreen()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.corvel.MediaPlayer"), QStringLiteral("/org/corvel/MediaPlayer"),
        QStringLiteral("org.freedesktop.Application"), QStringLiteral("ActivateAction"));
    call << QStringLiteral("MPlayer1_ToggleFullScreen") << QVariantList() << QVariantMap();
    const QDBusMessage reply = PrivateBus::call(m_client, call);
    if (reply.type() != QDBusMessage::ReplyMessage)
        qWarning("%s", qPrintable(reply.errorMessage()));
    return reply.type() == QDBusMessage::ReplyMessage;
}

void WaylandWindowTest::redClipAndFullScreen_data()
{
    QTest::addColumn<QString>("output");
    QTest::newRow("opengl") << QStringLiteral("opengl");
    QTest::newRow("software") << QStringLiteral("software");
    QTest::newRow("automatic") << QStringLiteral("auto");
}

void WaylandWindowTest::redClipAndFullScreen()
{
    QFETCH(QString, output);
    QProcess player;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), socketName);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
    env.remove(QStringLiteral("DISPLAY"));
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedChannels);
    player.start(program(), {QStringLiteral("--video-output"), output, m_clip});
    QVERIFY(player.waitForStarted());

    // Windowed: the engine's area, about a third of this screen.
    int share = waitForShare(15, 60);
    QVERIFY2(share >= 15 && share <= 60, qPrintable(QString::number(share)));
    QTRY_VERIFY_WITH_TIMEOUT(
        m_client.interface()->isServiceRegistered(QStringLiteral("org.corvel.MediaPlayer")),
        timeout);

    // The 4:3 clip across this 5:4 screen, black above and below.
    QVERIFY(toggleFullScreen());
    share = waitForShare(85, 100);
    QVERIFY2(share >= 85, qPrintable(QString::number(share)));

    QVERIFY(toggleFullScreen());
    share = waitForShare(15, 60);
    QVERIFY2(share >= 15 && share <= 60, qPrintable(QString::number(share)));

    player.terminate();
    QVERIFY(player.waitForFinished(timeout));
}

QTEST_MAIN(WaylandWindowTest)
#include "tst_wayland_window.moc"
