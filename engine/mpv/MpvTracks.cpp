#include "engine/mpv/MpvTracks.h"

#include "engine/mpv/MpvClient.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace {

QString text(const mpv_node *node)
{
    return node && node->format == MPV_FORMAT_STRING ? QString::fromUtf8(node->u.string)
                                                     : QString();
}

bool flag(const mpv_node *node)
{
    return node && node->format == MPV_FORMAT_FLAG && node->u.flag;
}

} // namespace

MpvTracks::MpvTracks(MpvClient &client, std::function<void()> changed)
    : m_client(client), m_changed(std::move(changed))
{
    m_client.observeNode("track-list", [this](const mpv_node *list) {
        QList<MediaTrack> now = parse(list);
        if (now == m_tracks)
            return;
        m_tracks = std::move(now);
        m_changed();
    });
}

QList<MediaTrack> MpvTracks::parse(const mpv_node *list)
{
    QList<MediaTrack> tracks;
    if (!list || list->format != MPV_FORMAT_NODE_ARRAY || !list->u.list)
        return tracks;
    for (int i = 0; i < list->u.list->num; ++i) {
        const mpv_node &entry = list->u.list->values[i];
        const mpv_node *id = MpvClient::mapValue(entry, "id");
        const QString type = text(MpvClient::mapValue(entry, "type"));
        if (!id || id->format != MPV_FORMAT_INT64 || id->u.int64 <= 0 || id->u.int64 > INT_MAX)
            continue;
        MediaTrack track;
        if (type == QLatin1String("audio"))
            track.type = MediaTrack::Type::Audio;
        else if (type == QLatin1String("sub"))
            track.type = MediaTrack::Type::Subtitle;
        else if (type == QLatin1String("video") && !flag(MpvClient::mapValue(entry, "albumart")))
            track.type = MediaTrack::Type::Video;
        else
            continue;
        track.id = int(id->u.int64);
        track.language = text(MpvClient::mapValue(entry, "lang"));
        track.title = text(MpvClient::mapValue(entry, "title"));
        track.selected = flag(MpvClient::mapValue(entry, "selected"));
        track.external = flag(MpvClient::mapValue(entry, "external"));
        tracks << track;
    }
    return tracks;
}

void MpvTracks::select(MediaTrack::Type type, int id)
{
    const char *property = type == MediaTrack::Type::Audio      ? "aid"
                           : type == MediaTrack::Type::Subtitle ? "sid"
                                                                : "vid";
    bool known = id == 0 && type == MediaTrack::Type::Subtitle;
    for (const MediaTrack &track : std::as_const(m_tracks))
        known = known || (track.type == type && track.id == id);
    if (!known)
        return;
    m_client.send({QStringLiteral("set"), QLatin1String(property),
                   id == 0 ? QStringLiteral("no") : QString::number(id)});
}

void MpvTracks::addSubtitleFile(const QString &path)
{
    // mpv would read a pipe, or a file of gigabytes, for as long as it
    // takes, holding every request after it.
    m_checks.push_back(OffThread<MpvSubtitleFile>::start(
        [path, height = MpvSubtitleFile::largestPictureHeight()] {
            return MpvSubtitleFile::prepare(path, height);
        },
        [this](const MpvSubtitleFile &file) { checked(file); }));
}

void MpvTracks::addBeside(const std::vector<MpvSubtitleFile> &files)
{
    for (size_t i = 0; i < files.size(); ++i) {
        // What was lightened is named with the medium's other messages.
        MpvSubtitleFile file = files[i];
        file.note.clear();
        if (m_loaded)
            send(file, i == 0);
        else
            m_waiting.emplace_back(file, i == 0);
    }
}

void MpvTracks::checked(const MpvSubtitleFile &file)
{
    if (!file.refused.isEmpty()) {
        setProblem(tr("The subtitle file %1 was not added: %2.")
                       .arg(QDir::toNativeSeparators(file.path), file.refused));
        return;
    }
    if (m_loaded)
        send(file, true);
    else
        m_waiting.emplace_back(file, true);
}

void MpvTracks::setLoaded(bool loaded)
{
    m_loaded = loaded;
    if (!loaded)
        return;
    const auto waiting = std::exchange(m_waiting, {});
    for (const auto &[file, select] : waiting)
        send(file, select);
}

void MpvTracks::forget()
{
    m_problem.clear();
    m_waiting.clear();
    m_checks.clear();
    m_loaded = false;
    ++m_generation;
}

void MpvTracks::send(const MpvSubtitleFile &file, bool select)
{
    const QString shown = QDir::toNativeSeparators(file.path);
    // A lightened script has no name of its own: the track keeps the file's.
    m_client.send(
        {QStringLiteral("sub-add"), file.address(),
         select ? QStringLiteral("select") : QStringLiteral("auto"),
         QFileInfo(file.path).fileName()},
        [this, shown, note = file.note, generation = m_generation](int error, const mpv_node *) {
            if (generation != m_generation)
                return;
            setProblem(error < 0 ? tr("The subtitle file %1 could not be read.").arg(shown) : note);
        });
}

void MpvTracks::setProblem(const QString &problem)
{
    if (problem == m_problem)
        return;
    m_problem = problem;
    m_changed();
}
