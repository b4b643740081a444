#include "engine/mpv/MpvClient.h"

#include <QMetaObject>

namespace {

// The words of a command as mpv takes them, alive as long as this object.
class Words
{
public:
    explicit Words(const QStringList &words)
    {
        for (const QString &word : words)
            m_bytes << word.toUtf8();
        for (const QByteArray &word : m_bytes)
            m_argv.push_back(word.constData());
        m_argv.push_back(nullptr);
    }
    const char **argv() { return m_argv.data(); }

private:
    QList<QByteArray> m_bytes;
    std::vector<const char *> m_argv;
};

} // namespace

std::unique_ptr<MpvClient> MpvClient::create(const std::vector<Option> &options, QString *error)
{
    mpv_handle *mpv = mpv_create();
    if (!mpv) {
        *error = tr("The media engine (libmpv) could not be created.");
        return {};
    }
    std::unique_ptr<MpvClient> client(new MpvClient(mpv));
    for (const auto &[name, value] : options) {
        const int refused = mpv_set_option_string(mpv, name, value);
        if (refused < 0)
            qCWarning(corvelEngine, "mpv option %s=%s: %s", name, value, mpv_error_string(refused));
    }
    // mpv says nothing on a terminal here; what it warns of goes to our log.
    mpv_request_log_messages(mpv, "warn");
    const int failure = mpv_initialize(mpv);
    if (failure < 0) {
        *error = tr("The media engine (libmpv) could not start: %1")
                     .arg(QString::fromUtf8(mpv_error_string(failure)));
        return {};
    }
    mpv_set_wakeup_callback(mpv, wakeUp, client.get());
    return client;
}

MpvClient::MpvClient(mpv_handle *mpv) : m_mpv(mpv) {}

MpvClient::~MpvClient()
{
    mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
    mpv_terminate_destroy(m_mpv);
}

// Runs on mpv's threads (and sometimes inside an mpv call on ours): only
// queue, and only once until the queued drain has begun.
void MpvClient::wakeUp(void *client)
{
    auto *self = static_cast<MpvClient *>(client);
    if (!self->m_wakePosted.exchange(true))
        QMetaObject::invokeMethod(
            self, [self] { self->drainEvents(); }, Qt::QueuedConnection);
}

void MpvClient::drainEvents()
{
    m_wakePosted = false;
    while (true) {
        const mpv_event *event = mpv_wait_event(m_mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handle(*event);
    }
    emit drained();
}

void MpvClient::handle(const mpv_event &event)
{
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE:
        if (event.reply_userdata > 0 && event.reply_userdata <= m_properties.size())
            m_properties[event.reply_userdata - 1](
                *static_cast<const mpv_event_property *>(event.data));
        break;
    case MPV_EVENT_HOOK: {
        const quint64 id = static_cast<const mpv_event_hook *>(event.data)->id;
        HookDone done = [this, id] { whenIdle([this, id] { mpv_hook_continue(m_mpv, id); }); };
        if (event.reply_userdata > 0 && event.reply_userdata <= m_hooks.size())
            m_hooks[event.reply_userdata - 1](std::move(done));
        else
            done();
        break;
    }
    case MPV_EVENT_COMMAND_REPLY: {
        const auto *reply = static_cast<const mpv_event_command *>(event.data);
        finish(event.reply_userdata, event.error, event.error < 0 ? nullptr : &reply->result);
        break;
    }
    case MPV_EVENT_SET_PROPERTY_REPLY:
        finish(event.reply_userdata, event.error, nullptr);
        break;
    case MPV_EVENT_LOG_MESSAGE: {
        const auto *message = static_cast<const mpv_event_log_message *>(event.data);
        const QByteArray text = QByteArray(message->text).trimmed();
        if (message->log_level <= MPV_LOG_LEVEL_ERROR)
            qCCritical(corvelEngine, "mpv %s: %s", message->prefix, text.constData());
        else
            qCWarning(corvelEngine, "mpv %s: %s", message->prefix, text.constData());
        break;
    }
    default:
        if (m_eventHandler)
            m_eventHandler(event);
        break;
    }
}

void MpvClient::observe(const char *name, mpv_format format,
                        std::function<void(const mpv_event_property &)> handler)
{
    m_properties.push_back(std::move(handler));
    const int refused = mpv_observe_property(m_mpv, m_properties.size(), name, format);
    if (refused < 0)
        qCWarning(corvelEngine, "mpv cannot report %s: %s", name, mpv_error_string(refused));
}

void MpvClient::observeDouble(const char *name, std::function<void(std::optional<double>)> handler)
{
    observe(name, MPV_FORMAT_DOUBLE, [handler = std::move(handler)](const mpv_event_property &p) {
        handler(p.format == MPV_FORMAT_DOUBLE && p.data
                    ? std::optional(*static_cast<double *>(p.data))
                    : std::nullopt);
    });
}

void MpvClient::observeFlag(const char *name, std::function<void(bool)> handler)
{
    observe(name, MPV_FORMAT_FLAG, [handler = std::move(handler)](const mpv_event_property &p) {
        handler(p.format == MPV_FORMAT_FLAG && p.data && *static_cast<int *>(p.data));
    });
}

