#include "commands/playback/EngineCommands.h"

#include "commands/Commands.h"
#include "engine/MediaEngine.h"

EngineCommands::EngineCommands(MediaEngine &engine, Commands &commands, QObject *parent)
    : QObject(parent), m_engine(engine), m_commands(commands)
{
}

void EngineCommands::playPause()
{
    m_engine.playPause();
}

void EngineCommands::play()
{
    m_engine.play();
}

void EngineCommands::seekTo(double seconds)
{
    m_engine.seek(seconds);
}

void EngineCommands::setVolume(int percent)
{
    m_engine.setVolume(qBound(0, percent, 100));
}

void EngineCommands::seekBackward()
{
    m_engine.seekBy(-shortSeek);
}

void EngineCommands::seekForward()
{
    m_engine.seekBy(shortSeek);
}

void EngineCommands::seekBackwardLong()
{
    m_engine.seekBy(-longSeek);
}

void EngineCommands::seekForwardLong()
{
    m_engine.seekBy(longSeek);
}

void EngineCommands::volumeUp()
{
    stepVolume(volumeStep);
}

void EngineCommands::volumeDown()
{
    stepVolume(-volumeStep);
}

void EngineCommands::stepVolume(int by)
{
    const int now = m_engine.volume();
    const int wanted = qBound(0, now + by, 100);
    if (wanted != now)
        m_engine.setVolume(wanted);
}

void EngineCommands::muteOrUnMute()
{
    m_commands.trigger(m_engine.volume() > 0 ? QStringLiteral("cmdMute_Click")
                                             : QStringLiteral("cmdUnMute_Click"));
}
