// One running player per session, on a private bus: a second start of the
// real program hands its files to the player that runs (here a window with
// the engine and dialog doubles, so what it did can be read) and ends; a
// start with --new-window, and one after a player that hangs or died, is a
// player of its own. The application object's actions by name.

#include "core/CommandLine.h"
#include "desktop/ApplicationService.h"
#include "desktop/DesktopIntegration.h"
#include "desktop/SingleInstance.h"
#include "support/FormFixture.h"
#include "support/PrivateBus.h"
#include "support/TestFiles.h"
#include "widgets/PlayListBox.h"

#include "core/ShortText.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <memory>

namespace {

// Bounds a hang only; never paces the test.
constexpr int timeout = 30000;

const QString applicationInterface = QStringLiteral("org.freedesktop.Application");
const QString mprisBase = QStringLiteral("org.mpris.MediaPlayer2.corvel");

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../corvel-media-player");
}

// The player that already runs, in this process.
struct RunningPlayer
{
    explicit RunningPlayer(const PrivateBus &bus, const QString &connectionName)
        : closer{connectionName}, connection(bus.connect(connectionName)), instance(connection),
          desktop(f.form, f.form.commands(), f.form.playList(), f.engine, f.dialog)
    {
        CommandLine line;
        line.read({QStringLiteral("corvel-media-player")});
        owner = !instance.handOver(line, QDir::currentPath()) && instance.service();
        desktop.connectBus(connection);
        desktop.serve(instance);
    }

    PlayListBox *list() const { return f.get<PlayListBox>("PlayList1"); }
    QStringList entries() const
    {
        QStringList all;
        for (int i = 0; i < list()->listCount(); ++i)
            all << list()->list(i);
        return all;
    }

    // Closes the connection once everything on it has gone.
    struct Connection
    {
        QString name;
        ~Connection() { QDBusConnection::disconnectFromBus(name); }
    };

    FormFixture f;
    Connection closer;
    QDBusConnection connection;
    SingleInstance instance;
    DesktopIntegration desktop;
    bool owner = false;
};

} // namespace

class SingleInstanceTest : public QObject
{
    Q_OBJECT

public slots:
    void onNameOwnerChanged(const QString &name, const QString &oldOwner, const QString &newOwner);

private slots:
    void initTestCase();
    void cleanupTestCase();
    void secondStartHandsOver_data();
    void secondStartHandsOver();
    void newWindowIsAPlayerOfItsOwn();
    void unansweringPlayerDoesNotBlock_data();
    void unansweringPlayerDoesNotBlock();
    void actionsByName_data();
    void actionsByName();
    void hostileCallsAreBounded_data();
    void hostileCallsAreBounded();
    void noBusMeansAPlayerOfItsOwn();
    void playerOnItsWayOutLetsTheNextStartIn();

private:
    QProcess *startProgram(const QStringList &arguments);
    // The pid of the process owning this name, 0 when none does.
    uint ownerPid(const QString &name) const;
    QString here(QString text) const { return text.replace(u'@', m_dir.path()); }
    QStringList here(const QStringList &texts) const
    {
        QStringList all;
        for (const QString &text : texts)
            all << here(text);
        return all;
    }

    PrivateBus m_bus;
    QDBusConnection m_client{QString()};
    QTemporaryDir m_dir;
    QStringList m_namesTaken;
    int m_players = 0;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

void SingleInstanceTest::initTestCase()
{
    QString why;
    if (!m_bus.start(&why))
        QSKIP(qPrintable(why));
    QVERIFY(QFileInfo(program()).isExecutable());
    m_client = m_bus.connect(QStringLiteral("client"));
    QVERIFY(m_client.isConnected());
    QVERIFY(m_client.connect(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"), this,
        SLOT(onNameOwnerChanged(QString, QString, QString))));
    QVERIFY(m_dir.isValid());
    for (const char *name : {"a.mp3", "b.mp3", "mix.m3u"})
        QVERIFY(writeBytes(m_dir.filePath(QLatin1String(name)), "media"));
}

void SingleInstanceTest::cleanupTestCase()
{
    for (const auto &process : m_processes) {
        if (process->state() == QProcess::NotRunning)
            continue;
        ::kill(pid_t(process->processId()), SIGCONT);
        process->kill();
        process->waitForFinished();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
}

void SingleInstanceTest::onNameOwnerChanged(const QString &name, const QString &,
                                            const QString &newOwner)
{
    if (!newOwner.isEmpty())
        m_namesTaken << name;
}

QProcess *SingleInstanceTest::startProgram(const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("DISPLAY"));
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(m_dir.path());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program(), arguments);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

uint SingleInstanceTest::ownerPid(const QString &name) const
{
    const QDBusReply<uint> pid = m_client.interface()->servicePid(name);
    return pid.isValid() ? pid.value() : 0;
}

void SingleInstanceTest::secondStartHandsOver_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("raised");

