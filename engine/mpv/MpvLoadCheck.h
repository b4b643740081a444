#pragma once

#include "core/HostFileEntries.h"
#include "engine/midi/MpvMidiProtocol.h"
#include "engine/mpv/MpvSubtitleFile.h"
#include "engine/mpv/OffThread.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// What the engine must know of a name mpv is about to open that only the
// file system can tell: whether it is a medium file at all, whether it holds
// MIDI music, whether mpv may load the files beside it by itself, and
// whether it is an edit list or a cue sheet naming what must not open. Any
// look at a file may wait as long as the file system makes it (a stalled
// network mount, a file held up by its owner), so the check runs on a thread
// of its own and reports back on the GUI thread.
class MpvLoadCheck
{
    Q_DECLARE_TR_FUNCTIONS(MpvLoadCheck)
public:
    // How many entries of a medium's folder are looked at; beyond them mpv
    // loads nothing beside the medium by itself.
    static constexpr int maxFolderEntries = 20000;

    struct Result
    {
        // Why the name must not open; empty when it may.
        QString refused;
        // The MIDI music found in it, if any.
        MpvMidiProtocol::Inspection midi;
        // Whether mpv may load subtitles, cover art and other media beside
        // it by itself: not when its folder holds a pipe, a device or a
        // socket, which would hold mpv up, or more entries than are looked at.
        bool sideFilesSafe = true;
        // Subtitle files named after it that mpv would load by itself but
        // must not (SourceRule::refusedSubtitle), each with why; while there
        // are any, mpv loads no subtitles beside it.
        QStringList refusedSubtitles;
        // The fit subtitle files named after it, in order, when one of them
        // had to be lightened: mpv gets these from the engine instead of
        // loading them itself. Empty when none had to be.
        std::vector<MpvSubtitleFile> lightenedSubtitles;
        // When it is a text play list, its entries that are file addresses
        // with a host, which mpv would open as names in the list's folder.
        std::vector<HostFileEntries::Entry> hostFiles;
    };

    // The largest text play list looked through for such entries.
    static constexpr qint64 maxTextListBytes = 64 * 1024 * 1024;

    // Does the check where it is called, for subtitles drawn on a picture at
    // most pictureHeight pixels high; may wait on the file system.
    static Result run(const QString &name, const QStringList &soundFonts, int pictureHeight);

    // A check under way; its result is dropped once the ticket is.
    using Ticket = OffThread<Result>::Ticket;
    // Runs run() on a thread of its own (OffThread) and hands the result to
    // then on the GUI thread.
    static Ticket start(const QString &name, const QStringList &soundFonts, int pictureHeight,
                        std::function<void(const Result &)> then);

private:
    static QString refusedContent(const QString &path);
    // Looks through the medium's folder for sideFilesSafe and
    // refusedSubtitles.
    static void lookBeside(const QFileInfo &medium, int pictureHeight, Result &result);
    // Finds the host file entries of a text play list, or refuses one too
    // large to look through.
    static void lookThroughTextList(const QString &path, Result &result);
};
