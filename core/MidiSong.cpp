#include "core/MidiSong.h"

#include "core/BoundedRead.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

quint32 bigEndian32(const uchar *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

quint16 bigEndian16(const uchar *p)
{
    return quint16(p[0] << 8 | p[1]);
}

quint32 littleEndian32(const uchar *p)
{
    return quint32(p[3]) << 24 | quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
}

bool isRmid(const uchar *p, qint64 size)
{
    return size >= 12 && std::memcmp(p, "RIFF", 4) == 0 && std::memcmp(p + 8, "RMID", 4) == 0;
}

// Finds the Standard MIDI File in the bytes: all of them, or the 'data'
// chunk of an RMID file, which the synthesiser could not read as it is.
QString unwrap(const QByteArray &bytes, const uchar **data, qint64 *size)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qint64 length = bytes.size();
    if (!isRmid(p, length)) {
        *data = p;
        *size = length;
        return {};
    }
    qint64 at = 12;
    while (length - at >= 8) {
        const quint32 chunk = littleEndian32(p + at + 4);
        if (std::memcmp(p + at, "data", 4) == 0) {
            if (chunk > length - at - 8)
                return QStringLiteral("its MIDI data is cut short");
            *data = p + at + 8;
            *size = chunk;
            return {};
        }
        // RIFF chunks are padded to an even length.
        at += 8 + qint64(chunk) + (chunk & 1);
    }
    return QStringLiteral("an RMID file without MIDI data");
}

} // namespace

// Reads the events of one MTrk chunk into the song, with their ticks.
class MidiTrackReader
{
public:
    MidiTrackReader(MidiSong &song, const uchar *data, qint64 size, int number)
        : m_song(song), m_data(data), m_size(size), m_number(number)
    {
    }

    QString read()
    {
        double tick = 0;
        quint8 running = 0;
        while (m_at < m_size) {
            quint32 delta = 0;
            if (!readNumber(&delta))
                return m_problem;
            tick += delta;
            if (m_at >= m_size)
                return cutShort();
            quint8 status = m_data[m_at];
            if (status < 0x80) {
                // Running status: the data bytes of another event like the last.
                if (running == 0)
                    return QStringLiteral("track %1 has an event without a status").arg(m_number);
                status = running;
            } else {
                ++m_at;
            }

            if (status < 0xF0) {
                running = status;
                const quint8 kind = status & 0xF0;
                const int count = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
                if (m_size - m_at < count)
                    return cutShort();
                MidiEvent event;
                event.seconds = tick;
                event.status = status;
                event.data1 = m_data[m_at];
                event.data2 = count == 2 ? m_data[m_at + 1] : 0;
                if ((event.data1 | event.data2) & 0x80)
                    return QStringLiteral("track %1 has a broken event").arg(m_number);
                m_at += count;
                if (!add(event))
                    return tooMany();
            } else if (status == 0xF0 || status == 0xF7) {
                quint32 length = 0;
                if (!readNumber(&length))
                    return m_problem;
                if (length > m_size - m_at)
                    return cutShort();
                // 0xF7 escapes carry anything at all; only whole
                // system-exclusive messages go to the synthesiser.
                if (status == 0xF0) {
                    QByteArray body(reinterpret_cast<const char *>(m_data + m_at), length);
                    if (body.endsWith('\xF7'))
                        body.chop(1);
                    MidiEvent event;
                    event.seconds = tick;
                    event.status = 0xF0;
                    event.sysex = quint32(m_song.m_sysex.size());
                    if (!add(event))
                        return tooMany();
                    m_song.m_sysex.push_back(body);
                }
                m_at += length;
            } else if (status == 0xFF) {
                if (m_at >= m_size)
                    return cutShort();
                const quint8 type = m_data[m_at++];
                quint32 length = 0;
                if (!readNumber(&length))
                    return m_problem;
                if (length > m_size - m_at)
                    return cutShort();
                const uchar *body = m_data + m_at;
                m_at += length;
                if (type == 0x2F)
                    break;
                if (type == 0x51) {
                    if (length != 3)
                        return QStringLiteral("track %1 has a broken tempo change").arg(m_number);
                    const quint32 tempo = quint32(body[0]) << 16 | quint32(body[1]) << 8 | body[2];
                    if (tempo == 0)
                        return QStringLiteral("track %1 sets a tempo of 0").arg(m_number);
                    m_song.m_tempos.emplace_back(tick, tempo);
                    if (!withinLimit())
                        return tooMany();
                }
            } else {
                return QStringLiteral("track %1 holds an unknown status byte (0x%2)")
                    .arg(m_number)
                    .arg(status, 2, 16, QLatin1Char('0'));
            }
        }
        m_song.m_lastTick = std::max(m_song.m_lastTick, tick);
        return {};
    }

private:
    // A variable-length number of at most four bytes.
    bool readNumber(quint32 *value)
    {
        quint32 result = 0;
        for (int i = 0; i < 4; ++i) {
            if (m_at >= m_size) {
                m_problem = cutShort();
                return false;
            }
            const uchar byte = m_data[m_at++];
            result = result << 7 | (byte & 0x7F);
            if (!(byte & 0x80)) {
                *value = result;
                return true;
            }
        }
        m_problem = QStringLiteral("track %1 has a number longer than four bytes").arg(m_number);
        return false;
    }

