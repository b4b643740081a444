#pragma once

#include <QDBusConnection>
#include <QObject>

class MediaEngine;
class MprisPlayer;
class MprisRoot;
class PlayListBox;

// Puts the player on a D-Bus bus as an MPRIS media player, so the keyboard's
// media keys and the desktop's media controls reach it. Its two objects show
// the engine and the play list and pass on what the desktop asks for as
// their signals. Without a bus the player works as before and says so once
// in its log.
class MprisService : public QObject
{
    Q_OBJECT
public:
    // The bus name asked for first.
    static const QString baseName;

    MprisService(const MediaEngine &engine, const PlayListBox &playList, QObject *parent = nullptr);
    ~MprisService() override;

    // Registers the MPRIS objects on this bus under baseName, or under
    // baseName plus ".instance<pid>" when another player holds it. Returns
    // false, with one line in the log, when the bus is not there.
    bool registerOn(const QDBusConnection &bus);
    // The name taken on the bus; "" when not registered.
    QString serviceName() const { return m_serviceName; }

    // The root and player objects, made by registerOn(); nullptr before.
    MprisRoot *root() const { return m_root; }
    MprisPlayer *player() const { return m_player; }

private:
    const MediaEngine &m_engine;
    const PlayListBox &m_playList;
    QDBusConnection m_bus;
    QString m_serviceName;
    MprisRoot *m_root = nullptr;
    MprisPlayer *m_player = nullptr;
};