void MpvClient::observeInt(const char *name, std::function<void(std::optional<qint64>)> handler)
{
    observe(name, MPV_FORMAT_INT64, [handler = std::move(handler)](const mpv_event_property &p) {
        handler(p.format == MPV_FORMAT_INT64 && p.data
                    ? std::optional(qint64(*static_cast<int64_t *>(p.data)))
                    : std::nullopt);
    });
}

void MpvClient::observeNode(const char *name, std::function<void(const mpv_node *)> handler)
{
    observe(name, MPV_FORMAT_NODE, [handler = std::move(handler)](const mpv_event_property &p) {
        handler(p.format == MPV_FORMAT_NODE && p.data ? static_cast<const mpv_node *>(p.data)
                                                      : nullptr);
    });
}

void MpvClient::addHook(const char *name, std::function<void(HookDone)> handler)
{
    m_hooks.push_back(std::move(handler));
    const int refused = mpv_hook_add(m_mpv, m_hooks.size(), name, 0);
    if (refused < 0)
        qCWarning(corvelEngine, "mpv cannot stop at %s: %s", name, mpv_error_string(refused));
}

void MpvClient::setEventHandler(std::function<void(const mpv_event &)> handler)
{
    m_eventHandler = std::move(handler);
}

void MpvClient::send(const QStringList &command, Reply reply)
{
    enqueue({[this, command](uint64_t id) {
                 Words words(command);
                 return mpv_command_async(m_mpv, id, words.argv());
             },
             command.join(u' '), std::move(reply)});
}

void MpvClient::sendFlag(const char *name, bool value)
{
    enqueue({[this, name, value](uint64_t id) {
                 int flag = value ? 1 : 0;
                 return mpv_set_property_async(m_mpv, id, name, MPV_FORMAT_FLAG, &flag);
             },
             QStringLiteral("%1=%2").arg(QLatin1String(name)).arg(value),
             {}});
}

void MpvClient::sendDouble(const char *name, double value)
{
    enqueue({[this, name, value](uint64_t id) {
                 double number = value;
                 return mpv_set_property_async(m_mpv, id, name, MPV_FORMAT_DOUBLE, &number);
             },
             QStringLiteral("%1=%2").arg(QLatin1String(name)).arg(value),
             {}});
}

void MpvClient::whenIdle(std::function<void()> then)
{
    if (isIdle())
        then();
    else
        m_idleWaiters.push_back(std::move(then));
}

void MpvClient::enqueue(Request request)
{
    m_queue.push_back(std::move(request));
    if (m_inFlight == 0)
        sendNext();
}

void MpvClient::sendNext()
{
    if (m_queue.empty())
        return;
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    const uint64_t id = m_nextId++;
    m_inFlight = id;
    const int refused = m_current.start(id);
    if (refused < 0) {
        // Answered from the event loop like any other reply, so whoever
        // made the request never sees its answer inside the call.
        QMetaObject::invokeMethod(
            this, [this, id, refused] { finish(id, refused, nullptr); }, Qt::QueuedConnection);
    }
}

void MpvClient::finish(uint64_t id, int error, const mpv_node *result)
{
    if (id == 0 || id != m_inFlight)
        return;
    const Request done = std::move(m_current);
    m_current = {};
    m_inFlight = 0;
    if (error < 0)
        qCWarning(corvelEngine, "mpv refused %s: %s", qPrintable(done.what),
                  mpv_error_string(error));
    if (done.reply)
        done.reply(error, result);
    if (m_inFlight == 0)
        sendNext();
    while (isIdle() && !m_idleWaiters.empty()) {
        const std::function<void()> then = std::move(m_idleWaiters.front());
        m_idleWaiters.pop_front();
        then();
    }
}

int MpvClient::command(const QStringList &command,
                       const std::function<void(const mpv_node &)> &result)
{
    Words words(command);
    mpv_node node{};
    const int error = mpv_command_ret(m_mpv, words.argv(), &node);
    if (error < 0) {
        qCWarning(corvelEngine, "mpv refused %s: %s", qPrintable(command.join(u' ')),
                  mpv_error_string(error));
        return error;
    }
    if (result)
        result(node);
    mpv_free_node_contents(&node);
    return error;
}

int MpvClient::setString(const char *name, const char *value, const QLoggingCategory &log)
{
    const int error = mpv_set_property_string(m_mpv, name, value);
    if (error < 0)
        qCWarning(log, "mpv could not set %s to \"%s\": %s", name, value, mpv_error_string(error));
    return error;
}

QString MpvClient::getString(const char *name)
{
    char *raw = mpv_get_property_string(m_mpv, name);
    const QString value = raw ? QString::fromUtf8(raw) : QString();
    mpv_free(raw);
    return value;
}

bool MpvClient::readNode(const char *name, const std::function<void(const mpv_node &)> &read)
{
    mpv_node node{};
    if (mpv_get_property(m_mpv, name, MPV_FORMAT_NODE, &node) < 0)
        return false;
    read(node);
    mpv_free_node_contents(&node);
    return true;
}

const mpv_node *MpvClient::mapValue(const mpv_node &map, const char *key)
{
    if (map.format != MPV_FORMAT_NODE_MAP || !map.u.list)
        return nullptr;
    for (int i = 0; i < map.u.list->num; ++i) {
        if (qstrcmp(map.u.list->keys[i], key) == 0)
            return &map.u.list->values[i];
    }
    return nullptr;
}
