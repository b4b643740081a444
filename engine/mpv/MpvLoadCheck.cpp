#include "engine/mpv/MpvLoadCheck.h"

#include "core/BoundedRead.h"
#include "core/MediaSource.h"
#include "core/MediaTypes.h"
#include "core/RegularFile.h"
#include "core/SourceRule.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Enough of a file to tell an edit list or a cue sheet, and to read one.
constexpr qint64 sniffBytes = 64 * 1024;

} // namespace

MpvLoadCheck::Result MpvLoadCheck::run(const QString &name, const QStringList &soundFonts,
                                       int pictureHeight)
{
    Result result;
    result.refused = SourceRule::refusedOnLoad(name);
    const MediaSource source = MediaSource::classify(name, QString());
    if (!result.refused.isEmpty() || source.kind != MediaSource::Kind::Local)
        return result;
    const QFileInfo file(source.location);
    if (!file.isFile())
        return result;
    lookBeside(file, pictureHeight, result);
    result.refused = refusedContent(file.absoluteFilePath());
    if (!result.refused.isEmpty())
        return result;
    lookThroughTextList(file.absoluteFilePath(), result);
    if (result.refused.isEmpty())
        result.midi = MpvMidiProtocol::inspect(file.absoluteFilePath(), soundFonts);
    return result;
}

void MpvLoadCheck::lookThroughTextList(const QString &path, Result &result)
{
    QFile file;
    if (!RegularFile::open(file, path) || !HostFileEntries::isTextList(path, file.read(64)))
        return;
    file.close();
    const BoundedRead read = BoundedRead::file(path, maxTextListBytes);
    if (read.failure == BoundedRead::Failure::TooLarge)
        result.refused = tr("a play list larger than %1 MB").arg(maxTextListBytes >> 20);
    else if (read.ok())
        result.hostFiles = HostFileEntries::find(read.bytes, path);
}

// mpv opens the members of an edit list or a cue sheet itself, past every
// check made here.
QString MpvLoadCheck::refusedContent(const QString &path)
{
    QFile file;
    // Unreadable, mpv says so itself; made a pipe since it was looked at,
    // it would hold mpv.
    if (!RegularFile::open(file, path))
        return QFileInfo(path).isFile() ? QString() : tr("a pipe or a device, not a medium file");
    const QByteArray head = file.read(sniffBytes);
    if (head.startsWith("# mpv EDL v0"))
        return tr("an edit list, which may name any source and is not opened");

    static const QRegularExpression member(
        QStringLiteral("^[ \\t]*FILE[ \\t]+(?:\"([^\"]*)\"|(\\S+))"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    const QByteArray upper = head.toUpper();
    if (!upper.contains("TRACK") || !upper.contains("INDEX"))
        return {};
    const QString text = QString::fromUtf8(head);
    const QString folder = QFileInfo(path).absolutePath();
    auto it = member.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString entry = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
        const MediaSource source = MediaSource::classify(entry, folder);
        if (source.kind != MediaSource::Kind::Local)
            return tr("a cue sheet naming %1, which is not a local file").arg(entry);
        const QString notMedium = SourceRule::notAMediumFile(QFileInfo(source.location));
        if (!notMedium.isEmpty())
            return tr("a cue sheet naming %1, %2").arg(entry, notMedium);
    }
    return {};
}

void MpvLoadCheck::lookBeside(const QFileInfo &medium, int pictureHeight, Result &result)
{
    QDirIterator entries(medium.absolutePath(),
                         QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    // mpv loads "clip.srt" and "clip.en.srt" beside "clip.mp4".
    const QString stem = medium.completeBaseName() + u'.';
    QStringList subtitles;
    int seen = 0;
    while (entries.hasNext()) {
        entries.next();
        if (++seen > maxFolderEntries) {
            result.sideFilesSafe = false;
            return;
        }
        const QFileInfo entry = entries.fileInfo();
        // Links are followed: a link to a pipe is a pipe to whoever opens it.
        if (!entry.isFile() && !entry.isDir())
            result.sideFilesSafe = false;
        else if (entry.fileName().startsWith(stem) && MediaTypes::isSubtitleFile(entry.fileName()))
            subtitles << entry.filePath();
    }
    subtitles.sort();
    std::vector<MpvSubtitleFile> fit;
    bool lightened = false;
    for (const QString &path : std::as_const(subtitles)) {
        MpvSubtitleFile file = MpvSubtitleFile::prepare(path, pictureHeight);
        if (!file.refused.isEmpty()) {
            result.refusedSubtitles << tr("The subtitle file %1 was not loaded: %2.")
                                           .arg(QDir::toNativeSeparators(path), file.refused);
            continue;
        }
        lightened = lightened || !file.note.isEmpty();
        fit.push_back(std::move(file));
    }
    if (lightened)
        result.lightenedSubtitles = std::move(fit);
}

MpvLoadCheck::Ticket MpvLoadCheck::start(const QString &name, const QStringList &soundFonts,
                                         int pictureHeight,
                                         std::function<void(const Result &)> then)
{
    return OffThread<Result>::start(
        [name, soundFonts, pictureHeight] { return run(name, soundFonts, pictureHeight); },
        std::move(then));
}
