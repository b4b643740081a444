// MPRIS over a private D-Bus bus that the test starts itself: the objects a
// desktop sees, each method reaching the right command, the status and the
// track following the engine, PropertiesChanged when they change, seeking
// and Seeked, and OpenUri under the command line's rule.

#include "core/MediaTypes.h"
#include "desktop/DesktopIntegration.h"
#include "desktop/MprisService.h"
#include "engine/EngineView.h"
#include "support/ControlBarParts.h"
#include "support/FormFixture.h"
#include "support/PositionCounters.h"
#include "support/PrivateBus.h"
#include "support/TestFiles.h"
#include "widgets/PlayListBox.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QTemporaryDir>
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
    void onSeeked(qlonglong position) { m_seeked << position; }

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
    void seekingMovesTheEngine_data();
    void seekingMovesTheEngine();
    void canSeekFollowsTheMedium();
    void seekedOnJumps_data();
    void seekedOnJumps();
    void openUri_data();
    void openUri();
    void everySourceMovesTheCountAlike_data();
    void everySourceMovesTheCountAlike();

private:
    // A call from the client side, waited for without blocking the player,
    // which answers on this same thread.
    QDBusMessage call(const QString &interface, const QString &method,
                      const QVariantList &arguments = {});
    QVariant property(const QString &interface, const QString &name);
    bool setProperty(const QString &interface, const QString &name, const QVariant &value);
    PlayListBox *list() const { return m_f->get<PlayListBox>("PlayList1"); }

    PrivateBus m_bus;
    QString m_address;
    std::unique_ptr<FormFixture> m_f;
    std::unique_ptr<DesktopIntegration> m_desktop;
    QString m_serviceName;
    int m_connections = 0;
    QList<QVariantMap> m_changes;
    QList<qlonglong> m_seeked;
};

void MprisTest::initTestCase()
{
    QString why;
    if (!m_bus.start(&why))
        QSKIP(qPrintable(why));
    m_address = m_bus.address();
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
    m_seeked.clear();
    QVERIFY(QDBusConnection(QStringLiteral("client"))
                .connect(m_serviceName, path, playerInterface, QStringLiteral("Seeked"), this,
                         SLOT(onSeeked(qlonglong))));
}

void MprisTest::cleanup()
{
    QDBusConnection(QStringLiteral("client"))
        .disconnect(m_serviceName, path, propertiesInterface, QStringLiteral("PropertiesChanged"),
                    this, SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
    QDBusConnection(QStringLiteral("client"))
        .disconnect(m_serviceName, path, playerInterface, QStringLiteral("Seeked"), this,
                    SLOT(onSeeked(qlonglong)));
    m_desktop.reset();
    m_f.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("player%1").arg(m_connections));
}

