#pragma once

#include <QDBusConnection>
#include <QObject>

class Form1;
class MprisPlayer;

// Puts the player on a D-Bus bus as an MPRIS media player, so the keyboard's
// media keys and the desktop's media controls reach it. Without a bus the
// player works as before and says so once in its log.
class MprisService : public QObject
{
    Q_OBJECT
public:
    // The bus name asked for first.
    static const QString baseName;

    explicit MprisService(Form1 &window, QObject *parent = nullptr);
    ~MprisService() override;

    // Registers the MPRIS objects on this bus under baseName, or under
    // baseName plus ".instance<pid>" when another player holds it. Returns
    // false, with one line in the log, when the bus is not there.
    bool registerOn(const QDBusConnection &bus);
    // The name taken on the bus; "" when not registered.
    QString serviceName() const { return m_serviceName; }

private:
    Form1 &m_window;
    QDBusConnection m_bus;
    QString m_serviceName;
};
