#include "engine/EngineLog.h"

// Debug messages stay off unless QT_LOGGING_RULES turns them on.
Q_LOGGING_CATEGORY(corvelEngine, "corvel.engine", QtInfoMsg)
Q_LOGGING_CATEGORY(corvelVideo, "corvel.video", QtInfoMsg)