    // "@" stands for the folder the second start runs in; /old.mp3 is in the
    // running player's list before.
    const QStringList old{QStringLiteral("/old.mp3")};
    const QStringList playA{QStringLiteral("url=@/a.mp3"), QStringLiteral("play")};
    QTest::newRow("files replace the list and the first plays")
        << QStringList({QStringLiteral("@/a.mp3"), QStringLiteral("@/b.mp3")})
        << QStringList({QStringLiteral("@/a.mp3"), QStringLiteral("@/b.mp3")}) << playA << QString()
        << true;
    QTest::newRow("relative paths from the second start's folder")
        << QStringList{QStringLiteral("a.mp3")} << QStringList{QStringLiteral("@/a.mp3")} << playA
        << QString() << true;
    QTest::newRow("enqueue appends and nothing else changes")
        << QStringList({QStringLiteral("--enqueue"), QStringLiteral("a.mp3"),
                        QStringLiteral("file://@/b.mp3")})
        << QStringList(
               {QStringLiteral("/old.mp3"), QStringLiteral("@/a.mp3"), QStringLiteral("@/b.mp3")})
        << QStringList() << QString() << false;
    QTest::newRow("a play-list file first is handed over whole")
        << QStringList({QStringLiteral("mix.m3u"), QStringLiteral("a.mp3")})
        << QStringList{QStringLiteral("@/a.mp3")} << QStringList{QStringLiteral("url=@/mix.m3u")}
        << QString() << true;
    QTest::newRow("a missing file is named in the running window")
        << QStringList({QStringLiteral("gone.mp3"), QStringLiteral("a.mp3")})
        << QStringList{QStringLiteral("@/a.mp3")} << playA
        << QStringLiteral("@/gone.mp3 was not found.") << true;
    QTest::newRow("a stream address as written")
        << QStringList{QStringLiteral("https://radio.example.com/live.ogg")}
        << QStringList{QStringLiteral("https://radio.example.com/live.ogg")}
        << QStringList(
               {QStringLiteral("url=https://radio.example.com/live.ogg"), QStringLiteral("play")})
        << QString() << true;
    QTest::newRow("a refused source is refused there")
        << QStringList{QStringLiteral("lavfi://sine")} << old << QStringList()
        << QStringLiteral("lavfi://sine cannot be "
                          "opened: ")
        << true;
    QTest::newRow("no files bring the window to the front")
        << QStringList() << old << QStringList() << QString() << true;
}

void SingleInstanceTest::secondStartHandsOver()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, commands);
    QFETCH(QString, message);
    QFETCH(bool, raised);

    RunningPlayer first(m_bus, QStringLiteral("player%1").arg(++m_players));
    QVERIFY(first.owner);
    first.list()->addEntry(QStringLiteral("/old.mp3"));
    first.f.form.showMinimized();
    m_namesTaken.clear();

    QProcess *second = startProgram(here(arguments));
    QTRY_COMPARE_WITH_TIMEOUT(second->state(), QProcess::NotRunning, timeout);
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    // It never became a player: no MPRIS name of its own.
    for (const QString &name : std::as_const(m_namesTaken))
        QVERIFY2(!name.startsWith(mprisBase + QStringLiteral(".instance")), qPrintable(name));

    // The running window did what its own command line does.
    if (!commands.isEmpty())
        QTRY_COMPARE(first.f.engine.commands(), here(commands));
    QTRY_COMPARE(first.entries(), here(entries));
    QCOMPARE(first.f.engine.commands(), here(commands));
    if (message.isEmpty()) {
        QVERIFY2(first.f.dialog.messages.isEmpty(), qPrintable(first.f.dialog.messages.join(u'|')));
    } else {
        QTRY_COMPARE(first.f.dialog.messages.size(), 1);
        // The window's own message box, titled as every failed command's.
        QVERIFY2(
            first.f.dialog.messages.first().startsWith(QStringLiteral("Error: ") + here(message)),
            qPrintable(first.f.dialog.messages.first()));
    }
    QTRY_COMPARE(!first.f.form.isMinimized(), raised);
}

