#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// Builds the Windows Media play list that Generate writes: the lines of the
// head, one <media src="..."/> line for each path of the saved list and the
// lines of the tail, every line ended by CR LF.
namespace WplWriter {

// What generate() made: the document, or why not.
struct Document
{
    QByteArray bytes;
    // Names the entry that XML cannot hold and why, as a sentence that ends
    // with the entry on a line of its own; empty when bytes is the document.
    QString error;
};

// The whole document. The head and tail lines are copied byte for byte; the
// saved list is read line by line (PlayListText::linePath), blank lines
// skipped, each path written XML-escaped in double quotes as UTF-8.
Document generate(const QByteArray &head, const QByteArray &savedList, const QByteArray &tail);

// How many media lines the saved list makes (its lines that name a path),
// counting no further than stopAfter: a huge list is told from a long one
// before any line is built.
qsizetype entryCount(const QByteArray &savedList, qsizetype stopAfter);

// Appends UTF-8 text escaped for a double-quoted XML attribute: & < > " as
// entities, tab and line breaks as character references so they survive.
// For text with another control character or U+FFFE/U+FFFF, which XML
// cannot hold, appends nothing and returns why; otherwise returns "".
QString appendEscaped(QByteArray &out, QByteArrayView utf8);

// The first existing file of this name in the folders, in order; empty when
// none holds it.
QString findPiece(const QString &name, const QStringList &folders);

// Where Generate looks for its head and tail: the working directory first
// (a user's own pieces win), then beside the program, then the installed
// data folder. The program's folder is this one, or by default the running
// program's.
QStringList pieceFolders(const QString &programFolder = QString());

} // namespace WplWriter
