#include "playback/MpvEngine.h"

#include <QWidget>

MpvEngine::MpvEngine(QObject *parent) : MediaEngine(parent) {}
MpvEngine::~MpvEngine() = default;
QWidget *MpvEngine::widget()
{
    if (!m_widget)
        m_widget = new QWidget;
    return m_widget;
}
void MpvEngine::setUrl(const QString &url) { m_url = url; }
void MpvEngine::play() {}
void MpvEngine::pause() {}
void MpvEngine::stop() {}
void MpvEngine::fastForward() {}
void MpvEngine::fastReverse() {}
void MpvEngine::setVolume(int percent) { m_volume = percent; }
std::optional<double> MpvEngine::duration() const { return std::nullopt; }
QString MpvEngine::status() const { return QString(); }
