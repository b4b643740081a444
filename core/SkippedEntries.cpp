#include "core/SkippedEntries.h"

#include "core/ShortText.h"

void SkippedEntries::add(const QString &entry, const QString &reason)
{
    // One note an entry: the first reason found is the one shown.
    if (m_seen.contains(entry))
        return;
    m_seen.insert(entry);
    if (m_first.size() < named)
        m_first << ShortText::lines(QStringLiteral("%1: %2").arg(entry, reason));
}

void SkippedEntries::add(const QString &note)
{
    if (m_seen.contains(note))
        return;
    m_seen.insert(note);
    if (m_first.size() < named)
        m_first << ShortText::lines(note);
}

void SkippedEntries::clear()
{
    m_seen.clear();
    m_first.clear();
}

QString SkippedEntries::text() const
{
    if (m_seen.isEmpty())
        return {};
    if (m_seen.size() == 1)
        return tr("Skipped 1 entry: %1").arg(m_first.first());
    QString names = m_first.join(QLatin1String("; "));
    if (count() > m_first.size())
        names += tr("; and %1 more").arg(count() - m_first.size());
    return tr("Skipped %1 entries: %2").arg(count()).arg(names);
}
