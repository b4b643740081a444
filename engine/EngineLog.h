#pragma once

#include <QLoggingCategory>

// The engine's messages: mpv's own warnings and errors, requests mpv
// refused, the MIDI route.
Q_DECLARE_LOGGING_CATEGORY(corvelEngine)
// How video reaches the screen: the output chosen, render contexts, frames.
Q_DECLARE_LOGGING_CATEGORY(corvelVideo)