void MprisTest::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
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
    return PrivateBus::call(QDBusConnection(QStringLiteral("client")), message);
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

    // Properties that are not there are refused, and so is an address to
    // open that is not there, saying why.
    QVERIFY(
        !setProperty(playerInterface, QStringLiteral("PlaybackStatus"), QStringLiteral("Playing")));
    const QDBusMessage open =
        call(playerInterface, QStringLiteral("OpenUri"), {QStringLiteral("file:///x.mp3")});
    QCOMPARE(open.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(open.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    QCOMPARE(open.errorMessage(), QStringLiteral("/x.mp3 was not found."));
    QVERIFY(m_f->engine.commands().isEmpty());
    // Playback runs at its normal rate only.
    QCOMPARE(property(playerInterface, QStringLiteral("Rate")).toDouble(), 1.0);
    QCOMPARE(property(playerInterface, QStringLiteral("MaximumRate")).toDouble(), 1.0);
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
    // The medium stays the window's: no new pfname, no new selection.
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

void MprisTest::seekingMovesTheEngine_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<double>("from");
    QTest::addColumn<qlonglong>("argument");
    QTest::addColumn<bool>("currentTrack");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QList<qlonglong>>("seeked");

    const QString seek = QStringLiteral("Seek");
    const QString setPosition = QStringLiteral("SetPosition");
    auto seekTo = [](const char *seconds) { return QStringList{QLatin1String("seek=") + seconds}; };
    QTest::newRow("forward") << seek << 10.0 << 5000000LL << true << seekTo("15")
                             << QList<qlonglong>{15000000};
    QTest::newRow("back") << seek << 10.0 << -4500000LL << true << seekTo("5.5")
                          << QList<qlonglong>{5500000};
    QTest::newRow("back past the start stops at it")
        << seek << 3.0 << -10000000LL << true << seekTo("0") << QList<qlonglong>{0};
    QTest::newRow("forward past the end is Next")
        << seek << 50.0 << 20000000LL << true
        << QStringList({QStringLiteral("url=/m/b.mp3"), QStringLiteral("play")})
        << QList<qlonglong>{};
    QTest::newRow("set position") << setPosition << 10.0 << 42000000LL << true << seekTo("42")
                                  << QList<qlonglong>{42000000};
    QTest::newRow("set position of another track")
        << setPosition << 10.0 << 42000000LL << false << QStringList() << QList<qlonglong>{};
    QTest::newRow("set position past the end")
        << setPosition << 10.0 << 60000001LL << true << QStringList() << QList<qlonglong>{};
    QTest::newRow("set position before the start")
        << setPosition << 10.0 << -1LL << true << QStringList() << QList<qlonglong>{};
}

void MprisTest::seekingMovesTheEngine()
{
    QFETCH(QString, method);
    QFETCH(double, from);
    QFETCH(qlonglong, argument);
    QFETCH(bool, currentTrack);
    QFETCH(QStringList, commands);
    QFETCH(QList<qlonglong>, seeked);

    list()->addEntry(QStringLiteral("/m/a.mp3"));
    list()->addEntry(QStringLiteral("/m/b.mp3"));
    m_f->engine.scriptedDuration = 60.0;
    list()->setListIndex(0);
    m_f->engine.announcePosition(from);
    QCOMPARE(property(playerInterface, QStringLiteral("CanSeek")).toBool(), true);
    m_f->engine.calls.clear();

    QDBusMessage reply;
    if (method == QLatin1String("Seek")) {
        reply = call(playerInterface, method, {QVariant::fromValue(argument)});
    } else {
        const QVariantMap data = property(playerInterface, QStringLiteral("Metadata")).toMap();
        QDBusObjectPath track =
            data.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>();
        if (!currentTrack)
            track = QDBusObjectPath(QStringLiteral("/org/corvel/MediaPlayer/Track/999"));
        reply = call(playerInterface, method,
                     {QVariant::fromValue(track), QVariant::fromValue(argument)});
    }
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(m_f->engine.commands(), commands);
    if (!seeked.isEmpty())
        QTRY_COMPARE(m_seeked, seeked);
    // A signal still on its way would arrive by now.
    call(playerInterface, QStringLiteral("PlayPause"));
    QCOMPARE(m_seeked, seeked);
}

void MprisTest::canSeekFollowsTheMedium()
{
    auto canSeek = [this] { return property(playerInterface, QStringLiteral("CanSeek")).toBool(); };
    auto lastCanSeek = [this] {
        for (auto it = m_changes.crbegin(); it != m_changes.crend(); ++it)
            if (it->contains(QStringLiteral("CanSeek")))
                return it->value(QStringLiteral("CanSeek"));
        return QVariant();
    };
    QVERIFY(!canSeek());

    // A medium whose length is not known yet (a live stream) cannot seek.
    list()->addEntry(QStringLiteral("https://radio.example.com/live"));
    list()->setListIndex(0);
    QVERIFY(!canSeek());
    m_f->engine.calls.clear();
    call(playerInterface, QStringLiteral("Seek"), {QVariant::fromValue(qlonglong(5000000))});
    QVERIFY(m_f->engine.commands().isEmpty());

    // Its length learnt: seeking is offered, and the desktop is told.
    m_f->engine.announceDuration(30.0);
    QVERIFY(canSeek());
    QTRY_COMPARE(lastCanSeek(), QVariant(true));

    // No medium any more ("<" before the first entry): not offered, and told.
    m_f->run("cmdBack_Click");
    QCOMPARE(m_f->engine.url(), QString());
    QVERIFY(!canSeek());
    QTRY_COMPARE(lastCanSeek(), QVariant(false));
}

void MprisTest::seekedOnJumps_data()
{
    QTest::addColumn<QList<double>>("positions");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<QList<qlonglong>>("seeked");

    QTest::newRow("playing on") << QList<double>{10.0, 10.1, 10.25, 10.5} << false
                                << QList<qlonglong>{};
    QTest::newRow("a jump ahead") << QList<double>{10.0, 10.1, 45.0, 45.1} << false
                                  << QList<qlonglong>{45000000};
    QTest::newRow("a jump back") << QList<double>{30.0, 2.5} << false << QList<qlonglong>{2500000};
    QTest::newRow("paused, still") << QList<double>{12.0, 12.0} << true << QList<qlonglong>{};
    QTest::newRow("paused, moved")
        << QList<double>{12.0, 20.0} << true << QList<qlonglong>{20000000};
    QTest::newRow("position gone and back")
        << QList<double>{12.0, -1.0, 40.0} << false << QList<qlonglong>{};
}

void MprisTest::seekedOnJumps()
{
    QFETCH(QList<double>, positions);
    QFETCH(bool, paused);
    QFETCH(QList<qlonglong>, seeked);

    m_f->engine.scriptedDuration = 60.0;
    list()->addEntry(QStringLiteral("/m/a.mp3"));
    list()->setListIndex(0);
    if (paused)
        m_f->engine.pause();
    for (double position : positions)
        m_f->engine.announcePosition(position < 0 ? std::nullopt : std::optional<double>(position));
    if (!seeked.isEmpty())
        QTRY_COMPARE(m_seeked, seeked);
    property(playerInterface, QStringLiteral("Position"));
    QCOMPARE(m_seeked, seeked);

    // Another medium starting at its beginning is no seek.
    m_seeked.clear();
    list()->addEntry(QStringLiteral("/m/b.mp3"));
    list()->setListIndex(1);
    m_f->engine.announcePosition(0.0);
    property(playerInterface, QStringLiteral("Position"));
    QVERIFY(m_seeked.isEmpty());
}

void MprisTest::openUri_data()
{
    QTest::addColumn<QString>("uri");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("error");

    // "@" stands for the test's folder.
    QTest::newRow("file address") << QStringLiteral("file://@/a%20b.mp3")
                                  << QStringList{QStringLiteral("@/a b.mp3")} << QString();
    QTest::newRow("absolute path")
        << QStringLiteral("@/a b.mp3") << QStringList{QStringLiteral("@/a b.mp3")} << QString();
    QTest::newRow("stream") << QStringLiteral("https://radio.example.com/live.ogg")
                            << QStringList{QStringLiteral("https://radio.example.com/live.ogg")}
                            << QString();
    QTest::newRow("folder") << QStringLiteral("file://@/songs")
                            << QStringList({QStringLiteral("@/songs/1.mp3"),
                                            QStringLiteral("@/songs/2.wav")})
                            << QString();
    QTest::newRow("missing file") << QStringLiteral("file://@/gone.mp3") << QStringList()
                                  << QStringLiteral("@/gone.mp3 was not found.");
    QTest::newRow("engine-only scheme") << QStringLiteral("lavfi://sine") << QStringList()
                                        << QStringLiteral("lavfi://sine cannot be opened: ");
    QTest::newRow("empty folder") << QStringLiteral("@/empty") << QStringList()
                                  << QStringLiteral("The folder @/empty holds no media files.");
}

void MprisTest::openUri()
{
    QFETCH(QString, uri);
    QFETCH(QStringList, entries);
    QFETCH(QString, error);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("songs")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("empty")));
    for (const char *name : {"a b.mp3", "songs/1.mp3", "songs/2.wav", "songs/notes.txt"})
        QVERIFY(writeBytes(dir.filePath(QLatin1String(name)), "media"));
    const auto here = [&dir](QString text) { return text.replace(u'@', dir.path()); };
    list()->addEntry(QStringLiteral("/old.mp3"));

    const QDBusMessage reply = call(playerInterface, QStringLiteral("OpenUri"), {here(uri)});
    if (!error.isEmpty()) {
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        QVERIFY2(reply.errorMessage().startsWith(here(error)), qPrintable(reply.errorMessage()));
        QCoreApplication::processEvents();
        QCOMPARE(list()->listCount(), 1);
        QVERIFY(m_f->engine.commands().isEmpty());
        QVERIFY(m_f->dialog.messages.isEmpty());
        return;
    }
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    // As the command line opens it: the list replaced, the first playing.
    QStringList expected;
    for (const QString &entry : std::as_const(entries))
        expected << here(entry);
    QTRY_COMPARE(list()->listCount(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(list()->list(i), expected.at(i));
    QCOMPARE(list()->listIndex(), 0);
    QCOMPARE(m_f->engine.url(), expected.first());
    QCOMPARE(m_f->engine.playbackState(), MediaEngine::PlaybackState::Playing);
}

void MprisTest::everySourceMovesTheCountAlike_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<bool>("counting");

    // Each row: Text1 just after the last step, and whether the count runs on.
    const QString held = QStringLiteral("0 : 3");
    QTest::newRow("Space pauses") << QStringList{"Space"} << held << false;
    QTest::newRow("MPRIS Pause") << QStringList{"Pause"} << held << false;
    QTest::newRow("MPRIS PlayPause") << QStringList{"PlayPause"} << held << false;
    QTest::newRow("the engine bar's pause") << QStringList{"bar play/pause"} << held << false;
    QTest::newRow("Space resumes the window's Pause")
        << QStringList{"cmdPause", "Space"} << held << true;
    QTest::newRow("MPRIS Play resumes Space") << QStringList{"Space", "Play"} << held << true;
    QTest::newRow("the engine bar resumes MPRIS Pause")
        << QStringList{"Pause", "bar play/pause"} << held << true;
    QTest::newRow("a stopped count stays stopped on resume")
        << QStringList{"cmdPlay", "Space", "Space"} << held << false;
    QTest::newRow("fast playback after a pause is no resume")
        << QStringList{"Space", "cmdFast"} << held << false;
    QTest::newRow("MPRIS Stop") << QStringList{"Stop"} << QStringLiteral(" ") << false;
    QTest::newRow("the engine bar's stop")
        << QStringList{"bar stop"} << QStringLiteral(" ") << false;
    QTest::newRow("Right") << QStringList{"Right"} << QStringLiteral("0 : 12") << true;
    QTest::newRow("Ctrl+Left") << QStringList{"Ctrl+Left"} << QStringLiteral("0 : 0") << true;
    QTest::newRow("MPRIS Seek") << QStringList{"Seek"} << QStringLiteral("0 : 12") << true;
    QTest::newRow("MPRIS SetPosition")
        << QStringList{"SetPosition"} << QStringLiteral("1 : 2") << true;
    QTest::newRow("the engine bar's slider")
        << QStringList{"bar slider"} << QStringLiteral("1 : 2") << true;
    QTest::newRow("a seek while paused")
        << QStringList{"Space", "Right"} << QStringLiteral("0 : 12") << false;
}

