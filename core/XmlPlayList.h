#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reads a Windows Media play-list file (.wpl) or an ASX file (.asx, .wvx,
// .wmx) safely: no external entities, bounded size, depth and expansion.
struct XmlPlayListResult
{
    // Each entry as a local absolute path or a network URL, in file order.
    QStringList entries;
    // Entries that were skipped, each with the reason ("<entry>: <reason>").
    QStringList skipped;
    // Why the file could not be read at all; empty on success. A short
    // phrase without the file's name, such as "not well-formed XML (line 3:
    // ...)". No entries are given when it is set.
    QString error;
};

// Reads the play-list file at this path; relative entries are resolved
// against its folder (see MediaSource::classify()).
XmlPlayListResult readXmlPlayList(const QString &path);
// Reads play-list data already in memory, resolving relative entries
// against baseFolder.
XmlPlayListResult readXmlPlayListData(const QByteArray &data, const QString &baseFolder);
// True for the file types readXmlPlayList() understands, by extension.
bool isXmlPlayList(const QString &path);
