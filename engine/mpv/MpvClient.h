#pragma once

#include "engine/EngineLog.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mpv/client.h>
#include <optional>
#include <utility>
#include <vector>

// One mpv instance as the engine talks to it, on the GUI thread. It owns the
// handle (terminated with this object), drains mpv's events on the GUI
// thread whenever mpv wakes it, and hands each one to the one place meant
// for it: an observed property to its handler, a hook to its handler, a
// reply to the request it answers, a log message to the corvel.engine log
// (mpv's warnings and errors), and everything else to the event handler.
//
// Requests (send...) never wait: each one goes to mpv once the one before
// has been answered, so they take effect in the order they were made, which
// mpv promises only that way. Synchronous calls wait for mpv and overtake
// requests not yet answered; they are for reads and for changes that must
// be in place before the call returns. Every refusal is logged.
class MpvClient : public QObject
{
    Q_OBJECT
public:
    // An option set before mpv starts: name and value.
    using Option = std::pair<const char *, const char *>;
    // What a request's answer carries: mpv's error code (negative on
    // failure) and the command's result, null for a property or a failure.
    using Reply = std::function<void(int error, const mpv_node *result)>;

    // Creates and starts mpv with these options; null with the reason in
    // *error when it cannot.
    static std::unique_ptr<MpvClient> create(const std::vector<Option> &options, QString *error);
    // Stops taking events and terminates mpv.
    ~MpvClient() override;

    // The handle, for mpv's render and stream APIs.
    mpv_handle *handle() const { return m_mpv; }

    // Calls handler with each new value of this property (empty when mpv
    // has none), the first time with its value now.
    void observeDouble(const char *name, std::function<void(std::optional<double>)> handler);
    // The same for a flag, false when mpv has no value.
    void observeFlag(const char *name, std::function<void(bool)> handler);
    // The same for an integer.
    void observeInt(const char *name, std::function<void(std::optional<qint64>)> handler);
    // The same for a structured value (a list or a map), null when mpv has
    // none; the node lives only for the call.
    void observeNode(const char *name, std::function<void(const mpv_node *)> handler);
    // Lets mpv go on past the hook it was handed with; called once, on the
    // GUI thread, at any time while this client lives.
    using HookDone = std::function<void()>;
    // Calls handler each time mpv reaches this hook; mpv goes on past it
    // once the handler has called its HookDone, then or later, and every
    // request made before that call has been answered, so whatever mpv does
    // next sees them. mpv still takes commands while it waits.
    void addHook(const char *name, std::function<void(HookDone)> handler);
    // Receives every event not handled here (files starting, loading and
    // ending, seeks done, shutdown).
    void setEventHandler(std::function<void(const mpv_event &)> handler);

    // Requests this command; reply, when given, gets the answer.
    void send(const QStringList &command, Reply reply = {});
    // Requests this flag property to be set.
    void sendFlag(const char *name, bool value);
    // Requests this number property to be set.
    void sendDouble(const char *name, double value);
    // Runs then once every request made so far has been answered; at once
    // when none is waiting.
    void whenIdle(std::function<void()> then);

    // Runs this command and waits for it; mpv's error code. result, when
    // given, reads what the command gave back, which lives only for the call.
    int command(const QStringList &command,
                const std::function<void(const mpv_node &)> &result = {});
    // Sets this property to this text and waits for it; mpv's error code,
    // a failure logged to log.
    int setString(const char *name, const char *value,
                  const QLoggingCategory &log = corvelEngine());
    // The property's value as text; empty when mpv has none.
    QString getString(const char *name);
    // Calls read with the property's value, which lives only for the call;
    // false when mpv has no value.
    bool readNode(const char *name, const std::function<void(const mpv_node &)> &read);
    // The value stored under this key of a map node, or null.
    static const mpv_node *mapValue(const mpv_node &map, const char *key);

signals:
    // A run of events has been handled.
    void drained();

private:
    struct Request
    {
        // Hands the request to mpv under this reply id; mpv's error code.
        std::function<int(uint64_t id)> start;
        // What it was, for the log.
        QString what;
        Reply reply;
    };

    explicit MpvClient(mpv_handle *mpv);
    static void wakeUp(void *client);
    void drainEvents();
    void handle(const mpv_event &event);
    void observe(const char *name, mpv_format format,
                 std::function<void(const mpv_event_property &)> handler);
    void enqueue(Request request);
    void sendNext();
    void finish(uint64_t id, int error, const mpv_node *result);
    bool isIdle() const { return m_inFlight == 0 && m_queue.empty(); }

    mpv_handle *m_mpv;
    std::atomic<bool> m_wakePosted{false};
    std::vector<std::function<void(const mpv_event_property &)>> m_properties;
    std::vector<std::function<void(HookDone)>> m_hooks;
    std::function<void(const mpv_event &)> m_eventHandler;

    std::deque<Request> m_queue;
    // The request mpv has and has not answered yet; its id is 0 when none.
    Request m_current;
    uint64_t m_inFlight = 0;
    uint64_t m_nextId = 1;
    std::deque<std::function<void()>> m_idleWaiters;
};