void SingleInstanceTest::newWindowIsAPlayerOfItsOwn()
{
    RunningPlayer first(m_bus, QStringLiteral("player%1").arg(++m_players));
    QVERIFY(first.owner);
    QCOMPARE(ownerPid(mprisBase), uint(QCoreApplication::applicationPid()));

    QProcess *second = startProgram({QStringLiteral("--new-window"), QStringLiteral("a.mp3")});
    QVERIFY(second->waitForStarted());
    const QString secondMpris = mprisBase + QStringLiteral(".instance%1").arg(second->processId());
    QTRY_VERIFY_WITH_TIMEOUT(ownerPid(secondMpris) != 0, timeout);
    QCOMPARE(second->state(), QProcess::Running);
    // Its own engine opened the file; the first window was left alone.
    QDBusMessage get = QDBusMessage::createMethodCall(
        secondMpris, QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.mpris.MediaPlayer2.Player") << QStringLiteral("CanPlay");
    QTRY_VERIFY_WITH_TIMEOUT(PrivateBus::call(m_client, get)
                                 .arguments()
                                 .value(0)
                                 .value<QDBusVariant>()
                                 .variant()
                                 .toBool(),
                             timeout);
    QVERIFY(first.entries().isEmpty());
    QVERIFY(first.f.engine.commands().isEmpty());
    // The name stays with the first player.
    QCOMPARE(ownerPid(SingleInstance::busName), uint(QCoreApplication::applicationPid()));
    second->terminate();
    QVERIFY(second->waitForFinished(timeout));
}

void SingleInstanceTest::unansweringPlayerDoesNotBlock_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("secondOwnsTheName");
    QTest::newRow("stopped") << int(SIGSTOP) << false;
    QTest::newRow("killed") << int(SIGKILL) << true;
}

void SingleInstanceTest::unansweringPlayerDoesNotBlock()
{
    QFETCH(int, signal);
    QFETCH(bool, secondOwnsTheName);

    QProcess *first = startProgram({});
    QVERIFY(first->waitForStarted());
    const uint firstPid = uint(first->processId());
    QTRY_COMPARE_WITH_TIMEOUT(ownerPid(SingleInstance::busName), firstPid, timeout);
    QTRY_COMPARE_WITH_TIMEOUT(ownerPid(mprisBase), firstPid, timeout);
    QCOMPARE(::kill(pid_t(firstPid), signal), 0);
    if (signal == SIGKILL)
        QVERIFY(first->waitForFinished(timeout));

    QProcess *second = startProgram({QStringLiteral("a.mp3")});
    QVERIFY(second->waitForStarted());
    const uint secondPid = uint(second->processId());
    // Not blocked: it comes up as a player and plays the file itself.
    const QString secondMpris =
        secondOwnsTheName ? mprisBase : mprisBase + QStringLiteral(".instance%1").arg(secondPid);
    QTRY_COMPARE_WITH_TIMEOUT(ownerPid(secondMpris), secondPid, timeout);
    QCOMPARE(second->state(), QProcess::Running);
    QCOMPARE(ownerPid(SingleInstance::busName) == secondPid, secondOwnsTheName);

    second->terminate();
    QVERIFY(second->waitForFinished(timeout));
    if (signal == SIGSTOP) {
        ::kill(pid_t(firstPid), SIGCONT);
        first->terminate();
        QVERIFY(first->waitForFinished(timeout));
    }
}

void SingleInstanceTest::actionsByName_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QVariantList>("parameter");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("selected");

    const QStringList two{QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")};
    QTest::newRow("enqueue") << QStringLiteral("enqueue")
                             << QVariantList{QStringList{
                                    QStringLiteral("https://example.com/x.ogg")}}
                             << QString()
                             << (two + QStringList{QStringLiteral("https://example.com/x.ogg")})
                             << -1;
    QTest::newRow("enqueue without addresses")
        << QStringLiteral("enqueue") << QVariantList()
        << QStringLiteral("The action enqueue takes one list of addresses.") << two << -1;
    QTest::newRow("enqueue with a number")
        << QStringLiteral("enqueue") << QVariantList{7}
        << QStringLiteral("The action enqueue takes one list of addresses.") << two << -1;
    QTest::newRow("a handler") << QStringLiteral("cmdNext_Click") << QVariantList() << QString()
                               << two << 0;
    QTest::newRow("a handler with a parameter")
        << QStringLiteral("cmdNext_Click") << QVariantList{1}
        << QStringLiteral("The action cmdNext_Click takes no parameter.") << two << -1;
    QTest::newRow("no such action") << QStringLiteral("cmdNowhere_Click") << QVariantList()
                                    << QStringLiteral("There is no action named "
                                                      "\"cmdNowhere_Click\".")
                                    << two << -1;
}

