// Keeping the screen awake, against stand-ins for the desktop portal and the
// screen saver on a private bus that log every call they take: which service
// is asked, when the hold is let go, and what happens when nothing answers.

#include "desktop/ScreenInhibitor.h"
#include "support/FakeEngine.h"
#include "support/HangGuard.h"
#include "support/PrivateBus.h"

#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QtTest>
#include <memory>

namespace {

int screenWarnings = 0;
QtMessageHandler previousHandler = nullptr;

void countScreenWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    screenWarnings += type == QtWarningMsg && qstrcmp(context.category, "corvel.screen") == 0;
    previousHandler(type, context, text);
}

// Every service at once, logging each call as "<service>.<method>", with "?"
// after a wrong flag, cookie or request. The screen saver answers at one path
// only; a silent portal never answers.
class StandIns : public QDBusVirtualObject
{
public:
    QStringList log;
    QString saverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
    bool silentPortal = false;

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &call, const QDBusConnection &bus) override
    {
        const QString method = call.member();
        const QVariantList arguments = call.arguments();
        const bool portal = call.path().startsWith(QLatin1String("/org/freedesktop/portal/"));
        if (method == QLatin1String("Sync"))
            return bus.send(call.createReply());
        if (!portal && call.path() != saverPath)
            return bus.send(call.createErrorReply(QDBusError::UnknownObject, call.path()));
        QVariant answer;
        bool right = true;
        if (portal && method == QLatin1String("Inhibit")) {
            right = arguments.value(1).toUInt() == 8;
            m_requests << call.path() + QStringLiteral("/request/t%1").arg(log.size());
            answer = QVariant::fromValue(QDBusObjectPath(m_requests.last()));
        } else if (portal) {
            right = m_requests.removeOne(call.path());
        } else if (method == QLatin1String("Inhibit")) {
            right = arguments.size() == 2 && !arguments.first().toString().isEmpty();
            answer = m_cookie = 40u + uint(log.size());
        } else {
            right = arguments.value(0).toUInt() == m_cookie;
        }
        const QString service = portal ? QStringLiteral("portal")
                                : call.path() == QLatin1String("/ScreenSaver")
                                    ? QStringLiteral("short")
                                    : QStringLiteral("saver");
        log << service + u'.' + method + (right ? QString() : QStringLiteral("?"));
        return (portal && silentPortal) ||
               bus.send(answer.isValid() ? call.createReply(answer) : call.createReply());
    }

private:
    QStringList m_requests;
    uint m_cookie = 0;
};

} // namespace

class ScreenInhibitorTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void holdsTheScreenWhileVideoPlays_data();
    void holdsTheScreenWhileVideoPlays();

private:
    PrivateBus m_bus;
    int m_row = 0;
};

void ScreenInhibitorTest::initTestCase()
{
    QString why;
    if (!m_bus.start(&why))
        QSKIP(qPrintable(why));
    previousHandler = qInstallMessageHandler(countScreenWarnings);
}

void ScreenInhibitorTest::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
}

void ScreenInhibitorTest::holdsTheScreenWhileVideoPlays_data()
{
    QTest::addColumn<QString>("services");
    QTest::addColumn<bool>("video");
    QTest::addColumn<int>("answerTimeoutMs");
    // Each step with the calls it brings and, after a second "|", the
    // warnings said by then: "play|portal.Inhibit", "play||1".
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("pause, play again: the portal first")
        << "portal saver" << true << 5000
        << QStringList{"play|portal.Inhibit", "pause|portal.Close", "play|portal.Inhibit"};
    QTest::newRow("stop, play again")
        << "saver" << true << 5000
        << QStringList{"play|saver.Inhibit", "stop|saver.UnInhibit", "play|saver.Inhibit"};
    QTest::newRow("end, screen saver at its short path")
        << "short" << true << 5000 << QStringList{"play|short.Inhibit", "end|short.UnInhibit"};
    QTest::newRow("audio only never asks")
        << "portal saver" << false << 5000 << QStringList{"play|", "pause|", "play|", "stop|"};
    QTest::newRow("quit") << "portal" << true << 5000
                          << QStringList{"play|portal.Inhibit", "quit|portal.Close"};
    QTest::newRow("no service: said once")
        << "" << true << 5000 << QStringList{"play||1", "pause||1", "play||1", "quit||1"};
    // Not waited for: the hang guard ends the run if the window's thread
    // waits the minute out.
    QTest::newRow("a service that never answers")
        << "silent" << true << 60000
        << QStringList{"play|portal.Inhibit", "pause|", "play|", "quit|"};
    QTest::newRow("a portal that never answers, then the screen saver")
        << "silent saver" << true << 300
        << QStringList{"play|portal.Inhibit saver.Inhibit", "pause|saver.UnInhibit"};
}

