#include "desktop/MediaOpener.h"

#include "app/Form1.h"
#include "widgets/FileListBox.h"
#include "core/MediaSource.h"
#include "commands/playlist/PlayList.h"
#include "widgets/PlayListBox.h"
#include "commands/playlist/PlayListPlayback.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

namespace {

const QStringList playListSuffixes = {QStringLiteral("wpl"), QStringLiteral("asx"),
                                      QStringLiteral("wvx"), QStringLiteral("wmx"),
                                      QStringLiteral("m3u")};

PlayListBox &playList1(Form1 &window)
{
    return *window.control<PlayListBox>(QStringLiteral("PlayList1"));
}

} // namespace

MediaOpener::MediaOpener(Form1 &window, QObject *parent) : QObject(parent), m_window(window) {}

bool MediaOpener::isPlayListFile(const QString &entry)
{
    const MediaSource source = MediaSource::classify(entry, QDir::rootPath());
    const QString path =
        source.kind == MediaSource::Kind::Network ? QUrl(source.location).path() : entry;
    return playListSuffixes.contains(QFileInfo(path).suffix().toLower());
}

QStringList MediaOpener::mediaFilesIn(const QString &folder)
{
    // QDir matches these patterns with letter case ignored, as the file list does.
    const QStringList patterns = FileListBox::designPattern.split(u';', Qt::SkipEmptyParts);
    const QDir dir(folder);
    QStringList files;
    const QStringList names =
        dir.entryList(patterns, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names)
        files << dir.absoluteFilePath(name);
    return files;
}

void MediaOpener::gather(const QString &item, const QString &shown, const QString &folder,
                         Gathered &into)
{
    const MediaSource source = MediaSource::classify(item, folder);
    switch (source.kind) {
    case MediaSource::Kind::Refused:
        into.problems << QStringLiteral("%1 cannot be opened: %2.").arg(shown, source.reason);
        return;
    case MediaSource::Kind::Network:
        into.entries << source.location;
        return;
    case MediaSource::Kind::Local:
        break;
    }
    const QFileInfo info(source.location);
    const QString path = QDir::toNativeSeparators(source.location);
    if (!info.exists()) {
        into.problems << QStringLiteral("%1 was not found.").arg(path);
    } else if (info.isDir()) {
        if (!info.isReadable() || !info.isExecutable()) {
            into.problems << QStringLiteral("The folder %1 cannot be read.").arg(path);
            return;
        }
        const QStringList files = mediaFilesIn(source.location);
        if (files.isEmpty())
            into.problems << QStringLiteral("The folder %1 holds no media files.").arg(path);
        if (into.entries.isEmpty() && !files.isEmpty())
            into.firstFromFolder = true;
        into.entries << files;
    } else if (!info.isReadable()) {
        into.problems << QStringLiteral("%1 cannot be read.").arg(path);
    } else {
        into.entries << info.absoluteFilePath();
    }
}

void MediaOpener::reportProblems(const QStringList &problems)
{
    if (problems.isEmpty())
        return;
    // Thrown into Form1::runHandler, which shows it as any failed command.
    const QString text =
        problems.size() == 1
            ? problems.first()
            : QStringLiteral("These were not opened:\n\n") + problems.join(u'\n');
    throw std::runtime_error(text.toStdString());
}

void MediaOpener::openArguments(const QStringList &arguments, const QString &workingFolder)
{
    if (arguments.isEmpty())
        return;
    m_window.runHandler([&] {
        Gathered gathered;
        for (const QString &argument : arguments)
            gather(argument, argument, workingFolder, gathered);
        QStringList entries = gathered.entries;
        if (!entries.isEmpty()) {
            const bool handOver = !gathered.firstFromFolder && isPlayListFile(entries.first());
            const QString first = handOver ? entries.takeFirst() : QString();
            if (!entries.isEmpty()) {
                m_window.playList().cmdNewList_Click();
                PlayListBox &list = playList1(m_window);
                list.setUpdatesEnabled(false);
                for (const QString &entry : std::as_const(entries))
                    list.addEntry(entry);
                list.setUpdatesEnabled(true);
            }
            if (handOver)
                m_window.playListPlayback().loadPlayListFile(first);
            else
                playList1(m_window).setListIndex(0); // Activates it: it plays
        }
        reportProblems(gathered.problems);
    });
}

void MediaOpener::appendDropped(const QList<QUrl> &urls)
{
    if (urls.isEmpty())
        return;
    m_window.runHandler([&] {
        Gathered gathered;
        QString playListFile;
        for (const QUrl &url : urls) {
            const QString item = url.isLocalFile() ? url.toLocalFile() : url.toString();
            const QString shown =
                url.isLocalFile() ? QDir::toNativeSeparators(item) : url.toDisplayString();
            // Only a play-list file dropped as itself is loaded; one found in
            // a dropped folder joins the list like the other files there.
            if (playListFile.isEmpty() && isPlayListFile(item) && !QFileInfo(item).isDir()) {
                Gathered one;
                gather(item, shown, QDir::currentPath(), one);
                gathered.problems << one.problems;
                if (!one.entries.isEmpty())
                    playListFile = one.entries.first();
                continue;
            }
            gather(item, shown, QDir::currentPath(), gathered);
        }
        PlayListBox &list = playList1(m_window);
        list.setUpdatesEnabled(false);
        for (const QString &entry : std::as_const(gathered.entries))
            list.addEntry(entry);
        list.setUpdatesEnabled(true);
        if (!playListFile.isEmpty())
            m_window.playListPlayback().loadPlayListFile(playListFile);
        reportProblems(gathered.problems);
    });
}
