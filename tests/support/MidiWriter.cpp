#include "support/MidiWriter.h"

#include <algorithm>

namespace {

QByteArray bigEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

} // namespace

MidiWriter::MidiWriter(int ticksPerQuarter) : m_ticksPerQuarter(ticksPerQuarter) {}

MidiWriter &MidiWriter::track()
{
    m_tracks.append(Track());
    return *this;
}

MidiWriter &MidiWriter::tempo(quint32 tick, quint32 microsPerQuarter)
{
    return raw(tick, QByteArray("\xFF\x51\x03", 3) + bigEndian(microsPerQuarter, 3));
}

MidiWriter &MidiWriter::program(quint32 tick, int program, int channel)
{
    return raw(tick, bytes({char(0xC0 | channel), char(program)}));
}

MidiWriter &MidiWriter::note(quint32 tick, quint32 length, int key, int channel, int velocity)
{
    raw(tick, bytes({char(0x90 | channel), char(key), char(velocity)}));
    return raw(tick + length, bytes({char(0x80 | channel), char(key), char(64)}));
}

MidiWriter &MidiWriter::raw(quint32 tick, const QByteArray &bytes)
{
    if (m_tracks.isEmpty())
        track();
    Track &last = m_tracks.last();
    // Kept in tick order; equal ticks keep the order they were added in.
    const auto at = std::upper_bound(last.events.begin(), last.events.end(), tick,
                                     [](quint32 t, const Event &e) { return t < e.tick; });
    last.events.insert(at, Event{tick, bytes});
    return *this;
}

MidiWriter &MidiWriter::endAt(quint32 tick)
{
    if (m_tracks.isEmpty())
        track();
    m_tracks.last().end = tick;
    return *this;
}

QByteArray MidiWriter::file(int format) const
{
    return fileWithDivision(format, quint16(m_ticksPerQuarter));
}

QByteArray MidiWriter::fileWithDivision(int format, quint16 division) const
{
    QByteArray out =
        chunk("MThd", bigEndian(quint32(format), 2) + bigEndian(quint32(m_tracks.size()), 2) +
                          bigEndian(division, 2));
    for (const Track &track : m_tracks)
        out += chunk("MTrk", trackBytes(track));
    return out;
}

QByteArray MidiWriter::trackBytes(const Track &track) const
{
    QByteArray out;
    quint32 now = 0;
    for (const Event &event : track.events) {
        out += number(event.tick - now) + event.bytes;
        now = event.tick;
    }
    const quint32 end = std::max(now, track.end);
    out += number(end - now) + QByteArray("\xFF\x2F\x00", 3);
    return out;
}

QByteArray MidiWriter::rmid(const QByteArray &smf)
{
    auto littleEndian = [](quint32 value) {
        QByteArray out;
        for (int i = 0; i < 4; ++i)
            out.append(char((value >> (8 * i)) & 0xFF));
        return out;
    };
    // A chunk of another kind first, as RMID files may carry, then the song.
    QByteArray body = QByteArray("RMID") + "INFO" + littleEndian(3) + QByteArray("abc\0", 4);
    body += QByteArray("data") + littleEndian(quint32(smf.size())) + smf;
    if (smf.size() % 2)
        body.append('\0');
    return QByteArray("RIFF") + littleEndian(quint32(body.size())) + body;
}

QByteArray MidiWriter::number(quint32 value)
{
    QByteArray out(1, char(value & 0x7F));
    while (value >>= 7)
        out.prepend(char(0x80 | (value & 0x7F)));
    return out;
}

QByteArray MidiWriter::chunk(const char *id, const QByteArray &body)
{
    return QByteArray(id, 4) + bigEndian(quint32(body.size()), 4) + body;
}

QByteArray MidiWriter::bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        out.append(char(value));
    return out;
}
