#include "engine/mpv/MpvEntryFilter.h"

#include <limits>
#include <utility>

namespace {

// Before any medium, and without one, no entry belongs to the current medium.
constexpr qint64 noEntry = std::numeric_limits<qint64>::max();

} // namespace

MpvEntryFilter::MpvEntryFilter(std::function<void(const Event &)> deliver)
    : m_deliver(std::move(deliver)), m_firstEntryId(noEntry)
{
}

void MpvEntryFilter::opening(quint64 request)
{
    m_opening = request;
    m_kept.clear();
    m_firstEntryId = noEntry;
    m_currentEntryId = -1;
}

void MpvEntryFilter::opened(qint64 firstEntryId)
{
    m_opening = 0;
    m_firstEntryId = firstEntryId;
    const std::vector<Event> kept = std::move(m_kept);
    m_kept.clear();
    for (const Event &event : kept)
        filter(event);
}

void MpvEntryFilter::clear()
{
    m_opening = 0;
    m_kept.clear();
    m_firstEntryId = noEntry;
}

void MpvEntryFilter::report(const Event &event)
{
    if (m_opening)
        m_kept.push_back(event);
    else
        filter(event);
}

void MpvEntryFilter::filter(const Event &event)
{
    switch (event.kind) {
    case Event::Kind::Started:
        if (event.entryId < m_firstEntryId)
            return;
        m_currentEntryId = event.entryId;
        break;
    case Event::Kind::Loaded:
        // A file that was replaced may still report its loading.
        if (m_currentEntryId < m_firstEntryId)
            return;
        break;
    case Event::Kind::Failed:
        if (event.entryId < m_firstEntryId)
            return;
        break;
    }
    m_deliver(event);
}
