#pragma once

#include "engine/mpv/MpvEngine.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

// The real engine for a benchmark; the program ends with mpv's reason when
// it cannot start, as there is nothing to measure then.
inline std::unique_ptr<MpvEngine> startEngine(const MpvEngine::Options &options)
{
    QString error;
    std::unique_ptr<MpvEngine> engine = MpvEngine::create(options, &error);
    if (!engine) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    return engine;
}