void SingleInstanceTest::actionsByName()
{
    QFETCH(QString, action);
    QFETCH(QVariantList, parameter);
    QFETCH(QString, error);
    QFETCH(QStringList, entries);
    QFETCH(int, selected);

    RunningPlayer first(m_bus, QStringLiteral("player%1").arg(++m_players));
    QVERIFY(first.owner);
    first.list()->addEntry(QStringLiteral("/m/a.mp3"));
    first.list()->addEntry(QStringLiteral("/m/b.mp3"));

    QDBusMessage message =
        QDBusMessage::createMethodCall(SingleInstance::busName, ApplicationService::objectPath,
                                       applicationInterface, QStringLiteral("ActivateAction"));
    message << action << parameter << QVariantMap();
    const QDBusMessage reply = PrivateBus::call(m_client, message);
    if (error.isEmpty()) {
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(first.entries(), entries);
    } else {
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        QCOMPARE(reply.errorMessage(), error);
        QCoreApplication::processEvents();
        QCOMPARE(first.entries(), entries);
    }
    QTRY_COMPARE(first.list()->listIndex(), selected);
}

void SingleInstanceTest::hostileCallsAreBounded_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("nameLength");
    QTest::addColumn<int>("calls");
    QTest::addColumn<int>("refused");
    QTest::newRow("Open, a name longer than any path") << "" << 5000 << 1 << 1;
    QTest::newRow("enqueue, a name of a megabyte") << "enqueue" << (1 << 20) << 1 << 1;
    // Taken, and named in a message that shows its start and end.
    QTest::newRow("Open, a long name") << "" << 4000 << 1 << 0;
    QTest::newRow("a hundred actions at once")
        << "cmdNext_Click" << 0 << 100 << (100 - ApplicationService::maxWaiting);
}

void SingleInstanceTest::hostileCallsAreBounded()
{
    QFETCH(QString, action);
    QFETCH(int, nameLength);
    QFETCH(int, calls);
    QFETCH(int, refused);
    RunningPlayer first(m_bus, QStringLiteral("player%1").arg(++m_players));
    const QStringList names{QStringLiteral("/m/%1.mp3").arg(QString(nameLength, u'n'))};
    QDBusMessage message = QDBusMessage::createMethodCall(
        SingleInstance::busName, ApplicationService::objectPath, applicationInterface,
        action.isEmpty() ? QStringLiteral("Open") : QStringLiteral("ActivateAction"));
    if (action.isEmpty())
        message << names << QVariantMap();
    else
        message << action << (nameLength ? QVariantList{names} : QVariantList()) << QVariantMap();
    std::vector<QDBusPendingCall> pending;
    for (int i = 0; i < calls; ++i)
        pending.push_back(m_client.asyncCall(message));
    // Every call arrives before the player's thread looks at any.
    QThread::msleep(500);
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(pending.begin(), pending.end(),
                                         [](const auto &call) { return call.isFinished(); }),
                             timeout);
    QCOMPARE(std::count_if(pending.begin(), pending.end(),
                           [](const auto &call) { return call.isError(); }),
             refused);
    QTRY_COMPARE(first.f.dialog.messages.size(), action.isEmpty() && !refused ? 1 : 0);
    for (const QString &shown : std::as_const(first.f.dialog.messages))
        QVERIFY2(shown.size() < 2 * ShortText::longestWord &&
                     shown.endsWith(QLatin1String("nnn.mp3 was not found.")),
                 qPrintable(shown));
}

void SingleInstanceTest::noBusMeansAPlayerOfItsOwn()
{
    SingleInstance instance(QDBusConnection(QStringLiteral("never connected")));
    CommandLine line;
    QCOMPARE(line.read({QStringLiteral("corvel-media-player"), QStringLiteral("a.mp3")}),
             std::nullopt);
    QVERIFY(!instance.handOver(line, m_dir.path()));
    QCOMPARE(instance.service(), nullptr);
}

// A player that has left its event loop but still winds down (a frame being
// drawn) no longer holds the name, so the next start is a player at once.
void SingleInstanceTest::playerOnItsWayOutLetsTheNextStartIn()
{
    CommandLine line;
    QCOMPARE(line.read({QStringLiteral("corvel-media-player")}), std::nullopt);
    QDBusConnection leaving = m_bus.connect(QStringLiteral("leaving"));
    QDBusConnection next = m_bus.connect(QStringLiteral("next"));
    SingleInstance first(leaving);
    QVERIFY(!first.handOver(line, m_dir.path()));
    QVERIFY(first.service());
    QCOMPARE(ownerPid(SingleInstance::busName), uint(QCoreApplication::applicationPid()));

    first.release();
    QCOMPARE(first.service(), nullptr);
    SingleInstance second(next);
    QElapsedTimer took;
    took.start();
    QVERIFY(!second.handOver(line, m_dir.path()));
    QVERIFY(second.service());
    QVERIFY2(took.elapsed() < SingleInstance::answerTimeoutMs / 2,
             qPrintable(QString::number(took.elapsed())));
}

QTEST_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