    bool withinLimit() const
    {
        return m_song.m_events.size() + m_song.m_tempos.size() <= size_t(MidiSong::maxEvents);
    }

    bool add(const MidiEvent &event)
    {
        if (m_song.m_events.size() + m_song.m_tempos.size() >= size_t(MidiSong::maxEvents))
            return false;
        m_song.m_events.push_back(event);
        return true;
    }

    QString cutShort() const { return QStringLiteral("track %1 is cut short").arg(m_number); }

    static QString tooMany()
    {
        return QStringLiteral("holds more than %1 events").arg(MidiSong::maxEvents);
    }

    MidiSong &m_song;
    const uchar *m_data;
    qint64 m_size;
    qint64 m_at = 0;
    int m_number;
    QString m_problem;
};

bool MidiSong::looksLikeMidi(const QByteArray &head)
{
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    return head.startsWith("MThd") || isRmid(p, head.size());
}

MidiSong MidiSong::failed(const QString &error)
{
    MidiSong song;
    song.m_error = error;
    return song;
}

MidiSong MidiSong::parse(const QByteArray &bytes)
{
    if (bytes.size() > maxFileBytes)
        return failed(QStringLiteral("larger than %1 MB").arg(maxFileBytes / (1024 * 1024)));
    const uchar *data = nullptr;
    qint64 size = 0;
    const QString unwrapped = unwrap(bytes, &data, &size);
    if (!unwrapped.isEmpty())
        return failed(unwrapped);

    MidiSong song;
    QString error = song.readHeader(data, size);
    if (error.isEmpty())
        error = song.readChunks(data, size);
    if (error.isEmpty())
        error = song.timeEvents();
    if (!error.isEmpty())
        return failed(error);
    song.m_tempos.clear();
    song.m_tempos.shrink_to_fit();
    return song;
}

MidiSong MidiSong::readFile(const QString &path)
{
    const BoundedRead read = BoundedRead::file(path, maxFileBytes);
    switch (read.failure) {
    case BoundedRead::Failure::None:
        return parse(read.bytes);
    case BoundedRead::Failure::TooLarge:
        return failed(read.error);
    default:
        return failed(QStringLiteral("cannot be opened (%1)").arg(read.error));
    }
}

