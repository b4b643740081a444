#pragma once

#include "engine/mpv/MpvEntryFilter.h"
#include "engine/mpv/MpvOpenWatch.h"

#include <QCoreApplication>
#include <QStringList>
#include <functional>
#include <optional>

class MpvClient;
class MpvMidiProtocol;
struct mpv_event;
struct mpv_node;

// The medium mpv has open, as far as mpv has told: whether there is one,
// whether it is still opening, its length and position, and why it failed.
// It sends the requests that open, close, seek, pause and play it, and
// keeps out what mpv still reports of media it replaced (MpvEntryFilter).
// An entry whose file becomes a pipe or a device while it opens fails
// (MpvOpenWatch). It knows nothing of what the user wants; it tells its listener what
// happened.
class MpvMedium
{
    Q_DECLARE_TR_FUNCTIONS(MpvMedium)
public:
    // Who hears what happened; each one is called on the GUI thread, from
    // inside the medium's own work.
    struct Listener
    {
        // mpv has run out of data and paused itself: the medium's true end,
        // unless it was reached on purpose.
        std::function<void()> atEnd;
        // The medium failed for this reason (failure() says the same).
        std::function<void(const QString &reason)> failed;
        // A seek has landed, or failed.
        std::function<void()> seekDone;
        // Something changed outside a run of events (an answer to a request).
        std::function<void()> changed;
    };

    // Observes the medium through this client, taking MIDI errors from this
    // protocol; both must outlive this object.
    MpvMedium(MpvClient &client, MpvMidiProtocol &midi, Listener listener);

    // Opens these entries as one medium, the first in place of whatever mpv
    // had, and plays it; request numbers the call, so an answer that comes
    // after a later open() or close() is ignored.
    void open(const QStringList &entries, quint64 request);
    // Leaves mpv with no medium; whatever it still reports of earlier ones
    // is ignored.
    void close();
    // Leaves mpv with no medium, failing for this reason.
    void fail(const QString &reason);
    // Forgets the length, the position and any failure, for a new medium.
    void forget();

    // Seeks exactly to this position; position() follows once mpv reports.
    void seekTo(double seconds);
    // The same, with position() showing the new place at once.
    void jumpTo(double seconds);
    // Goes back to the start of the whole list, or of the entry alone.
    void restart(bool wholeList);
    // Asks mpv to pause or to play; until it answers, it counts as done.
    void setPaused(bool paused);
    // The medium ended: its position is its length.
    void moveToEnd();
    // Handles one event the client passes on.
    void onEvent(const mpv_event &event);

    // Whether there is a medium (opening, playing, paused or at its end).
    bool present() const { return m_present; }
    // Whether the current entry is still being opened.
    bool opening() const { return m_opening; }
    // Why the medium failed; empty when it did not.
    QString failure() const { return m_failure; }
    // The length in seconds; empty without a medium or while not known.
    std::optional<double> duration() const { return m_present ? m_duration : std::nullopt; }
    // The position in seconds; empty without a medium.
    std::optional<double> position() const { return m_present ? m_position : std::nullopt; }

private:
    void observe();
    void onOpened(quint64 request, int error, const mpv_node *result);
    void onEntry(const MpvEntryFilter::Event &event);
    void setFailure(const QString &reason);
    void checkEnd();

    MpvClient &m_client;
    MpvMidiProtocol &m_midi;
    Listener m_listener;
    MpvEntryFilter m_entries;
    MpvOpenWatch m_watch;
    bool m_present = false;
    bool m_opening = false;
    QString m_failure;
    std::optional<double> m_duration;
    std::optional<double> m_position;
    bool m_eofReached = false;
    bool m_paused = false;
};
