// The entry point of the engine module that the player loads at run time,
// so that libmpv is not on the path to the first paint.
#include "engine/mpv/MpvEngine.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT MediaEngine *corvelCreateMediaEngine(bool headless, QString *error)
{
    const MpvEngine::Options options =
        headless ? MpvEngine::Options::headless() : MpvEngine::Options();
    return MpvEngine::create(options, error).release();
}
