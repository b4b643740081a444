#pragma once

#include <QCoreApplication>
#include <QSet>
#include <QStringList>

// The entries of a medium that were skipped, as its status names them: every
// distinct one is counted, and only the first few are kept for the text, so
// a list of a hundred thousand refused entries costs no more to show than a
// list of ten.
class SkippedEntries
{
    Q_DECLARE_TR_FUNCTIONS(SkippedEntries)
public:
    // How many entries the text names before it gives the rest as a count.
    static constexpr int named = 10;

    // Notes this entry as skipped for this reason; an entry already noted,
    // for any reason, is not noted again.
    void add(const QString &entry, const QString &reason);
    // The same for a note already made ("<entry>: <reason>").
    void add(const QString &note);
    // Forgets every note, for a new medium.
    void clear();
    // How many distinct entries were skipped.
    int count() const { return int(m_seen.size()); }
    // "Skipped 1 entry: a: why", "Skipped 3 entries: a: why; b: why; c: why",
    // with "and N more" after the first few; empty when nothing was skipped.
    QString text() const;

private:
    QSet<QString> m_seen;
    QStringList m_first;
};
