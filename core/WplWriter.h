#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <stdexcept>

// Thrown when an entry of the saved list holds a character that an XML
// attribute cannot carry.
class WplEntryError : public std::runtime_error
{
public:
    WplEntryError(const QString &entry, const QString &reason);
    QString entry() const { return m_entry; }

private:
    QString m_entry;
};

// Builds the Windows Media play list that Generate writes: the lines of the
// head, one <media src="..."/> line for each path of the saved list and the
// lines of the tail, every line ended by CR LF.
namespace WplWriter {

// The whole document. The head and tail lines are copied byte for byte; the
// saved list is read line by line (PlayListText::linePath), blank lines
// skipped, each path written XML-escaped in double quotes as UTF-8.
// Throws WplEntryError for a path that XML cannot hold.
QByteArray generate(const QByteArray &head, const QByteArray &savedList, const QByteArray &tail);

// The text escaped for a double-quoted XML attribute: & < > " as entities,
// tab and line breaks as character references so they survive.
// Throws WplEntryError for other control characters and broken surrogates.
QString escapeAttribute(QStringView text);

// The first existing file of this name in the folders, in order; empty when
// none holds it.
QString findPiece(const QString &name, const QStringList &folders);

// Where Generate looks for its head and tail: the working directory first
// (a user's own pieces win), then beside the program, then the installed
// share folder.
QStringList pieceFolders();

} // namespace WplWriter
