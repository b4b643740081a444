#include "core/MediaTypes.h"

#include "core/MediaSource.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

namespace MediaTypes {

namespace {

using F = PlayListFormat;
using K = Kind;

// The browser leaves out .drv-ms, .wm, the pictures and .avi, which the
// dialogs offer all the same.
const QList<Type> table = {
    {"asx", K::PlayList, "audio/x-ms-asx", true, F::Xml},
    {"m3u", K::PlayList, "audio/x-mpegurl application/vnd.apple.mpegurl", true, F::Text},
    {"wpl", K::PlayList, "application/vnd.ms-wpl", true, F::Xml},
    {"wvx", K::PlayList, "audio/x-ms-asx", true, F::Xml},
    {"wmx", K::PlayList, "audio/x-ms-asx", true, F::Xml},
    {"drv-ms", K::Video, "", false, F::None},
    {"wtv", K::Video, "", true, F::None},
    {"mid", K::Audio, "audio/midi", true, F::None},
    {"rmi", K::Audio, "", true, F::None},
    {"midi", K::Audio, "audio/midi", true, F::None},
    {"mpeg", K::Video, "video/mpeg", true, F::None},
    {"mpg", K::Video, "video/mpeg", true, F::None},
    // Tracker music to the MIME database; the dialogs file it with films.
    {"mod", K::Audio, "audio/x-mod", true, F::None},
    {"m2v", K::Video, "", true, F::None},
    {"m1v", K::Video, "", true, F::None},
    {"mpa", K::Audio, "", true, F::None},
    {"mpe", K::Video, "video/mpeg", true, F::None},
    {"ifo", K::Video, "", true, F::None},
    {"vob", K::Video, "video/mpeg", true, F::None},
    {"m4a", K::Audio, "audio/mp4", true, F::None},
    {"mp4", K::Video, "video/mp4", true, F::None},
    {"m4v", K::Video, "video/mp4", true, F::None},
    {"3gp", K::Video, "video/3gpp", true, F::None},
    {"3gpp", K::Video, "video/3gpp", true, F::None},
    {"3g2", K::Video, "video/3gpp2", true, F::None},
    {"3gp2", K::Video, "video/3gpp2", true, F::None},
    {"m2ts", K::Video, "video/mp2t", true, F::None},
    {"m2t", K::Video, "video/mp2t", true, F::None},
    {"mts", K::Video, "video/mp2t", true, F::None},
    // The database also knows .ts as translations, which the player is not for.
    {"ts", K::Video, "video/mp2t", true, F::None},
    {"tts", K::Video, "", true, F::None},
    {"mov", K::Video, "video/quicktime", true, F::None},
    {"wav", K::Audio, "audio/x-wav", true, F::None},
    {"snd", K::Audio, "audio/basic", true, F::None},
    {"au", K::Audio, "audio/basic", true, F::None},
    {"aif", K::Audio, "audio/x-aiff", true, F::None},
    {"aifc", K::Audio, "audio/x-aifc", true, F::None},
    {"wma", K::Audio, "audio/x-ms-wma", true, F::None},
    {"mp2", K::Audio, "audio/mp2", true, F::None},
    {"mp3", K::Audio, "audio/mpeg", true, F::None},
    {"asf", K::Video, "application/vnd.ms-asf", true, F::None},
    {"wm", K::Video, "", false, F::None},
    {"wmv", K::Video, "video/x-ms-wmv", true, F::None},
    {"wmd", K::Video, "", true, F::None},
    {"jpg", K::Picture, "image/jpeg", false, F::None},
    {"jpeg", K::Picture, "image/jpeg", false, F::None},
    {"avi", K::Video, "video/x-msvideo", false, F::None},
};

// Kept apart from the table: its rows are media the player opens by
// themselves.
const char *const subtitleTypes[] = {"srt", "ass", "ssa", "vtt", "sub"};

QString suffixOf(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}

} // namespace

const QList<Type> &all()
{
    return table;
}

const Type *forFileName(const QString &fileName)
{
    const QString suffix = suffixOf(fileName);
    if (suffix.isEmpty())
        return nullptr;
    for (const Type &type : table)
        if (suffix == QLatin1String(type.suffix))
            return &type;
    return nullptr;
}

QStringList listedSuffixes()
{
    QStringList suffixes;
    for (const Type &type : table)
        if (type.listed)
            suffixes << QString::fromLatin1(type.suffix);
    return suffixes;
}

bool isPlayListFile(const QString &entry)
{
    const MediaSource source = MediaSource::classify(entry, QDir::rootPath());
    const QString name =
        source.kind == MediaSource::Kind::Network ? QUrl(source.location).path() : entry;
    const Type *type = forFileName(name);
    return type && type->playList != PlayListFormat::None;
}

bool isXmlPlayList(const QString &path)
{
    const Type *type = forFileName(path);
    return type && type->playList == PlayListFormat::Xml;
}

QStringList mimeTypes()
{
    QStringList names;
    for (const Type &type : table)
        names << QString::fromLatin1(type.mimeTypes).split(u' ', Qt::SkipEmptyParts);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

QStringList subtitleSuffixes()
{
    QStringList suffixes;
    for (const char *suffix : subtitleTypes)
        suffixes << QString::fromLatin1(suffix);
    return suffixes;
}

bool isSubtitleFile(const QString &path)
{
    const QString suffix = suffixOf(path);
    return !suffix.isEmpty() && subtitleSuffixes().contains(suffix);
}

} // namespace MediaTypes
