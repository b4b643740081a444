#pragma once

#include "core/MidiSong.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

// Plays a MidiSong on a software synthesiser (FluidSynth with a General MIDI
// sound font) into 16-bit stereo PCM at 44.1 kHz, on demand and from any
// position. It never opens a sound device: the caller takes the samples.
// One thread at a time may use an object; different objects are independent.
class MidiRenderer
{
public:
    static constexpr int sampleRate = 44100;
    static constexpr int channels = 2;
    static constexpr int bytesPerFrame = channels * 2;

    // Where Debian's sound-font packages put a General MIDI sound font, the
    // system's chosen default first.
    static QStringList knownSoundFonts();
    // The first of these files that exists, or an empty string.
    static QString findSoundFont(const QStringList &candidates = knownSoundFonts());

    // Loads the sound font and starts at the song's beginning; see error().
    MidiRenderer(std::shared_ptr<const MidiSong> song, const QString &soundFont);
    ~MidiRenderer();
    MidiRenderer(const MidiRenderer &) = delete;
    MidiRenderer &operator=(const MidiRenderer &) = delete;

    // Why the synthesiser could not be set up; empty when it is ready.
    QString error() const { return m_error; }
    // The song's length in frames (one frame is a left and a right sample).
    qint64 frameCount() const { return m_frameCount; }
    // The frame render() produces next.
    qint64 position() const { return m_position; }

    // Makes render() go on from this frame. A jump back, or far ahead,
    // silences the notes that were sounding and sets every channel as the
    // song had set it by then.
    void seek(qint64 frame);
    // Writes up to this many interleaved frames into out and returns how
    // many it wrote: fewer only at the song's end, 0 after it.
    int render(qint16 *out, int frames);

private:
    qint64 frameOf(const MidiEvent &event) const;
    void send(const MidiEvent &event);
    void restartAt(qint64 frame);
    // Sends the events due at the current frame; long runs of non-note
    // events go as the settings they leave.
    void sendDueEvents();

    std::shared_ptr<const MidiSong> m_song;
    QString m_error;
    _fluid_hashtable_t *m_settings = nullptr;
    _fluid_synth_t *m_synth = nullptr;
    qint64 m_frameCount = 0;
    // The synthesiser's system-exclusive device id.
    int m_deviceId = 0x10;
    qint64 m_position = 0;
    size_t m_nextEvent = 0;
    // Frames the synthesiser has written since it was made.
    qint64 m_rendered = 0;
    std::vector<qint16> m_scratch;
};
