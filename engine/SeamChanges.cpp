#include "engine/SeamChanges.h"

SeamChanges::SeamChanges(MediaEngine &engine) : m_engine(engine), m_status(engine.status()) {}

void SeamChanges::announce()
{
    if (const QString now = m_engine.status(); now != m_status) {
        m_status = now;
        emit m_engine.statusChanged(now);
    }
    if (const QString told = m_engine.problem(); told != m_problem) {
        m_problem = told;
        emit m_engine.problemChanged(told);
    }
    if (const std::optional<double> length = m_engine.duration(); length != m_duration) {
        m_duration = length;
        emit m_engine.durationChanged(length);
    }
    if (const std::optional<double> at = m_engine.position(); at != m_position) {
        m_position = at;
        emit m_engine.positionChanged(at);
    }
    if (const MediaEngine::PlaybackState state = m_engine.playbackState(); state != m_state) {
        m_state = state;
        emit m_engine.playbackStateChanged(state);
    }
}

void SeamChanges::clearProblem()
{
    if (m_problem.isEmpty())
        return;
    m_problem.clear();
    emit m_engine.problemChanged(m_problem);
}
