#include "engine/midi/MidiRenderer.h"

#include "engine/midi/MidiControlState.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <fluidsynth.h>
#include <mutex>

namespace {

// FluidSynth writes its messages to the terminal; the player shows its own.
void silenceFluidSynth()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

bool isNote(quint8 status)
{
    const quint8 kind = status & 0xF0;
    return kind == 0x80 || kind == 0x90;
}

// A jump forward shorter than this is played through silently, so notes
// that started before it still sound after it.
constexpr qint64 playThroughFrames = MidiRenderer::sampleRate * 2;

// Runs of non-note events at one instant up to this long go to the
// synthesiser one by one; longer ones as the settings they leave.
constexpr size_t foldedRun = 16;

} // namespace

QStringList MidiRenderer::knownSoundFonts()
{
    return {QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2"),
            QStringLiteral("/usr/share/sounds/sf3/default-GM.sf3"),
            QStringLiteral("/usr/share/sounds/sf3/MuseScore_General.sf3"),
            QStringLiteral("/usr/share/sounds/sf3/FluidR3Mono_GM.sf3"),
            QStringLiteral("/usr/share/soundfonts/default.sf2"),
            QStringLiteral("/usr/share/soundfonts/FluidR3_GM.sf2")};
}

QString MidiRenderer::findSoundFont(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

MidiRenderer::MidiRenderer(std::shared_ptr<const MidiSong> song, const QString &soundFont)
    : m_song(std::move(song))
{
    silenceFluidSynth();
    m_frameCount = std::llround(m_song->duration() * sampleRate);
    m_settings = new_fluid_settings();
    if (!m_settings) {
        m_error = QStringLiteral("the synthesiser could not be set up");
        return;
    }
    fluid_settings_setnum(m_settings, "synth.sample-rate", sampleRate);
    // Only one thread uses a renderer, and nothing needs locking in memory.
    fluid_settings_setint(m_settings, "synth.threadsafe-api", 0);
    fluid_settings_setint(m_settings, "synth.lock-memory", 0);
    // Samples load when a program first needs them: sound starts sooner
    // and a song that uses few instruments costs less memory.
    fluid_settings_setint(m_settings, "synth.dynamic-sample-loading", 1);
    // Twice the synthesiser's cautious default: a single note is heard
    // clearly, and only a full-orchestra fortissimo chord comes near clipping.
    fluid_settings_setnum(m_settings, "synth.gain", 0.4);
    m_synth = new_fluid_synth(m_settings);
    fluid_settings_getint(m_settings, "synth.device-id", &m_deviceId);
    if (!m_synth) {
        m_error = QStringLiteral("the synthesiser could not be set up");
        return;
    }
    // Only SoundFont files go to the loader: other files can reach a
    // library that complains on the terminal.
    QFile file(soundFont);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(12) : QByteArray();
    if (!head.startsWith("RIFF") || head.mid(8) != "sfbk" ||
        fluid_synth_sfload(m_synth, QFile::encodeName(QFileInfo(soundFont).absoluteFilePath()),
                           1) == FLUID_FAILED) {
        m_error = QStringLiteral("the sound font %1 cannot be read").arg(soundFont);
        delete_fluid_synth(m_synth);
        m_synth = nullptr;
    }
}

MidiRenderer::~MidiRenderer()
{
    if (m_synth)
        delete_fluid_synth(m_synth);
    if (m_settings)
        delete_fluid_settings(m_settings);
}

qint64 MidiRenderer::frameOf(const MidiEvent &event) const
{
    return std::llround(event.seconds * sampleRate);
}

void MidiRenderer::send(const MidiEvent &event)
{
    const int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(m_synth, channel, event.data1);
        break;
    case 0x90:
        // A note-on of velocity 0 is a note-off.
        if (event.data2 == 0)
            fluid_synth_noteoff(m_synth, channel, event.data1);
        else
            fluid_synth_noteon(m_synth, channel, event.data1, event.data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(m_synth, channel, event.data1, event.data2);
        break;
    case 0xB0:
        fluid_synth_cc(m_synth, channel, event.data1, event.data2);
        break;
    case 0xC0:
        fluid_synth_program_change(m_synth, channel, event.data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(m_synth, channel, event.data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(m_synth, channel, event.data2 << 7 | event.data1);
        break;
    case 0xF0: {
        const QByteArray &body = m_song->sysex()[event.sysex];
        fluid_synth_sysex(m_synth, body.constData(), int(body.size()), nullptr, nullptr, nullptr,
                          0);
        break;
    }
    default:
        break;
    }
}

void MidiRenderer::seek(qint64 frame)
{
    frame = std::clamp<qint64>(frame, 0, m_frameCount);
    if (!m_synth || frame == m_position)
        return;
    if (frame > m_position && frame - m_position <= playThroughFrames) {
        m_scratch.resize(size_t(4096) * channels);
        while (m_position < frame) {
            const int step = int(std::min<qint64>(4096, frame - m_position));
            if (render(m_scratch.data(), step) == 0)
                break;
        }
        return;
    }
    restartAt(frame);
}

void MidiRenderer::restartAt(qint64 frame)
{
    // The synthesiser works in blocks of 64 frames and keeps the rest of
    // the last one for the next write; that rest belongs to the old place.
    const int leftover = int((64 - m_rendered % 64) % 64);
    if (leftover > 0) {
        qint16 discard[64 * channels];
        fluid_synth_write_s16(m_synth, leftover, discard, 0, channels, discard, 1, channels);
        m_rendered += leftover;
    }
    fluid_synth_all_sounds_off(m_synth, -1);
    fluid_synth_system_reset(m_synth);
    // Every channel as the song had set it by then: programs, controllers,
    // pitch bends and system-exclusive set-ups, without the notes, each sent
    // once however often the song repeated it.
    const std::vector<MidiEvent> &events = m_song->events();
    MidiControlState state(m_deviceId);
    m_nextEvent = 0;
    while (m_nextEvent < events.size() && frameOf(events[m_nextEvent]) < frame) {
        if (!isNote(events[m_nextEvent].status))
            state.absorb(events[m_nextEvent], *m_song);
        ++m_nextEvent;
    }
    state.replay(m_synth, *m_song);
    m_position = frame;
}

void MidiRenderer::sendDueEvents()
{
    const std::vector<MidiEvent> &events = m_song->events();
    const auto due = [&](size_t i) {
        return i < events.size() && frameOf(events[i]) <= m_position;
    };
    while (due(m_nextEvent)) {
        size_t end = m_nextEvent;
        while (due(end) && !isNote(events[end].status))
            ++end;
        if (end - m_nextEvent > foldedRun) {
            MidiControlState run(m_deviceId);
            for (; m_nextEvent < end; ++m_nextEvent)
                run.absorb(events[m_nextEvent], *m_song);
            run.replay(m_synth, *m_song);
        } else {
            for (; m_nextEvent < end; ++m_nextEvent)
                send(events[m_nextEvent]);
        }
        if (due(m_nextEvent))
            send(events[m_nextEvent++]);
    }
}

int MidiRenderer::render(qint16 *out, int frames)
{
    if (!m_synth || frames <= 0)
        return 0;
    const std::vector<MidiEvent> &events = m_song->events();
    int written = 0;
    while (written < frames && m_position < m_frameCount) {
        sendDueEvents();
        qint64 until = m_frameCount;
        if (m_nextEvent < events.size())
            until = std::min(until, frameOf(events[m_nextEvent]));
        const int step = int(std::min<qint64>(frames - written, until - m_position));
        qint16 *at = out + qint64(written) * channels;
        fluid_synth_write_s16(m_synth, step, at, 0, channels, at, 1, channels);
        written += step;
        m_position += step;
        m_rendered += step;
    }
    return written;
}
