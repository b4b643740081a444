#include "desktop/MediaOpener.h"

#include "commands/Commands.h"
#include "core/FileNamePattern.h"
#include "core/MediaFolder.h"
#include "core/MediaSource.h"
#include "core/MediaTypes.h"
#include "core/SourceRule.h"
#include "widgets/CommonDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

MediaOpener::MediaOpener(Commands &commands, CommonDialog &dialog, QObject *parent)
    : QObject(parent), m_commands(commands), m_dialog(dialog)
{
}

QStringList MediaOpener::mediaFilesIn(const QString &folder)
{
    static const FileNamePattern media = FileNamePattern::ofSuffixes(MediaTypes::listedSuffixes());
    return MediaFolder::filePaths(folder, media);
}

QStringList MediaOpener::addressesOf(const QStringList &arguments, const QString &workingFolder)
{
    QStringList addresses;
    for (const QString &argument : arguments) {
        const MediaSource source = MediaSource::classify(argument, workingFolder);
        if (source.kind == MediaSource::Kind::Local)
            addresses << QUrl::fromLocalFile(source.location).toString(QUrl::FullyEncoded);
        else
            addresses << argument;
    }
    return addresses;
}

QString MediaOpener::refusal(const QString &item, const QString &workingFolder)
{
    Gathered gathered;
    gather(item, item, workingFolder, gathered);
    return gathered.problems.value(0);
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
    const QString lossy = info.exists() ? QString() : SourceRule::lossyPart(source.location);
    if (!lossy.isEmpty()) {
        // It is there, under bytes that the name given here no longer holds
        // (not valid UTF-8); the engine's own words say why it cannot open it.
        into.problems << QStringLiteral("%1 cannot be opened: %2.")
                             .arg(path, SourceRule::forUrl(source.location).error);
    } else if (!info.exists()) {
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
    // Thousands of names help nobody: the first ones show what went wrong.
    constexpr qsizetype named = 20;
    QString text;
    if (problems.size() == 1) {
        text = problems.first();
    } else if (problems.size() <= named) {
        text = QStringLiteral("These were not opened:\n\n") + problems.join(u'\n');
    } else {
        const QLocale english(QLocale::English);
        text = QStringLiteral("These %1 were not opened; the first %2:\n\n")
                   .arg(english.toString(problems.size()))
                   .arg(named) +
               problems.mid(0, named).join(u'\n') +
               QStringLiteral("\n\nand %1 more.").arg(english.toString(problems.size() - named));
    }
    m_dialog.showMessage(text, QStringLiteral("Error"));
}

void MediaOpener::openArguments(const QStringList &arguments, const QString &workingFolder)
{
    if (arguments.isEmpty())
        return;
    Gathered gathered;
    for (const QString &argument : arguments)
        gather(argument, argument, workingFolder, gathered);
    QStringList entries = gathered.entries;
    if (!entries.isEmpty()) {
        const bool handOver =
            !gathered.firstFromFolder && MediaTypes::isPlayListFile(entries.first());
        const QString first = handOver ? entries.takeFirst() : QString();
        if (!entries.isEmpty())
            m_commands.replaceList(entries, !handOver);
        if (handOver)
            m_commands.loadPlayListFile(first);
    }
    reportProblems(gathered.problems);
}

void MediaOpener::appendAddresses(const QStringList &addresses)
{
    QList<QUrl> urls;
    for (const QString &address : addresses) {
        const QUrl url(address, QUrl::StrictMode);
        // A refused source kept as written may not be a URL at all.
        urls << (url.isValid() && !url.scheme().isEmpty() ? url : QUrl::fromLocalFile(address));
    }
    appendDropped(urls);
}

void MediaOpener::appendDropped(const QList<QUrl> &urls)
{
    if (urls.isEmpty())
        return;
    Gathered gathered;
    QString playListFile;
    for (const QUrl &url : urls) {
        const QString item = url.isLocalFile() ? url.toLocalFile() : url.toString();
        const QString shown =
            url.isLocalFile() ? QDir::toNativeSeparators(item) : url.toDisplayString();
        // Only a play-list file dropped as itself is loaded; one found in
        // a dropped folder joins the list like the other files there.
        if (playListFile.isEmpty() && MediaTypes::isPlayListFile(item) &&
            !QFileInfo(item).isDir()) {
            Gathered one;
            gather(item, shown, QDir::currentPath(), one);
            gathered.problems << one.problems;
            if (!one.entries.isEmpty())
                playListFile = one.entries.first();
            continue;
        }
        gather(item, shown, QDir::currentPath(), gathered);
    }
    if (!gathered.entries.isEmpty())
        m_commands.appendToList(gathered.entries);
    if (!playListFile.isEmpty())
        m_commands.loadPlayListFile(playListFile);
    reportProblems(gathered.problems);
}