void ScreenInhibitorTest::holdsTheScreenWhileVideoPlays()
{
    QFETCH(QString, services);
    QFETCH(bool, video);
    QFETCH(int, answerTimeoutMs);
    QFETCH(QStringList, steps);

    HangGuard guard(20);
    screenWarnings = 0;
    const QString hostName = QStringLiteral("services%1").arg(++m_row);
    const QString playerName = QStringLiteral("player%1").arg(m_row);
    // Closed whatever the outcome, so that the next row finds the names free.
    const struct Closer
    {
        QStringList names;
        ~Closer()
        {
            for (const QString &name : names)
                QDBusConnection::disconnectFromBus(name);
        }
    } closer{{hostName, playerName}};
    QDBusConnection host = m_bus.connect(hostName);
    QDBusConnection player = m_bus.connect(playerName);
    StandIns standIns;
    standIns.silentPortal = services.contains(QLatin1String("silent"));
    if (services.contains(QLatin1String("short")))
        standIns.saverPath = QStringLiteral("/ScreenSaver");
    QVERIFY(host.registerVirtualObject(QStringLiteral("/"), &standIns, QDBusConnection::SubPath));
    if (services.contains(QLatin1String("portal")) || standIns.silentPortal)
        QVERIFY(host.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    if (services.contains(QLatin1String("saver")) || services.contains(QLatin1String("short")))
        QVERIFY(host.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));

    FakeEngine engine;
    auto inhibitor = std::make_unique<ScreenInhibitor>(engine, player, answerTimeoutMs);
    MediaTrack sound{MediaTrack::Type::Audio, 1};
    MediaTrack picture{MediaTrack::Type::Video, 1};
    qsizetype before = 0;
    for (const QString &step : std::as_const(steps)) {
        const QString action = step.section(u'|', 0, 0);
        if (action == QLatin1String("play") && engine.url().isEmpty()) {
            engine.setUrl(QStringLiteral("/media/clip"));
            engine.announceTracks(video ? QList{sound, picture} : QList{sound});
        }
        action == QLatin1String("play")    ? engine.play()
        : action == QLatin1String("pause") ? engine.pause()
        : action == QLatin1String("stop")  ? engine.stop()
        : action == QLatin1String("end")   ? engine.raiseEndOfStream()
                                           : inhibitor.reset();
        const QString expected = step.section(u'|', 1, 1);
        QTRY_COMPARE(standIns.log.mid(before).join(u' '), expected);
        // A call on the same connection after the last: nothing else was on its way.
        QCOMPARE(PrivateBus::call(player, QDBusMessage::createMethodCall(
                                              host.baseService(), QStringLiteral("/"),
                                              QStringLiteral("test.Sync"), QStringLiteral("Sync")))
                     .type(),
                 QDBusMessage::ReplyMessage);
        QCOMPARE(standIns.log.mid(before).join(u' '), expected);
        before = standIns.log.size();
        QTRY_COMPARE(screenWarnings, step.section(u'|', 2).toInt());
    }
}

QTEST_MAIN(ScreenInhibitorTest)
#include "tst_screeninhibitor.moc"