void MprisTest::everySourceMovesTheCountAlike()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, text1);
    QFETCH(bool, counting);

    // The engine's own area, as the real engine hosts it, over the same engine.
    EngineView area(m_f->engine);
    const ControlBarParts bar(&area);
    QVERIFY(bar.complete());
    m_f->form.show();
    m_f->form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_f->form));
    m_f->get("cmdStop")->setFocus();
    list()->addEntry(QStringLiteral("/m/a.mp3"));
    list()->setListIndex(0);
    m_f->engine.announceDuration(90.0);
    const PositionCounters display(m_f->form);
    for (int tick = 0; tick < 3; ++tick)
        display.tick();
    m_f->engine.announcePosition(7.0);
    QCOMPARE(m_f->edit("Text1")->text(), QStringLiteral("0 : 3"));
    QVERIFY(m_f->timer1()->isActive());

    const QString track = property(playerInterface, QStringLiteral("Metadata"))
                              .toMap()
                              .value(QStringLiteral("mpris:trackid"))
                              .value<QDBusObjectPath>()
                              .path();
    for (const QString &step : std::as_const(steps)) {
        if (step == QLatin1String("Space"))
            QTest::keyClick(m_f->get("cmdStop"), Qt::Key_Space);
        else if (step == QLatin1String("Right"))
            QTest::keyClick(m_f->get("cmdStop"), Qt::Key_Right);
        else if (step == QLatin1String("Ctrl+Left"))
            QTest::keyClick(m_f->get("cmdStop"), Qt::Key_Left, Qt::ControlModifier);
        else if (step.startsWith(QLatin1String("cmd")))
            m_f->run(qPrintable(step + QLatin1String("_Click")));
        else if (step == QLatin1String("bar play/pause"))
            bar.playPause->click();
        else if (step == QLatin1String("bar stop"))
            bar.stop->click();
        else if (step == QLatin1String("bar slider"))
            bar.seek->setSliderPosition(620); // tenths of a second
        else if (step == QLatin1String("Seek"))
            call(playerInterface, step, {QVariant::fromValue(qlonglong(5000000))});
        else if (step == QLatin1String("SetPosition"))
            call(playerInterface, step,
                 {QVariant::fromValue(QDBusObjectPath(track)),
                  QVariant::fromValue(qlonglong(62000000))});
        else
            QCOMPARE(call(playerInterface, step).type(), QDBusMessage::ReplyMessage);
    }
    QCOMPARE(m_f->edit("Text1")->text(), text1);
    QCOMPARE(m_f->timer1()->isActive(), counting);
    if (counting) {
        // The count goes on from what Text1 shows, a second a tick.
        const qint64 shown = text1.section(QLatin1Char(':'), 0, 0).trimmed().toLongLong() * 60 +
                             text1.section(QLatin1Char(':'), 1).trimmed().toLongLong();
        display.tick();
        QCOMPARE(m_f->edit("Text1")->text(),
                 PositionDisplay::timeText((shown + 1) / 60, (shown + 1) % 60));
    }
}

QTEST_MAIN(MprisTest)
#include "tst_mpris.moc"
