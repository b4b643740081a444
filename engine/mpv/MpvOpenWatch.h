#pragma once

#include "engine/mpv/OffThread.h"

#include <QCoreApplication>
#include <QTimer>
#include <functional>

class MpvClient;

// Looks again, every so often, at the local file mpv is opening. The engine
// looks at a name before mpv opens it, but the name may become a pipe or a
// device in between, and mpv's open of a pipe waits until something writes
// to it, perhaps for ever. The look runs off the GUI thread, as it may wait
// on a stalled mount; the next one starts only once it has answered.
class MpvOpenWatch
{
    Q_DECLARE_TR_FUNCTIONS(MpvOpenWatch)
public:
    // Asks client which name mpv opens; tells refuse why it must not open.
    MpvOpenWatch(MpvClient &client, std::function<void(const QString &why)> refuse);

    // Starts looking, for the entry that has started opening.
    void start();
    // Stops looking: the entry has opened, failed or given way.
    void stop();

private:
    void look();

    MpvClient &m_client;
    std::function<void(const QString &)> m_refuse;
    QTimer m_timer;
    OffThread<bool>::Ticket m_looking;
};
