#include "desktop/ScreenInhibitor.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(screenLog, "corvel.screen")

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString screenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
// The portal's flag for "the session must not go idle": no blanking, no lock.
constexpr uint idleFlag = 8;
const QString reason = QStringLiteral("Playing a video");

// The services asked, in order: the portal, then the screen saver at the
// path most desktops serve and at the one some older ones serve instead.
enum Service
{
    Portal,
    ScreenSaver,
    ShortScreenSaver,
    ServiceCount
};

QDBusMessage inhibitCall(int service)
{
    if (service == Portal) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            portalService, QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
        call << QString() << idleFlag << QVariantMap{{QStringLiteral("reason"), reason}};
        return call;
    }
    const QString path = service == ScreenSaver ? QStringLiteral("/org/freedesktop/ScreenSaver")
                                                : QStringLiteral("/ScreenSaver");
    QDBusMessage call = QDBusMessage::createMethodCall(screenSaverService, path, screenSaverService,
                                                       QStringLiteral("Inhibit"));
    call << QCoreApplication::applicationName() << reason;
    return call;
}

} // namespace

ScreenInhibitor::ScreenInhibitor(MediaEngine &engine, const QDBusConnection &bus,
                                 int answerTimeoutMs, QObject *parent)
    : QObject(parent), m_engine(engine), m_bus(bus), m_answerTimeoutMs(answerTimeoutMs)
{
    connect(&engine, &MediaEngine::playbackStateChanged, this, &ScreenInhibitor::follow);
    connect(&engine, &MediaEngine::tracksChanged, this, &ScreenInhibitor::follow);
    // The bus forgets a quitting player's hold anyway; letting go while the
    // connection is surely alive is tidier.
    if (QCoreApplication *application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &ScreenInhibitor::release);
    follow();
}

ScreenInhibitor::~ScreenInhibitor()
{
    release();
}

bool ScreenInhibitor::wanted() const
{
    return m_engine.playbackState() == MediaEngine::PlaybackState::Playing &&
           MediaTrack::has(m_engine.tracks(), MediaTrack::Type::Video);
}

void ScreenInhibitor::follow()
{
    // An answer on its way decides once it is here.
    if (m_asking)
        return;
    if (wanted() && m_holder == Holder::None)
        ask(Portal);
    else if (!wanted() && m_holder != Holder::None)
        release();
}

void ScreenInhibitor::ask(int service)
{
    m_asking = true;
    auto *watcher =
        new QDBusPendingCallWatcher(m_bus.asyncCall(inhibitCall(service), m_answerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, service](QDBusPendingCallWatcher *done) { onAnswer(done, service); });
}

void ScreenInhibitor::onAnswer(QDBusPendingCallWatcher *watcher, int service)
{
    watcher->deleteLater();
    m_asking = false;
    const QDBusMessage reply = watcher->reply();
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if (!wanted())
            return;
        if (service + 1 < ServiceCount) {
            ask(service + 1);
            return;
        }
        if (!m_saidNone)
            qCWarning(screenLog,
                      "Nothing on the session bus keeps the screen awake (%s: %s); it may blank "
                      "during a video.",
                      qPrintable(reply.errorName()), qPrintable(reply.errorMessage()));
        m_saidNone = true;
        return;
    }
    if (service == Portal) {
        const QDBusPendingReply<QDBusObjectPath> handle = *watcher;
        m_holder = Holder::Portal;
        m_heldPath = handle.value().path();
    } else {
        const QDBusPendingReply<uint> cookie = *watcher;
        m_holder = Holder::ScreenSaver;
        m_heldPath = inhibitCall(service).path();
        m_cookie = cookie.value();
    }
    follow();
}

void ScreenInhibitor::release()
{
    QDBusMessage call;
    if (m_holder == Holder::Portal) {
        call = QDBusMessage::createMethodCall(portalService, m_heldPath,
                                              QStringLiteral("org.freedesktop.portal.Request"),
                                              QStringLiteral("Close"));
    } else if (m_holder == Holder::ScreenSaver) {
        call = QDBusMessage::createMethodCall(screenSaverService, m_heldPath, screenSaverService,
                                              QStringLiteral("UnInhibit"));
        call << m_cookie;
    } else {
        return;
    }
    m_holder = Holder::None;
    // Nothing to wait for: the answer would change nothing.
    m_bus.send(call);
}
