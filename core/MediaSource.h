#pragma once

#include <QString>
#include <QStringList>

// What one entry of a play-list file may name, and where it leads. A play
// list comes from anywhere, so only local files and a few network stream
// schemes are let through; every other source the engine could open
// (lavfi://, edl://, fd://, dvd:// ...) is refused with a reason.
struct MediaSource
{
    enum class Kind
    {
        Local,
        Network,
        Refused
    };

    Kind kind = Kind::Refused;
    // An absolute local path, or the network URL as written; empty when
    // refused.
    QString location;
    // Why the entry was refused; empty otherwise.
    QString reason;

    // Classifies an entry and resolves it:
    // - an absolute path is kept as it is;
    // - a file:// URL (no host, or "localhost") becomes its local path;
    // - a relative path is resolved against baseFolder (the current folder
    //   when empty); one holding "\" is taken literally when such a file
    //   exists and otherwise with every "\" read as "/", the way a list
    //   copied from Windows means it;
    // - a URL with one of networkSchemes() and a host is kept as written;
    // - anything else with "scheme://", a Windows drive or network path, an
    //   entry holding a NUL character and one longer than any path are
    //   refused.
    // A word before a colon without "//" ("Live: intro.mp3") is part of a
    // relative file name, as it is for the engine.
    static MediaSource classify(const QString &entry, const QString &baseFolder);

    // Why this entry is a Windows drive path ("C:...") or a Windows network
    // or drive path ("\\host\share", "\x"); empty when it is neither.
    static QString windowsPathReason(const QString &entry);
    // Whether this entry is a URL of one of networkSchemes() with a host.
    static bool isNetworkAddress(const QString &entry);

    // The most bytes a path can have, its closing NUL included (PATH_MAX).
    static constexpr qsizetype longestPathBytes = 4096;
    // Whether this entry, a path or an address holding one, is longer than
    // any path can be; classify() refuses it before it looks any further.
    static bool longerThanAnyPath(const QString &entry);

    // The network schemes a play list may use, lower case.
    static const QStringList &networkSchemes();
};
