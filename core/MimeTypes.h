#pragma once

#include <QStringList>

// The MIME types of the media and play-list files the player opens: the
// shared MIME database's names for the extensions of the Add and Open
// dialogs' catalogue. The desktop entry's MimeType= key lists the same.
QStringList supportedMimeTypes();
