#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Decoding of text files that another program may have written: a Windows
// editor (UTF-16 or the Windows-1252 code page, often with a byte-order
// mark) as well as a Linux one (UTF-8).
namespace TextDecoding {

// The bytes read as Windows-1252. The five bytes that code page leaves
// undefined become the C1 controls of the same value, as on Windows.
QString fromWindows1252(QByteArrayView bytes);

// The text of a file: UTF-8, UTF-16 LE or UTF-16 BE when a byte-order mark
// says so (the mark is dropped), otherwise UTF-8 when the bytes are
// well-formed UTF-8, otherwise Windows-1252.
QString decode(const QByteArray &bytes);

} // namespace TextDecoding