QString MidiSong::readHeader(const uchar *data, qint64 size)
{
    if (size < 4 || std::memcmp(data, "MThd", 4) != 0)
        return QStringLiteral("not a Standard MIDI File");
    if (size < 14)
        return QStringLiteral("its header is cut short");
    const quint32 length = bigEndian32(data + 4);
    if (length < 6)
        return QStringLiteral("its header is too short");
    if (length > size - 8)
        return QStringLiteral("its header is cut short");
    m_format = bigEndian16(data + 8);
    m_trackCount = bigEndian16(data + 10);
    m_division = bigEndian16(data + 12);
    if (m_format == 2)
        return QStringLiteral("MIDI format 2 (separate patterns), which this player does not play");
    if (m_format > 2)
        return QStringLiteral("an unknown MIDI format (%1)").arg(m_format);
    if (m_trackCount == 0)
        return QStringLiteral("holds no tracks");
    if (m_division & 0x8000) {
        const int framesPerSecond = -int(qint8(m_division >> 8));
        const int ticksPerFrame = m_division & 0xFF;
        if ((framesPerSecond != 24 && framesPerSecond != 25 && framesPerSecond != 29 &&
             framesPerSecond != 30) ||
            ticksPerFrame == 0)
            return QStringLiteral("an unknown time division");
    } else if (m_division == 0) {
        return QStringLiteral("a time division of 0");
    }
    return {};
}

QString MidiSong::readChunks(const uchar *data, qint64 size)
{
    qint64 at = 8 + qint64(bigEndian32(data + 4));
    int found = 0;
    while (found < m_trackCount) {
        if (at >= size)
            return QStringLiteral("holds %1 of its %2 tracks").arg(found).arg(m_trackCount);
        if (size - at < 8)
            return QStringLiteral("track %1 is cut short").arg(found + 1);
        const quint32 length = bigEndian32(data + at + 4);
        if (length > size - at - 8)
            return QStringLiteral("track %1 is cut short").arg(found + 1);
        // Chunks of other kinds may sit between the tracks; they are skipped.
        if (std::memcmp(data + at, "MTrk", 4) == 0) {
            ++found;
            const QString error = MidiTrackReader(*this, data + at + 8, length, found).read();
            if (!error.isEmpty())
                return error;
        }
        at += 8 + qint64(length);
    }
    return {};
}

QString MidiSong::timeEvents()
{
    // Tracks were read one after the other; a stable sort keeps the order
    // within a track and puts earlier tracks first at equal ticks.
    const auto byTick = [](const MidiEvent &a, const MidiEvent &b) {
        return a.seconds < b.seconds;
    };
    std::stable_sort(m_events.begin(), m_events.end(), byTick);
    std::stable_sort(m_tempos.begin(), m_tempos.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });

    if (m_division & 0x8000) {
        // Time code: a fixed number of ticks a second, whatever the tempo.
        const int frames = -int(qint8(m_division >> 8));
        const double perSecond = (frames == 29 ? 29.97 : double(frames)) * (m_division & 0xFF);
        for (MidiEvent &event : m_events)
            event.seconds /= perSecond;
        m_duration = m_lastTick / perSecond;
    } else {
        const double ticksPerQuarter = m_division;
        double tempo = 500000; // 120 beats a minute until the file says otherwise
        double fromTick = 0;
        double fromSeconds = 0;
        size_t next = 0;
        const auto toSeconds = [&](double tick) {
            while (next < m_tempos.size() && m_tempos[next].first <= tick) {
                fromSeconds += (m_tempos[next].first - fromTick) * tempo / (1e6 * ticksPerQuarter);
                fromTick = m_tempos[next].first;
                tempo = m_tempos[next].second;
                ++next;
            }
            return fromSeconds + (tick - fromTick) * tempo / (1e6 * ticksPerQuarter);
        };
        for (MidiEvent &event : m_events)
            event.seconds = toSeconds(event.seconds);
        m_duration = toSeconds(m_lastTick);
    }

    if (m_duration > maxSeconds)
        return QStringLiteral("it would play for more than %1 hours").arg(maxSeconds / 3600);
    const bool hasNotes = std::any_of(m_events.begin(), m_events.end(), [](const MidiEvent &e) {
        return (e.status & 0xF0) == 0x90 && e.data2 > 0;
    });
    if (!hasNotes)
        return QStringLiteral("holds no notes to play");
    if (std::llround(m_duration * 1000) == 0)
        return QStringLiteral("lasts no time at all");
    return {};
}
