#pragma once

#include <QString>

// Where the player's private files (the engine module, the OpenGL probe)
// live: beside the program in a build folder, in the player's own library
// folder once installed, or in CORVEL_HELPER_DIR when that is set (tests
// started from elsewhere). The path found first that exists; else the one
// the install would have, so an error message names a sensible place.
QString helperFilePath(const QString &name);
