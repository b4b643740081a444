#pragma once

#include <QString>
#include <functional>
#include <vector>

// Tells apart what mpv reports about the entries of its list: events of the
// current medium go on, those of media it replaced are dropped. Entry ids
// only grow, so the current medium's entries are those from its first one
// on; mpv names that first entry when it takes the request to open the
// medium, and may report the entry before that answer arrives, so events
// are kept until then.
class MpvEntryFilter
{
public:
    // What happened to an entry.
    struct Event
    {
        enum class Kind
        {
            // The entry started opening.
            Started,
            // The entry that started last has been opened.
            Loaded,
            // The entry could not be opened or played, for reason.
            Failed
        };
        Kind kind;
        qint64 entryId;
        QString reason;
    };

    // Hands the events that belong to the current medium to deliver.
    explicit MpvEntryFilter(std::function<void(const Event &)> deliver);

    // A medium is being opened by this request (any number that differs
    // from the one before); its events are kept until opened().
    void opening(quint64 request);
    // Whether this request is the one still waiting for its first entry.
    bool isOpening(quint64 request) const { return m_opening != 0 && m_opening == request; }
    // The medium being opened begins at this entry: kept events are handed
    // on or dropped, later ones are filtered as they come.
    void opened(qint64 firstEntryId);
    // No medium: everything mpv reports until the next opening() is dropped.
    void clear();

    // One event as mpv reported it.
    void report(const Event &event);

private:
    void filter(const Event &event);

    std::function<void(const Event &)> m_deliver;
    quint64 m_opening = 0;
    std::vector<Event> m_kept;
    qint64 m_firstEntryId;
    qint64 m_currentEntryId = -1;
};
