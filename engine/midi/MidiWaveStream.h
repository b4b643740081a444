#pragma once

#include "engine/midi/MidiRenderer.h"

#include <QByteArray>
#include <memory>
#include <vector>

// A MIDI song seen as the bytes of a WAV file (a 44-byte header, then 16-bit
// stereo PCM at 44.1 kHz), made on demand as they are read. Any byte can be
// read at any time, so a player can open, probe and seek it like a file on
// disk; only the part around the read position is ever in memory.
class MidiWaveStream
{
public:
    static constexpr int headerBytes = 44;

    // Takes a renderer that is ready (its error() is empty).
    explicit MidiWaveStream(std::unique_ptr<MidiRenderer> renderer);

    // The whole file's size in bytes.
    qint64 size() const
    {
        return headerBytes + m_renderer->frameCount() * MidiRenderer::bytesPerFrame;
    }
    // Moves the read position; returns it, or -1 for a position outside the file.
    qint64 seek(qint64 offset);
    // Reads up to maxBytes from the read position into out and returns how
    // many bytes it read (0 at the end); it may read fewer than there are.
    qint64 read(char *out, qint64 maxBytes);

private:
    void fillBufferAt(qint64 frame);

    std::unique_ptr<MidiRenderer> m_renderer;
    QByteArray m_header;
    qint64 m_offset = 0;
    // Rendered frames around the read position: the first one's number and
    // how many there are.
    std::vector<qint16> m_buffer;
    qint64 m_bufferFrame = 0;
    qint64 m_bufferFrames = 0;
};
