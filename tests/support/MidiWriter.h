#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <initializer_list>

// Writes Standard MIDI Files for tests, event by event, so every song a test
// plays is made by the test itself.
//
//     MidiWriter song(480);
//     song.track().tempo(0, 500000).note(0, 480, 60).note(480, 480, 64);
//     const QByteArray bytes = song.file(0); // 1.0 s long
class MidiWriter
{
public:
    // Ticks per quarter note in the header's time division.
    explicit MidiWriter(int ticksPerQuarter = 480);

    // Starts a new track; the calls below add to the last track started.
    MidiWriter &track();
    // A tempo change at this tick, in microseconds per quarter note.
    MidiWriter &tempo(quint32 tick, quint32 microsPerQuarter);
    // A program change on this channel.
    MidiWriter &program(quint32 tick, int program, int channel = 0);
    // A note from this tick for this many ticks.
    MidiWriter &note(quint32 tick, quint32 length, int key, int channel = 0, int velocity = 100);
    // Any bytes as one event at this tick (running status, broken events ...).
    MidiWriter &raw(quint32 tick, const QByteArray &bytes);
    // Where the track's end-of-track event goes; by default at its last event.
    MidiWriter &endAt(quint32 tick);

    // The whole file with this format in its header (0 or 1).
    QByteArray file(int format) const;
    // A file whose header uses this raw time division (SMPTE ones included).
    QByteArray fileWithDivision(int format, quint16 division) const;

    // The bytes of a RIFF RMID file that wraps this Standard MIDI File.
    static QByteArray rmid(const QByteArray &smf);
    // Bytes from a list of values 0 to 255.
    static QByteArray bytes(std::initializer_list<int> values);
    // A variable-length number as a MIDI file writes it.
    static QByteArray number(quint32 value);
    // A chunk: four letters, a big-endian length, the body.
    static QByteArray chunk(const char *id, const QByteArray &body);

private:
    struct Event
    {
        quint32 tick;
        QByteArray bytes;
    };
    struct Track
    {
        QList<Event> events;
        quint32 end = 0;
    };

    QByteArray trackBytes(const Track &track) const;

    int m_ticksPerQuarter;
    QList<Track> m_tracks;
};
