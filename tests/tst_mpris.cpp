// MPRIS over a private D-Bus bus that the test starts itself: the objects a
// desktop sees, each method reaching the right command, the status and the
// track following the engine, and PropertiesChanged when they change.

#include "core/MediaTypes.h"
#include "desktop/DesktopIntegration.h"
#include "desktop/MprisService.h"
#include "support/FormFixture.h"
#include "widgets/PlayListBox.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QString path = QStringLiteral("/org/mpris/MediaPlayer2");
const QString rootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// A D-Bus value as plain Qt values: nested maps come as QDBusArgument.
QVariant plain(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentType() == QDBusArgument::MapType) {
            QVariantMap map = qdbus_cast<QVariantMap>(argument);
            for (auto it = map.begin(); it != map.end(); ++it)
                *it = plain(*it);
            return map;
        }
    }
    if (value.userType() == qMetaTypeId<QDBusVariant>())
        return plain(value.value<QDBusVariant>().variant());
    return value;
}

} // namespace

class MprisTest : public QObject
{
    Q_OBJECT

public slots:
    void onPropertiesChanged(const QString &interface, const QVariantMap &changed,
                             const QStringList &invalidated);

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void rootObject();
    void noBusMeansNoMpris();
    void transportMethodsActAsTheControlBar();
    void nextAndPreviousActAsTheButtons();
    void statusAndMetadataFollowTheEngine();
    void propertiesChangedIsSent();
    void volume();
    void nothingWakesTheIdlePlayer_data();
    void nothingWakesTheIdlePlayer();
    void secondPlayerTakesAnInstanceName();
    void quitEndsThePlayer();

private:
    // A call from the client side, waited for without blocking the player,
    // which answers on this same thread.
    QDBusMessage call(const QString &interface, const QString &method,
                      const QVariantList &arguments = {});
    QVariant property(const QString &interface, const QString &name);
    bool setProperty(const QString &interface, const QString &name, const QVariant &value);
    PlayListBox *list() const { return m_f->get<PlayListBox>("PlayList1"); }

    QProcess m_daemon;
    QString m_address;
    std::unique_ptr<FormFixture> m_f;
    std::unique_ptr<DesktopIntegration> m_desktop;
    QString m_serviceName;
    int m_connections = 0;
    QList<QVariantMap> m_changes;
};

void MprisTest::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        QSKIP("dbus-daemon is not installed (Debian package dbus-daemon)");
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--print-address"),
                    QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
    QVERIFY(m_daemon.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_daemon.canReadLine(), 10000);
    m_address = QString::fromLatin1(m_daemon.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
    // The client side of every test: the desktop's media controls.
    QVERIFY(QDBusConnection::connectToBus(m_address, QStringLiteral("client")).isConnected());
}

void MprisTest::init()
{
    m_f = std::make_unique<FormFixture>();
    m_desktop = std::make_unique<DesktopIntegration>(
        m_f->form, m_f->form.commands(), m_f->form.playList(), m_f->engine, m_f->dialog);
    const QString name = QStringLiteral("player%1").arg(++m_connections);
    const QDBusConnection bus = QDBusConnection::connectToBus(m_address, name);
    QVERIFY(bus.isConnected());
    m_serviceName = m_desktop->connectBus(bus);
    QCOMPARE(m_serviceName, QStringLiteral("org.mpris.MediaPlayer2.corvel"));
    m_changes.clear();
    QVERIFY(QDBusConnection(QStringLiteral("client"))
                .connect(m_serviceName, path, propertiesInterface,
                         QStringLiteral("PropertiesChanged"), this,
                         SLOT(onPropertiesChanged(QString, QVariantMap, QStringList))));
}

void MprisTest::cleanup()
{
    QDBusConnection(QStringLiteral("client"))
        .disconnect(m_serviceName, path, propertiesInterface, QStringLiteral("PropertiesChanged"),
                    this, SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
    m_desktop.reset();
    m_f.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("player%1").arg(m_connections));
}

void MprisTest::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

