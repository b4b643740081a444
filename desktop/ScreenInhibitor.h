#pragma once

#include "engine/MediaEngine.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

class QDBusPendingCallWatcher;

// Keeps the screen from blanking or locking while a medium with a video track
// plays, and lets go when it pauses, stops, ends, turns out to be audio only,
// and when the player quits. It asks the desktop portal first, then the
// freedesktop screen saver at either of its paths; when none answers it says
// so once in the log and carries on. Every call is asynchronous, so a session
// bus that never answers never holds the window.
class ScreenInhibitor : public QObject
{
    Q_OBJECT
public:
    // How long one service has to answer before the next one is asked.
    static constexpr int defaultAnswerTimeoutMs = 5000;

    // Follows this engine's playback on this bus.
    ScreenInhibitor(MediaEngine &engine, const QDBusConnection &bus,
                    int answerTimeoutMs = defaultAnswerTimeoutMs, QObject *parent = nullptr);
    // Lets go of the screen, without waiting for an answer.
    ~ScreenInhibitor() override;

private:
    // Who holds the screen for us, once one has said yes.
    enum class Holder
    {
        None,
        Portal,
        ScreenSaver
    };

    // Whether a medium with video plays now.
    bool wanted() const;
    void follow();
    void ask(int service);
    void onAnswer(QDBusPendingCallWatcher *watcher, int service);
    void release();

    MediaEngine &m_engine;
    QDBusConnection m_bus;
    int m_answerTimeoutMs;
    bool m_asking = false;
    Holder m_holder = Holder::None;
    // The portal's request to close, or the screen saver's path and cookie.
    QString m_heldPath;
    uint m_cookie = 0;
    bool m_saidNone = false;
};
