#include "engine/midi/MpvMidiProtocol.h"

#include "core/RegularFile.h"
#include "engine/EngineLog.h"
#include "engine/midi/MidiWaveStream.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <mpv/client.h>
#include <mpv/stream_cb.h>

namespace {

// Offers that mpv never opened (a medium replaced while opening) are
// dropped beyond this many.
constexpr int maxOffers = 8;

int64_t readStream(void *cookie, char *buffer, uint64_t bytes)
{
    return static_cast<MidiWaveStream *>(cookie)->read(buffer,
                                                       qint64(std::min<uint64_t>(bytes, 1 << 20)));
}

int64_t seekStream(void *cookie, int64_t offset)
{
    const qint64 at = static_cast<MidiWaveStream *>(cookie)->seek(offset);
    return at < 0 ? int64_t(MPV_ERROR_GENERIC) : at;
}

int64_t streamSize(void *cookie)
{
    return static_cast<MidiWaveStream *>(cookie)->size();
}

void closeStream(void *cookie)
{
    delete static_cast<MidiWaveStream *>(cookie);
}

} // namespace

const char *MpvMidiProtocol::scheme()
{
    return "corvelmidi";
}

MpvMidiProtocol::MpvMidiProtocol(mpv_handle *mpv)
{
    const int error = mpv_stream_cb_add_ro(mpv, scheme(), this, &MpvMidiProtocol::open);
    if (error < 0)
        qCWarning(corvelEngine, "MIDI music cannot be played: %s", mpv_error_string(error));
}

MpvMidiProtocol::Inspection MpvMidiProtocol::inspect(const QString &path,
                                                     const QStringList &soundFonts)
{
    // Only regular files: reading a pipe or a device could block.
    const QFileInfo info(path);
    Inspection inspection;
    if (!info.isFile())
        return inspection;
    QFile file;
    if (!RegularFile::open(file, path) || !MidiSong::looksLikeMidi(file.read(12)))
        return inspection;
    file.close();

    inspection.fileName = info.fileName();
    const QString soundFont = MidiRenderer::findSoundFont(soundFonts);
    if (soundFont.isEmpty()) {
        inspection.error =
            QStringLiteral("%1 is MIDI music, which needs a General MIDI sound font, and none "
                           "was found (the timgm6mb-soundfont package installs one)")
                .arg(info.fileName());
        return inspection;
    }
    auto song = std::make_shared<MidiSong>(MidiSong::readFile(path));
    if (!song->isValid()) {
        inspection.error = QStringLiteral("%1 is not MIDI music that can be played: %2")
                               .arg(info.fileName(), song->error());
        return inspection;
    }
    inspection.song = std::move(song);
    inspection.soundFont = soundFont;
    return inspection;
}

QString MpvMidiProtocol::addressFor(const Inspection &inspection)
{
    if (!inspection.song)
        return {};
    return offer({inspection.song, inspection.soundFont, inspection.fileName});
}

void MpvMidiProtocol::noteError(const QString &error)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_error = error;
}

QString MpvMidiProtocol::takeError()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    QString error;
    error.swap(m_error);
    return error;
}

QString MpvMidiProtocol::offer(Offer offer)
{
    QRandomGenerator *random = QRandomGenerator::system();
    const QString token =
        QString::number(random->generate64(), 16) + QString::number(random->generate64(), 16);
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_offers[token] = std::move(offer);
    m_order << token;
    while (m_order.size() > maxOffers)
        m_offers.erase(m_order.takeFirst());
    return QStringLiteral("%1://%2").arg(QLatin1String(scheme()), token);
}

// Runs on one of mpv's threads.
int MpvMidiProtocol::open(void *protocol, char *uri, mpv_stream_cb_info *info)
{
    auto *self = static_cast<MpvMidiProtocol *>(protocol);
    const QString prefix = QStringLiteral("%1://").arg(QLatin1String(scheme()));
    const QString address = QString::fromUtf8(uri);
    if (!address.startsWith(prefix))
        return MPV_ERROR_LOADING_FAILED;
    Offer offer;
    {
        const std::lock_guard<std::mutex> lock(self->m_mutex);
        const auto found = self->m_offers.find(address.mid(prefix.size()));
        if (found == self->m_offers.end())
            return MPV_ERROR_LOADING_FAILED;
        offer = std::move(found->second);
        self->m_offers.erase(found);
        self->m_order.removeOne(address.mid(prefix.size()));
    }

    // Loading the sound font takes a moment; it happens here, off the
    // window's thread.
    auto renderer = std::make_unique<MidiRenderer>(offer.song, offer.soundFont);
    if (!renderer->error().isEmpty()) {
        const std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_error =
            QStringLiteral("%1 cannot be played: %2").arg(offer.fileName, renderer->error());
        return MPV_ERROR_LOADING_FAILED;
    }
    info->cookie = new MidiWaveStream(std::move(renderer));
    info->read_fn = readStream;
    info->seek_fn = seekStream;
    info->size_fn = streamSize;
    info->close_fn = closeStream;
    info->cancel_fn = nullptr;
    return 0;
}
