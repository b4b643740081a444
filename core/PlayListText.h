#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// The play-list text file that Save List writes and Load List reads: one
// line per entry, the path in double quotes, CR LF after every line, UTF-8
// without a byte-order mark, nothing else.
namespace PlayListText {

// The file's bytes for these entries; no entries give no bytes.
QByteArray write(const QStringList &entries);

// The position of the first entry that the format cannot hold (one with a
// double quote or a line break in it), or -1 when every entry can be written.
qsizetype firstUnwritable(const QStringList &entries);

// Far beyond any real list, and about what the play-list box holds without
// eating the memory: a hostile "a,a,a,..." file makes ten entries a byte.
constexpr qsizetype maxEntries = 1000000;

// The entries a file holds, read field by field (see readText()); reading
// stops after maxEntries + 1, so more than maxEntries means the file holds
// more than it can be trusted with.
QStringList read(const QByteArray &bytes, qsizetype maxEntries = PlayListText::maxEntries);

// The entries in already decoded text. Fields are separated by commas and
// line ends; blanks before a field are skipped. A field that begins with a
// double quote runs to the next double quote, commas included, and the rest
// up to the next comma or line end is dropped. Any other field runs to the
// next comma or line end. Reading stops after maxEntries + 1 entries.
QStringList readText(QStringView text, qsizetype maxEntries = PlayListText::maxEntries);

// The path one line of a saved list names, for Generate: surrounding blanks
// dropped, then, when the line starts with a double quote, the text up to its
// last double quote. Empty for a blank line.
QString linePath(QStringView line);

} // namespace PlayListText
