#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

class ApplicationService;
class CommandLine;

// One running player per session: the first start owns the player's name on
// the session bus and serves org.freedesktop.Application there; a later start
// hands its command line to that player and ends. A player that does not
// answer within answerTimeoutMs, or whose name has no owner any more, never
// keeps a new start from running as a player of its own.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // The well-known name, the same as the desktop entry's.
    static const QString busName;
    // How long a running player has to take a hand-over.
    static constexpr int answerTimeoutMs = 2000;

    // Works on this bus; an unconnected one makes every start its own
    // player (MPRIS already says once that there is no bus).
    explicit SingleInstance(const QDBusConnection &bus, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when the running player took these files (or, without files, was
    // asked to come to the front): this start is done. Otherwise this player
    // takes the name when it is free, so that later starts come here, and
    // false is returned. With --new-window nothing is handed over.
    bool handOver(const CommandLine &line, const QString &workingFolder);

    // Gives the name up: a player on its way out may still be finishing a
    // frame, and a new start must become the player at once, not wait for
    // this one's answer.
    void release();

    // The object answering for the name; nullptr when this player does not
    // own it.
    ApplicationService *service() const { return m_service; }

private:
    enum class Answer
    {
        Taken,
        Gone,
        Refused
    };
    bool claimName();
    Answer send(const CommandLine &line, const QString &workingFolder);

    QDBusConnection m_bus;
    ApplicationService *m_service = nullptr;
};
