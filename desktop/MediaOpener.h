#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

class Commands;
class CommonDialog;

// Opens media that come from outside the window (the command line, files
// dropped on it) through the window's commands. Whatever cannot be opened is
// named in one message box, the way every other failed command is, and the
// rest is still opened.
class MediaOpener : public QObject
{
    Q_OBJECT
public:
    MediaOpener(Commands &commands, CommonDialog &dialog, QObject *parent = nullptr);

    // The media files of a folder (the file browser's types), in the file
    // list's order.
    static QStringList mediaFilesIn(const QString &folder);
    // The command line's files as addresses another process can open
    // wherever it runs: a local file or folder as its absolute file:// URL,
    // a stream as written. What the source rule refuses is kept as written,
    // so the receiver refuses it with the same reason.
    static QStringList addressesOf(const QStringList &arguments, const QString &workingFolder);
    // Why this item cannot be opened, in the words the message box uses; ""
    // when it can.
    static QString refusal(const QString &item, const QString &workingFolder);

    // The command line's files: the play list is replaced by them in order
    // and the first is selected, which plays it. When the first is a
    // play-list file it is handed over as Load play-list file does instead,
    // and the others make the list. Relative paths are taken from
    // workingFolder; a folder stands for its media files.
    void openArguments(const QStringList &arguments, const QString &workingFolder);
    // Dropped files and folders: appended as Add appends them (a folder: its
    // media files); the first dropped play-list file is loaded as Load
    // play-list file loads it. Nothing is selected and the list is kept.
    void appendDropped(const QList<QUrl> &urls);
    // Names what could not be opened in one message box (past twenty, a
    // count and the first twenty); nothing when there is nothing to name.
    void reportProblems(const QStringList &problems);
    // Addresses from addressesOf(), appended as dropped files are.
    void appendAddresses(const QStringList &addresses);

private:
    struct Gathered
    {
        QStringList entries;
        QStringList problems;
        // Whether the first entry was found in a folder rather than named.
        bool firstFromFolder = false;
    };
    // Resolves each item to play-list entries, noting what cannot be opened.
    static void gather(const QString &item, const QString &shown, const QString &folder,
                       Gathered &into);

    Commands &m_commands;
    CommonDialog &m_dialog;
};
