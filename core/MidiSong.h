#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <vector>

// One event for the synthesiser: a channel message or a system-exclusive
// message, at its time from the start of the song.
struct MidiEvent
{
    // Seconds from the start (while reading, the tick it falls on).
    double seconds = 0;
    // For a system-exclusive message (status 0xF0): its index in
    // MidiSong::sysex().
    quint32 sysex = 0;
    quint8 status = 0;
    quint8 data1 = 0;
    quint8 data2 = 0;
};

// A Standard MIDI File (format 0 or 1, bare or wrapped in a RIFF RMID file)
// read into one time-ordered list of events with their times in seconds, so
// it can be rendered and sought without reading the file again. The bytes
// come from anywhere: every length is checked, and the size, the number of
// events and the length of the song are bounded, so a hostile file ends in
// error() quickly and never in a crash or a hang.
class MidiSong
{
public:
    // Larger files are refused unread (real songs are far smaller).
    static constexpr qint64 maxFileBytes = 16 * 1024 * 1024;
    // More events than this are refused; memory stays below 16 MB.
    static constexpr int maxEvents = 1000000;
    // A longer song is refused; it is also about the most a WAV can hold.
    static constexpr double maxSeconds = 6 * 3600.0;

    // True when these first bytes of a file (12 are enough) start a
    // Standard MIDI File or an RMID file.
    static bool looksLikeMidi(const QByteArray &head);

    // Reads a song from the bytes of a .mid or .rmi file; see error().
    static MidiSong parse(const QByteArray &bytes);
    // Reads the song in the file at this path; see error().
    static MidiSong readFile(const QString &path);

    // Why the bytes could not be read, as a short phrase ("track 2 is cut
    // short"); empty when the song is fine.
    QString error() const { return m_error; }
    bool isValid() const { return m_error.isEmpty(); }

    // The file's format (0 or 1) and its number of tracks.
    int format() const { return m_format; }
    int trackCount() const { return m_trackCount; }
    // Seconds from the start to the end of the longest track.
    double duration() const { return m_duration; }
    // Channel and system-exclusive events in the order they sound; at equal
    // times, in the order of their tracks.
    const std::vector<MidiEvent> &events() const { return m_events; }
    // The bodies of system-exclusive messages, without their 0xF0 and 0xF7.
    const std::vector<QByteArray> &sysex() const { return m_sysex; }

private:
    friend class MidiTrackReader;

    static MidiSong failed(const QString &error);
    QString readChunks(const uchar *data, qint64 size);
    QString readHeader(const uchar *data, qint64 size);
    QString timeEvents();

    QString m_error;
    int m_format = 0;
    int m_trackCount = 0;
    int m_division = 0;
    double m_duration = 0;
    double m_lastTick = 0;
    std::vector<MidiEvent> m_events;
    std::vector<QByteArray> m_sysex;
    // Tempo changes: tick and microseconds per quarter note.
    std::vector<std::pair<double, quint32>> m_tempos;
};
