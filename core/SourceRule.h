#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QFileInfo;

// Which names the engine lets its player open, and why not, decided from the
// name and the file system alone. The player opens only local files and the
// network schemes of MediaSource::networkSchemes(); every other source it
// could read (lavfi://, edl://, fd:// ...) is refused, and so is a local name
// that is no medium file. Each check returns why a name is refused, or an
// empty string when it may open.
class SourceRule
{
    Q_DECLARE_TR_FUNCTIONS(SourceRule)
public:
    // What a name handed to the engine directly leads to.
    struct Decision
    {
        // The absolute local path or the network URL to open; empty when
        // refused.
        QString location;
        // Whether location is a local path.
        bool local = false;
        // Why nothing opens, naming the file or address; empty when
        // location is set.
        QString error;
    };

    // The decision for a name handed to the engine (setUrl): resolved as
    // MediaSource::classify() does against the current folder, and refused
    // when its scheme is not allowed, when its name holds bytes that are not
    // valid text (see lossyPart()), when it is missing or when it is no
    // medium file.
    static Decision forUrl(const QString &url);

    // Why the player must not open this name it is about to open, whoever
    // asked for it (play lists it reads itself included): a source that is
    // not allowed, or a local name that is no medium file.
    static QString refusedOnLoad(const QString &name);

    // Where an entry of a play list that mpv expanded came from.
    struct ListOrigin
    {
        // The play lists it sits in, outermost first, each as mpv opened it.
        QStringList lists;
        // Whether one of those lists came from the network.
        bool network = false;

        // The origin of the entries of this list, itself an entry from here.
        ListOrigin inside(const QString &list) const;
    };

    // How many play lists deep an entry may sit.
    static constexpr int maxListDepth = 8;

    // Why an entry of a play list the player has read must leave the list
    // before it is reached: a source that is not allowed. Never looks at the
    // file system, so long lists are cheap to check.
    static QString refusedInList(const QString &name);
    // The same for an entry from this origin, also refused when it is the
    // list itself or a list it sits in, when it sits more than maxListDepth
    // lists deep, when it is a Windows path that mpv has joined to the
    // list's folder, and, in a list from the network, when it is no network
    // source (a local path, a file:// address, a name relative to a local
    // folder).
    static QString refusedInList(const QString &name, const ListOrigin &origin);

    // Why an entry of a play list the engine reads itself (XML play lists)
    // is left out: an absolute path that is no medium file.
    static QString refusedInXmlList(const QString &entry);

    // Why a local path that exists is no medium file: a folder (the player
    // would play everything in it, and after such a list it may not open the
    // next medium at all), or a pipe or device (reading one may wait for
    // ever). Empty for a regular file and for a path that does not exist.
    static QString notAMediumFile(const QFileInfo &file);

    // The largest subtitle file the player loads. Real ones are far smaller,
    // and mpv reads one whole before the picture goes on.
    static constexpr qint64 maxSubtitleBytes = 10 * 1024 * 1024;
    // Why this subtitle file is not loaded: it is missing, no regular file
    // (a pipe would hold up whoever reads it) or larger than
    // maxSubtitleBytes. Empty when it may be loaded.
    static QString refusedSubtitle(const QString &path);

    // A name read from the disk as text has every byte that is not valid
    // UTF-8 replaced by U+FFFD, so such a path may lead to no file or to a
    // different one whose name really holds U+FFFD. Returns the first part
    // of the path that cannot be told apart from a differently spelt
    // neighbour in its folder, or an empty string.
    static QString lossyPart(const QString &path);
};
