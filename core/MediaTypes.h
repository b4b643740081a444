#pragma once

#include <QString>
#include <QStringList>

// The one table of the file types the player knows: each suffix with what
// it holds, its names in the shared MIME database, whether the file browser
// lists it and whether it is a play list. Everything that asks what a file
// name means derives the answer from here. The window's own texts (the file
// list's pattern, the combo box, the dialogs' filter texts) are written out
// where they are shown; tests check that they agree with this table.
namespace MediaTypes {

// What a file of a type holds.
enum class Kind
{
    Audio,
    Video,
    Picture,
    PlayList
};

// How a play-list type is read: Windows Media and ASX files by the player
// itself, M3U by the engine.
enum class PlayListFormat
{
    None,
    Xml,
    Text
};

// One row of the table.
struct Type
{
    // Lower case, without the dot ("mp3", "drv-ms").
    const char *suffix;
    Kind kind;
    // The shared MIME database's names for it, blank-separated; empty
    // where the database has none.
    const char *mimeTypes;
    // Whether the file browser (and a folder given to the player) lists it.
    bool listed;
    PlayListFormat playList;
};

// Every row, in the order of the Open dialog's catalogue.
const QList<Type> &all();
// The row for a file name's suffix (any letter case), or nullptr.
const Type *forFileName(const QString &fileName);

// The suffixes that the file browser lists.
QStringList listedSuffixes();
// Whether a path or a URL names a play-list file that the engine plays whole
// (.wpl, .asx, .wvx, .wmx, .m3u), going by its suffix; a URL's query is not
// part of the name.
bool isPlayListFile(const QString &entry);
// Whether a path names a Windows Media or ASX play list, which the player
// reads itself.
bool isXmlPlayList(const QString &path);
// Every MIME type of the table, sorted, each once: what the desktop entry
// and MPRIS say the player opens.
QStringList mimeTypes();

// The suffixes of subtitle files (.srt, .ass, .ssa, .vtt, .sub). They are no
// media of their own: they go to the video playing, never to the play list,
// the file browser or the dialogs' catalogue.
QStringList subtitleSuffixes();
// Whether a path names a subtitle file, going by its suffix.
bool isSubtitleFile(const QString &path);

} // namespace MediaTypes
