#pragma once

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
    // Why the file could not be read at all; empty on success.
    QString error;
};

XmlPlayListResult readXmlPlayList(const QString &path);
// True for the file types readXmlPlayList() understands, by extension.
bool isXmlPlayList(const QString &path);
