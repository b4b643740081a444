// MPRIS on the real engine (null outputs) over a private bus, on a clip made
// during the run: OpenUri plays it as the command line would, CanSeek comes
// once its length is known, Seek and SetPosition move the engine and are
// answered by Seeked where the seek landed, and Position reads the engine.

#include "app/Form1.h"
#include "desktop/DesktopIntegration.h"
#include "support/PrivateBus.h"
#include "support/RealEngine.h"
#include "support/ScriptedDialog.h"
#include "support/TestMedia.h"
#include "widgets/PlayListBox.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QtTest>

namespace {

// Bounds a hang only; never paces the test.
constexpr int timeout = 20000;

const QString path = QStringLiteral("/org/mpris/MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

} // namespace

class MprisSeekTest : public QObject
{
    Q_OBJECT

public slots:
    void onSeeked(qlonglong position) { m_seeked << position; }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void seeksTheRealEngine();

private:
    QDBusMessage call(const QString &method, const QVariantList &arguments);
    QVariant property(const QString &name);

    PrivateBus m_bus;
    TestMedia m_media;
    QString m_clip;
    QString m_service;
    QList<qlonglong> m_seeked;
};

void MprisSeekTest::initTestCase()
{
    QString why;
    if (!m_bus.start(&why))
        QSKIP(qPrintable(why));
    m_clip = m_media.wav(QStringLiteral("twelve seconds.wav"), 12.0);
    QVERIFY2(!m_clip.isEmpty(), qPrintable(m_media.lastError()));
    QVERIFY(m_bus.connect(QStringLiteral("client")).isConnected());
}

void MprisSeekTest::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    QDBusConnection::disconnectFromBus(QStringLiteral("player"));
}

QDBusMessage MprisSeekTest::call(const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(m_service, path, playerInterface, method);
    message.setArguments(arguments);
    return PrivateBus::call(QDBusConnection(QStringLiteral("client")), message);
}

QVariant MprisSeekTest::property(const QString &name)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        m_service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    message << playerInterface << name;
    const QVariant value =
        PrivateBus::call(QDBusConnection(QStringLiteral("client")), message).arguments().value(0);
    return value.value<QDBusVariant>().variant();
}

void MprisSeekTest::seeksTheRealEngine()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    DesktopIntegration desktop(form, form.commands(), form.playList(), engine, dialog);
    m_service = desktop.connectBus(m_bus.connect(QStringLiteral("player")));
    QVERIFY(!m_service.isEmpty());
    QVERIFY(QDBusConnection(QStringLiteral("client"))
                .connect(m_service, path, playerInterface, QStringLiteral("Seeked"), this,
                         SLOT(onSeeked(qlonglong))));

    QCOMPARE(property(QStringLiteral("CanSeek")).toBool(), false);
    const QString address = QUrl::fromLocalFile(m_clip).toString(QUrl::FullyEncoded);
    QCOMPARE(call(QStringLiteral("OpenUri"), {address}).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(engine.url(), m_clip, timeout);
    QCOMPARE(form.playList().listCount(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(property(QStringLiteral("CanSeek")).toBool(), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(engine.position().value_or(0) > 0.2, timeout);
    QVERIFY(m_seeked.isEmpty());

    // Pausing first holds the position still, so where it lands is exact.
    engine.pause();
    QTRY_COMPARE_WITH_TIMEOUT(property(QStringLiteral("PlaybackStatus")).toString(),
                              QStringLiteral("Paused"), timeout);
    const double before = *engine.position();
    QCOMPARE(call(QStringLiteral("Seek"), {QVariant::fromValue(qlonglong(5000000))}).type(),
             QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(m_seeked.size(), 1, timeout);
    QVERIFY2(std::abs(m_seeked.first() / 1e6 - (before + 5.0)) < 0.05,
             qPrintable(QString::number(m_seeked.first())));
    QVERIFY(std::abs(*engine.position() - (before + 5.0)) < 0.05);
    // Position is the engine's, to the microsecond it reports, once the
    // frame the seek landed on has told its own time.
    QTRY_COMPARE_WITH_TIMEOUT(property(QStringLiteral("Position")).toLongLong(),
                              qlonglong(std::llround(*engine.position() * 1e6)), timeout);

    const QVariantMap metadata =
        qdbus_cast<QVariantMap>(property(QStringLiteral("Metadata")).value<QDBusArgument>());
    const QDBusObjectPath track =
        metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>();
    QVERIFY(!track.path().isEmpty());
    QCOMPARE(call(QStringLiteral("SetPosition"),
                  {QVariant::fromValue(track), QVariant::fromValue(qlonglong(2500000))})
                 .type(),
             QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(m_seeked.size(), 2, timeout);
    QVERIFY2(std::abs(m_seeked.at(1) - 2500000) < 50000,
             qPrintable(QString::number(m_seeked.at(1))));
    QVERIFY(std::abs(*engine.position() - 2.5) < 0.05);

    // Playing on from there is no seek.
    engine.play();
    QTRY_VERIFY_WITH_TIMEOUT(engine.position().value_or(0) > 3.2, timeout);
    QCOMPARE(m_seeked.size(), 2);
    QVERIFY(dialog.messages.isEmpty());
}

QTEST_MAIN(MprisSeekTest)
#include "tst_mprisseek.moc"
