#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

// Where the user left media, kept in one small file of its own: each medium
// stands there only as a hash of its canonical path and size, so the file
// names no file and no folder. Written whole and renamed into place (mode
// 0600), so a crash leaves the old or the new content. A file that is
// damaged, cut short, someone else's or too large counts as empty and is
// replaced at the next write. Every call reads the file afresh, so two
// players running at once do not undo each other's changes.
class PositionStore
{
public:
    // Entries kept at most; the ones written longest ago go first.
    static constexpr int maxEntries = 500;
    // A larger file is not ours, whatever it holds.
    static constexpr qint64 maxBytes = 256 * 1024;

    // The store's usual place: $XDG_STATE_HOME/corvel-media-player/positions,
    // with ~/.local/state when the variable is unset or not absolute.
    static QString defaultPath();
    // The key of the local file at this path: a hex SHA-256 of its canonical
    // path and its size; empty when the path names no readable regular file.
    static QByteArray keyOf(const QString &path);

    // A store kept in the file at this path (its folder is made on writing).
    explicit PositionStore(const QString &path);

    // The file's path.
    QString path() const { return m_path; }
    // The position remembered under this key, in seconds, if any.
    std::optional<double> position(const QByteArray &key) const;
    // Remembers this position under the key, as the newest entry; the
    // oldest go beyond maxEntries. False when the file could not be written.
    bool remember(const QByteArray &key, double seconds);
    // Drops the entry of this key; false when the file could not be written.
    bool forget(const QByteArray &key);
    // Drops every entry by removing the file; false (with why) when it
    // stays.
    bool clear(QString *why = nullptr);

private:
    using Entries = QList<QPair<QByteArray, double>>;

    Entries load() const;
    bool save(const Entries &entries);

    QString m_path;
    // A folder that cannot be written is told once, not at every stop.
    bool m_toldUnwritable = false;
};