void MprisTest::onPropertiesChanged(const QString &interface, const QVariantMap &changed,
                                    const QStringList &)
{
    if (interface != playerInterface)
        return;
    QVariantMap values;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        values.insert(it.key(), plain(it.value()));
    m_changes << values;
}

QDBusMessage MprisTest::call(const QString &interface, const QString &method,
                             const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(m_serviceName, path, interface, method);
    message.setArguments(arguments);
    QDBusPendingCall pending = QDBusConnection(QStringLiteral("client")).asyncCall(message);
    QElapsedTimer clock;
    clock.start();
    while (!pending.isFinished() && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return pending.reply();
}

QVariant MprisTest::property(const QString &interface, const QString &name)
{
    const QDBusMessage reply = call(propertiesInterface, QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return QVariant();
    return plain(reply.arguments().first());
}

bool MprisTest::setProperty(const QString &interface, const QString &name, const QVariant &value)
{
    return call(propertiesInterface, QStringLiteral("Set"),
                {interface, name, QVariant::fromValue(QDBusVariant(value))})
               .type() == QDBusMessage::ReplyMessage;
}

void MprisTest::rootObject()
{
    QCOMPARE(property(rootInterface, QStringLiteral("Identity")).toString(),
             QStringLiteral("Corvel Media Player"));
    QCOMPARE(property(rootInterface, QStringLiteral("DesktopEntry")).toString(),
             QStringLiteral("org.corvel.MediaPlayer"));
    QCOMPARE(property(rootInterface, QStringLiteral("CanQuit")).toBool(), true);
    QCOMPARE(property(rootInterface, QStringLiteral("CanRaise")).toBool(), true);
    QCOMPARE(property(rootInterface, QStringLiteral("HasTrackList")).toBool(), false);
    QCOMPARE(property(rootInterface, QStringLiteral("SupportedMimeTypes")).toStringList(),
             MediaTypes::mimeTypes());
    const QStringList schemes =
        property(rootInterface, QStringLiteral("SupportedUriSchemes")).toStringList();
    QVERIFY(schemes.contains(u"file") && schemes.contains(u"https"));

    // Raise brings a minimised window back.
    m_f->form.showMinimized();
    QCOMPARE(call(rootInterface, QStringLiteral("Raise")).type(), QDBusMessage::ReplyMessage);
    QVERIFY(!m_f->form.isMinimized());
    QVERIFY(m_f->form.isVisible());

    // Both interfaces are there for a desktop that looks.
    const QDBusMessage introspection =
        call(QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    const QString xml = introspection.arguments().value(0).toString();
    QVERIFY(xml.contains(QLatin1String("<interface name=\"org.mpris.MediaPlayer2\">")));
    QVERIFY(xml.contains(QLatin1String("<interface name=\"org.mpris.MediaPlayer2.Player\">")));
    QVERIFY(xml.contains(QLatin1String("<method name=\"PlayPause\"")));
    QVERIFY(xml.contains(QLatin1String("<property name=\"Metadata\" type=\"a{sv}\"")));

    // Properties that are not there, and addresses sent to open, are refused.
    QVERIFY(
        !setProperty(playerInterface, QStringLiteral("PlaybackStatus"), QStringLiteral("Playing")));
    const QDBusMessage open =
        call(playerInterface, QStringLiteral("OpenUri"), {QStringLiteral("file:///x.mp3")});
    QCOMPARE(open.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(open.errorName(), QStringLiteral("org.freedesktop.DBus.Error.NotSupported"));
    QVERIFY(m_f->engine.calls.isEmpty());
}

void MprisTest::noBusMeansNoMpris()
{
    FormFixture f;
    MprisService service(f.engine, f.form.playList());
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^No D-Bus session bus")));
    QVERIFY(!service.registerOn(QDBusConnection(QStringLiteral("never connected"))));
    QVERIFY(service.serviceName().isEmpty());
    // The window works as before.
    f.get<PlayListBox>("PlayList1")->addEntry(QStringLiteral("/a.mp3"));
    f.get<PlayListBox>("PlayList1")->setListIndex(0);
    QCOMPARE(f.engine.url(), QStringLiteral("/a.mp3"));
}

void MprisTest::transportMethodsActAsTheControlBar()
{
    list()->addEntry(QStringLiteral("/music/a.mp3"));
    list()->setListIndex(0);
    m_f->engine.calls.clear();

    // Without resetting the medium, unlike the window's Play button.
    QCOMPARE(call(playerInterface, QStringLiteral("Pause")).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(call(playerInterface, QStringLiteral("Play")).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(call(playerInterface, QStringLiteral("PlayPause")).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(m_f->engine.playbackState(), MediaEngine::PlaybackState::Paused);
    call(playerInterface, QStringLiteral("PlayPause"));
    QCOMPARE(m_f->engine.playbackState(), MediaEngine::PlaybackState::Playing);
    call(playerInterface, QStringLiteral("Stop"));
    call(playerInterface, QStringLiteral("PlayPause"));
    QCOMPARE(m_f->engine.commands(),
             QStringList({QStringLiteral("pause"), QStringLiteral("play"), QStringLiteral("pause"),
                          QStringLiteral("play"), QStringLiteral("stop"), QStringLiteral("play")}));
    // The window's own state is the window's: no timer change, no pfname.
    QCOMPARE(m_f->edit("pfname")->text(), QStringLiteral("/music/a.mp3"));
    QCOMPARE(list()->listIndex(), 0);

    // Seeking is not offered and does nothing.
    QCOMPARE(property(playerInterface, QStringLiteral("CanSeek")).toBool(), false);
    m_f->engine.calls.clear();
    call(playerInterface, QStringLiteral("Seek"), {QVariant::fromValue(qlonglong(5000000))});
    QVERIFY(m_f->engine.commands().isEmpty());
}

void MprisTest::nextAndPreviousActAsTheButtons()
{
    for (const char *entry : {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"})
        list()->addEntry(QLatin1String(entry));
    m_f->edit("Text1")->setText(QStringLiteral("0 : 9"));
    m_f->timer1()->stop();

    QCOMPARE(property(playerInterface, QStringLiteral("CanGoNext")).toBool(), true);
    QCOMPARE(property(playerInterface, QStringLiteral("CanGoPrevious")).toBool(), false);
    // Nothing selected: Next plays the first entry, as ">" does.
    call(playerInterface, QStringLiteral("Next"));
    QCOMPARE(list()->listIndex(), 0);
    QCOMPARE(m_f->engine.commands(),
             QStringList({QStringLiteral("url=/m/a.mp3"), QStringLiteral("play")}));
    QVERIFY(m_f->edit("Text1")->text().isEmpty());
    QVERIFY(m_f->timer1()->isActive());
    call(playerInterface, QStringLiteral("Next"));
    call(playerInterface, QStringLiteral("Next"));
    QCOMPARE(list()->listIndex(), 2);
    QCOMPARE(property(playerInterface, QStringLiteral("CanGoNext")).toBool(), false);
    // No wrap-around at the end.
    m_f->engine.calls.clear();
    call(playerInterface, QStringLiteral("Next"));
    QCOMPARE(list()->listIndex(), 2);
    QVERIFY(m_f->engine.commands().isEmpty());

    call(playerInterface, QStringLiteral("Previous"));
    QCOMPARE(list()->listIndex(), 1);
    QCOMPARE(m_f->engine.url(), QStringLiteral("/m/b.mp3"));
    call(playerInterface, QStringLiteral("Previous"));
    // Before the first entry comes nothing, as with "<".
    m_f->engine.calls.clear();
    call(playerInterface, QStringLiteral("Previous"));
    QCOMPARE(list()->listIndex(), -1);
    QCOMPARE(m_f->engine.commands(), QStringList({QStringLiteral("url="), QStringLiteral("play")}));
    QVERIFY(m_f->edit("pfname")->text().isEmpty());
}

void MprisTest::statusAndMetadataFollowTheEngine()
{
    auto metadata = [this] {
        return property(playerInterface, QStringLiteral("Metadata")).toMap();
    };
    auto status = [this] {
        return property(playerInterface, QStringLiteral("PlaybackStatus")).toString();
    };

    QCOMPARE(status(), QStringLiteral("Stopped"));
    QCOMPARE(metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
             QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    QVERIFY(!metadata().contains(QStringLiteral("xesam:title")));
    QCOMPARE(property(playerInterface, QStringLiteral("CanPlay")).toBool(), false);

    m_f->engine.scriptedDuration = 83.25;
    m_f->engine.scriptedPosition = 2.5;
    list()->addEntry(QStringLiteral("/music/Song & Dance.mp3"));
    list()->addEntry(QStringLiteral("https://radio.example.com/live/stream.ogg"));
    list()->setListIndex(0);
    QCOMPARE(status(), QStringLiteral("Playing"));
    QVariantMap data = metadata();
    QCOMPARE(data.value(QStringLiteral("xesam:title")).toString(),
             QStringLiteral("Song & Dance.mp3"));
    QCOMPARE(data.value(QStringLiteral("xesam:url")).toString(),
             QStringLiteral("file:///music/Song%20&%20Dance.mp3"));
    QCOMPARE(data.value(QStringLiteral("mpris:length")).toLongLong(), 83250000LL);
    const QString firstTrack =
        data.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
    QVERIFY(firstTrack.startsWith(QLatin1String("/org/corvel/MediaPlayer/Track/")));
    QCOMPARE(property(playerInterface, QStringLiteral("Position")).toLongLong(), 2500000LL);
    QCOMPARE(property(playerInterface, QStringLiteral("CanPlay")).toBool(), true);

    m_f->engine.pause();
    QCOMPARE(status(), QStringLiteral("Paused"));
    m_f->engine.scriptedDuration.reset();
    list()->setListIndex(1);
    data = metadata();
    QCOMPARE(data.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("stream.ogg"));
    QCOMPARE(data.value(QStringLiteral("xesam:url")).toString(),
             QStringLiteral("https://radio.example.com/live/stream.ogg"));
    QVERIFY(!data.contains(QStringLiteral("mpris:length")));
    QVERIFY(data.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path() !=
            firstTrack);

    // The end of the medium: the window's own end-of-stream steps run and the
    // engine stands stopped.
    m_f->engine.raiseEndOfStream();
    QCOMPARE(status(), QStringLiteral("Stopped"));
}

void MprisTest::propertiesChangedIsSent()
{
    auto lastWith = [this](const QString &key) {
        for (auto it = m_changes.crbegin(); it != m_changes.crend(); ++it)
            if (it->contains(key))
                return it->value(key);
        return QVariant();
    };
    list()->addEntry(QStringLiteral("/music/a.mp3"));
    QTRY_COMPARE(lastWith(QStringLiteral("CanGoNext")).toBool(), true);

    m_f->engine.scriptedDuration = 10.0;
    m_changes.clear();
    list()->setListIndex(0);
    QTRY_COMPARE(lastWith(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));
    const QVariantMap data = lastWith(QStringLiteral("Metadata")).toMap();
    QCOMPARE(data.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("a.mp3"));
    QCOMPARE(data.value(QStringLiteral("mpris:length")).toLongLong(), 10000000LL);
    // One command, one signal.
    QTest::qWait(100);
    QCOMPARE(m_changes.size(), 1);
    QCOMPARE(m_changes.first().value(QStringLiteral("CanGoNext")).toBool(), false);
    QCOMPARE(m_changes.first().value(QStringLiteral("CanGoPrevious")).toBool(), true);

    // The window's own Pause and Mute reach the desktop too.
    m_changes.clear();
    m_f->run("cmdPause_Click");
    QTRY_COMPARE(lastWith(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Paused"));
    m_f->run("cmdMute_Click");
    QTRY_VERIFY(lastWith(QStringLiteral("Volume")).isValid());
    QCOMPARE(lastWith(QStringLiteral("Volume")).toDouble(), 0.0);

    // A length learnt after the medium opened is sent when the engine tells it.
    m_f->engine.scriptedDuration.reset();
    list()->addEntry(QStringLiteral("/music/b.mp3"));
    list()->setListIndex(1);
    QTRY_COMPARE(lastWith(QStringLiteral("Metadata")).toMap().value(QStringLiteral("xesam:title")),
                 QVariant(QStringLiteral("b.mp3")));
    m_changes.clear();
    m_f->engine.announceDuration(7.0);
    QTRY_COMPARE_WITH_TIMEOUT(
        lastWith(QStringLiteral("Metadata")).toMap().value(QStringLiteral("mpris:length")),
        QVariant(7000000LL), 3000);

    // Nothing changed, nothing sent.
    m_changes.clear();
    m_f->run("cmdMute_Click");
    QTest::qWait(1500);
    QVERIFY(m_changes.isEmpty());
}

void MprisTest::volume()
{
    QCOMPARE(property(playerInterface, QStringLiteral("Volume")).toDouble(), 0.5);
    QVERIFY(setProperty(playerInterface, QStringLiteral("Volume"), 0.3));
    QCOMPARE(m_f->engine.volume(), 30);
    QVERIFY(setProperty(playerInterface, QStringLiteral("Volume"), 7.0));
    QCOMPARE(m_f->engine.volume(), 100);
    QVERIFY(setProperty(playerInterface, QStringLiteral("Volume"), -1.0));
    QCOMPARE(m_f->engine.volume(), 0);
    m_f->run("cmdUnMute_Click");
    QCOMPARE(property(playerInterface, QStringLiteral("Volume")).toDouble(), 1.0);
}

// Counts the timer events of every object in the program while it lives.
class TimerEventCounter : public QObject
{
public:
    TimerEventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Timer)
            ++count;
        return false;
    }
};

void MprisTest::nothingWakesTheIdlePlayer_data()
{
    QTest::addColumn<bool>("fails");
    QTest::addColumn<bool>("lengthKnown");
    QTest::newRow("a medium that failed to open") << true << false;
    QTest::newRow("a medium whose length never came") << false << false;
    QTest::newRow("a medium stopped at its end") << false << true;
}

void MprisTest::nothingWakesTheIdlePlayer()
{
    QFETCH(bool, fails);
    QFETCH(bool, lengthKnown);
    if (lengthKnown)
        m_f->engine.scriptedDuration = 5.0;
    list()->addEntry(QStringLiteral("/music/broken.mp3"));
    list()->setListIndex(0);
    QCOMPARE(property(playerInterface, QStringLiteral("PlaybackStatus")).toString(),
             QStringLiteral("Playing"));
    if (fails)
        m_f->engine.fail(QStringLiteral("Failed: unrecognized file format"));
    else if (lengthKnown)
        m_f->engine.raiseEndOfStream();
    else
        m_f->engine.stop();
    QCOMPARE(property(playerInterface, QStringLiteral("PlaybackStatus")).toString(),
             QStringLiteral("Stopped"));
    // The window's own display is off too, as the end of a medium leaves it.
    m_f->timer1()->stop();
    QTest::qWait(100);

    // Whatever came before, an idle player waits for events and nothing else.
    const TimerEventCounter timers;
    QTest::qWait(2500);
    QCOMPARE(timers.count, 0);
}

void MprisTest::secondPlayerTakesAnInstanceName()
{
    FormFixture other;
    MprisService second(other.engine, other.form.playList());
    const QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("second"));
    QVERIFY(second.registerOn(bus));
    QCOMPARE(second.serviceName(), QStringLiteral("org.mpris.MediaPlayer2.corvel.instance%1")
                                       .arg(QCoreApplication::applicationPid()));
    QDBusConnection::disconnectFromBus(QStringLiteral("second"));
}

void MprisTest::quitEndsThePlayer()
{
    m_f->form.show();
    QVERIFY(m_f->form.isVisible());
    QCOMPARE(call(rootInterface, QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    QTRY_VERIFY(!m_f->form.isVisible());
}

QTEST_MAIN(MprisTest)
#include "tst_mpris.moc"
