#pragma once

#include "engine/MediaEngine.h"

#include <QString>
#include <optional>

// What an engine last told through the seam's change signals (status,
// problem, length, position, playback state), so that it tells each of them
// again only when it has changed.
class SeamChanges
{
public:
    // Starts from the engine's present status and nothing else told.
    explicit SeamChanges(MediaEngine &engine);

    // Emits the engine's change signal for each of its values that differs
    // from what was last told.
    void announce();
    // Tells at once that there is no problem, so that the next one is told
    // even when its text is the same as the last.
    void clearProblem();

private:
    MediaEngine &m_engine;
    QString m_status;
    QString m_problem;
    std::optional<double> m_duration;
    std::optional<double> m_position;
    MediaEngine::PlaybackState m_state = MediaEngine::PlaybackState::Stopped;
};
