#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <vector>

// The entries of a text play list (.m3u, .pls) written as file addresses
// with a host ("file://server/music/a.mp3"). The engine drops "file://" from
// such an entry and opens the rest as a name inside the list's folder
// ("<folder>/server/music/a.mp3"), where nothing tells it from an ordinary
// relative name any more, so they are found in the list's text before the
// engine reads it.
class HostFileEntries
{
    Q_DECLARE_TR_FUNCTIONS(HostFileEntries)
public:
    struct Entry
    {
        // The cleaned absolute path the engine would open for it.
        QString opened;
        // The entry as the list writes it, for the status.
        QString written;
        // Why it is not opened.
        QString reason;
    };

    // Whether a file of this name starting with these bytes is read by the
    // engine as a text play list.
    static bool isTextList(const QString &path, const QByteArray &head);

    // Every entry of the list text read from listPath (absolute) that is a
    // file address with a host.
    static std::vector<Entry> find(const QByteArray &text, const QString &listPath);
};
