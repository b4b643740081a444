#include "engine/midi/MidiWaveStream.h"

#include <QDataStream>
#include <QIODevice>
#include <algorithm>
#include <cstring>

namespace {

// Rendered at a time: 0.19 s, small enough to start at once.
constexpr int bufferFrames = 8192;

QByteArray waveHeader(qint64 frames)
{
    const quint32 dataBytes = quint32(frames * MidiRenderer::bytesPerFrame);
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(MidiRenderer::channels)
        << quint32(MidiRenderer::sampleRate)
        << quint32(MidiRenderer::sampleRate * MidiRenderer::bytesPerFrame)
        << quint16(MidiRenderer::bytesPerFrame) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    return header;
}

} // namespace

MidiWaveStream::MidiWaveStream(std::unique_ptr<MidiRenderer> renderer)
    : m_renderer(std::move(renderer)), m_header(waveHeader(m_renderer->frameCount()))
{
}

qint64 MidiWaveStream::seek(qint64 offset)
{
    if (offset < 0 || offset > size())
        return -1;
    m_offset = offset;
    return m_offset;
}

qint64 MidiWaveStream::read(char *out, qint64 maxBytes)
{
    if (maxBytes <= 0 || m_offset >= size())
        return 0;
    if (m_offset < headerBytes) {
        const qint64 count = std::min<qint64>(maxBytes, headerBytes - m_offset);
        std::memcpy(out, m_header.constData() + m_offset, size_t(count));
        m_offset += count;
        return count;
    }
    const qint64 frame = (m_offset - headerBytes) / MidiRenderer::bytesPerFrame;
    if (frame < m_bufferFrame || frame >= m_bufferFrame + m_bufferFrames)
        fillBufferAt(frame);
    if (m_bufferFrames == 0)
        return 0;
    const qint64 from = m_offset - headerBytes - m_bufferFrame * MidiRenderer::bytesPerFrame;
    const qint64 available = m_bufferFrames * MidiRenderer::bytesPerFrame - from;
    const qint64 count = std::min(maxBytes, available);
    std::memcpy(out, reinterpret_cast<const char *>(m_buffer.data()) + from, size_t(count));
    m_offset += count;
    return count;
}

void MidiWaveStream::fillBufferAt(qint64 frame)
{
    m_buffer.resize(size_t(bufferFrames) * MidiRenderer::channels);
    m_renderer->seek(frame);
    m_bufferFrame = m_renderer->position();
    m_bufferFrames = m_renderer->render(m_buffer.data(), bufferFrames);
}
