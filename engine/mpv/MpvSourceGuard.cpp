#include "engine/mpv/MpvSourceGuard.h"

#include "core/MediaSource.h"
#include "core/MediumFileLookup.h"
#include "core/XmlPlayList.h"
#include "engine/midi/MpvMidiProtocol.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <iterator>

MpvSourceGuard::MpvSourceGuard(MpvClient &client, MpvMidiProtocol &midi,
                               const QStringList &soundFonts)
    : m_client(client), m_midi(midi), m_soundFonts(soundFonts)
{
    client.observeInt("playlist-count", [this](std::optional<qint64> count) {
        if (count)
            m_listLength = int(*count);
        // The guard's own removals leave the list as it knows it.
        if (!count || size_t(*count) != m_list.size())
            m_listChanged = true;
    });
    // Checks what mpv is about to open, whoever asked for it.
    client.addHook("on_load", [this](MpvClient::HookDone done) { onLoad(std::move(done)); });
}

MpvSourceGuard::Plan MpvSourceGuard::plan(const QString &url)
{
    const SourceRule::Decision decision = SourceRule::forUrl(url);
    if (!decision.error.isEmpty())
        return {{}, decision.error};
    if (!decision.local || !isXmlPlayList(decision.location))
        return {{decision.location}, {}};

    // mpv reads no XML play lists: it gets their entries as one list.
    const QString name = QFileInfo(decision.location).fileName();
    const XmlPlayListResult list = readXmlPlayList(decision.location);
    for (const QString &note : list.skipped)
        m_skipped.add(note);
    Plan plan;
    for (const QString &entry : list.entries) {
        const QString refused = SourceRule::refusedInXmlList(entry);
        if (!refused.isEmpty())
            m_skipped.add(entry, refused);
        else
            plan.entries << entry;
    }
    if (!list.error.isEmpty())
        plan = {{}, tr("the play list %1 cannot be read: %2").arg(name, list.error)};
    else if (plan.entries.isEmpty())
        plan.error = tr("the play list %1 holds no media").arg(name);
    return plan;
}

void MpvSourceGuard::startMedium()
{
    m_skipped.clear();
    m_beside.clear();
    m_hostFiles.clear();
    releaseCheck("");
    m_fileChecks.clear();
    m_noMediumFiles.clear();
    m_lookedAt.clear();
    m_listChanged = true;
}

void MpvSourceGuard::onEvent(const mpv_event &event)
{
    if (event.event_id == MPV_EVENT_START_FILE) {
        m_currentEntry = static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id;
        m_currentName.clear();
        return;
    }
    if (event.event_id != MPV_EVENT_END_FILE)
        return;
    const auto *end = static_cast<const mpv_event_end_file *>(event.data);
    const Origin ended = originOf(end->playlist_entry_id);
    m_origins.erase(end->playlist_entry_id);
    // A play list has been read: its entries took its place.
    if (end->reason != MPV_END_FILE_REASON_REDIRECT || end->playlist_insert_num_entries <= 0 ||
        end->playlist_entry_id != m_currentEntry || m_currentName.isEmpty())
        return;
    const auto inside = std::make_shared<const SourceRule::ListOrigin>(
        (ended ? *ended : SourceRule::ListOrigin()).inside(m_currentName));
    for (int i = 0; i < end->playlist_insert_num_entries; ++i)
        m_origins[end->playlist_insert_id + i] = inside;
    m_listChanged = true;
}

MpvSourceGuard::Origin MpvSourceGuard::originOf(qint64 entryId) const
{
    const auto found = m_origins.find(entryId);
    return found == m_origins.end() ? Origin() : found->second;
}

void MpvSourceGuard::onLoad(MpvClient::HookDone done)
{
    // Once no request of the engine is under way, nothing but this guard
    // changes mpv's list until the hook is done.
    const std::weak_ptr<int> alive = m_alive;
    m_client.whenIdle([this, alive, done = std::move(done)] {
        if (alive.lock())
            load(done);
    });
}

void MpvSourceGuard::load(MpvClient::HookDone done)
{
    const QString name = m_client.getString("stream-open-filename");
    m_currentName = name;
    m_beside.clear();
    removeRefusedEntries();
    QString shown = name;
    QString refused = refusal(shown, originOf(m_currentEntry));
    if (refused.isEmpty())
        refused = m_noMediumFiles.value(name);
    if (!refused.isEmpty()) {
        m_skipped.add(shown, refused);
        // Nothing can be opened under an empty name; the entry ends with
        // an error before any of it is read, and mpv goes on to the next.
        m_client.setString("stream-open-filename", "");
        done();
        return;
    }
    // Network sources need no look at the disk.
    if (MediaSource::isNetworkAddress(name)) {
        done();
        return;
    }
    releaseCheck("");
    m_checkDone = std::move(done);
    m_check = MpvLoadCheck::start(
        name, m_soundFonts, MpvSubtitleFile::largestPictureHeight(),
        [this, name](const MpvLoadCheck::Result &result) { finishLoad(name, result); });
}

QString MpvSourceGuard::refusal(QString &name, const Origin &origin) const
{
    if (!m_hostFiles.isEmpty() && name.startsWith(u'/')) {
        const auto found = m_hostFiles.constFind(QDir::cleanPath(name));
        if (found != m_hostFiles.constEnd()) {
            name = found->first;
            return found->second;
        }
    }
    return SourceRule::refusedInList(name, origin ? *origin : SourceRule::ListOrigin());
}

void MpvSourceGuard::finishLoad(const QString &name, const MpvLoadCheck::Result &result)
{
    for (const HostFileEntries::Entry &entry : result.hostFiles)
        m_hostFiles.insert(entry.opened, {entry.written, entry.reason});
    if (!result.refused.isEmpty()) {
        m_skipped.add(name, result.refused);
        releaseCheck("");
        return;
    }
    m_beside = result.refusedSubtitles;
    for (const MpvSubtitleFile &file : result.lightenedSubtitles)
        if (!file.note.isEmpty())
            m_beside << file.note;
    if (!result.lightenedSubtitles.empty() && m_addBeside)
        m_addBeside(result.lightenedSubtitles);
    if (!result.sideFilesSafe || !m_beside.isEmpty()) {
        // Each of these opens files beside the medium without asking.
        for (const char *option :
             {"file-local-options/sub-auto", "file-local-options/audio-file-auto",
              "file-local-options/cover-art-auto"})
            m_client.setString(option, "no");
        m_client.setString("file-local-options/ordered-chapters", "no");
    }
    if (!result.midi.error.isEmpty()) {
        m_midi.noteError(result.midi.error);
        releaseCheck("");
        return;
    }
    const QString sound = m_midi.addressFor(result.midi);
    if (sound.isEmpty()) {
        releaseCheck(nullptr);
        return;
    }
    // mpv lets entries of a play list open only files and network streams;
    // this address is the engine's own, made just now.
    m_client.setString("file-local-options/load-unsafe-playlists", "yes");
    releaseCheck(sound.toUtf8().constData());
}

void MpvSourceGuard::releaseCheck(const char *openInstead)
{
    if (!m_checkDone)
        return;
    m_check.reset();
    if (openInstead)
        m_client.setString("stream-open-filename", openInstead);
    const MpvClient::HookDone done = std::move(m_checkDone);
    m_checkDone = {};
    done();
}

void MpvSourceGuard::readList()
{
    m_list.clear();
    m_client.readNode("playlist", [&](const mpv_node &list) {
        if (list.format != MPV_FORMAT_NODE_ARRAY)
            return;
        m_list.resize(size_t(list.u.list->num));
        for (int i = 0; i < list.u.list->num; ++i) {
            const mpv_node &item = list.u.list->values[i];
            const mpv_node *file = MpvClient::mapValue(item, "filename");
            const mpv_node *id = MpvClient::mapValue(item, "id");
            ListEntry &entry = m_list[size_t(i)];
            if (file && file->format == MPV_FORMAT_STRING)
                entry.name = QString::fromUtf8(file->u.string);
            entry.id = id && id->format == MPV_FORMAT_INT64 ? id->u.int64 : -1;
        }
    });
    m_listChanged = false;
    m_judgeDue = true;
}

void MpvSourceGuard::judgeList()
{
    MediumFileLookup::Entries local;
    for (ListEntry &entry : m_list) {
        if (entry.refused || entry.id == m_currentEntry)
            continue;
        QString shown = entry.name;
        QString reason = refusal(shown, originOf(entry.id));
        if (reason.isEmpty())
            reason = m_noMediumFiles.value(entry.name);
        if (!reason.isEmpty()) {
            entry.refused = true;
            m_skipped.add(shown, reason);
        } else if (entry.name.startsWith(u'/') && m_lookedAt.insert(entry.id).second) {
            local.emplace_back(entry.id, entry.name);
        }
    }
    if (local.empty())
        return;
    // Whether the files are there is for the disk to say, off this thread;
    // what it finds is taken out at the next entry mpv opens.
    auto paths = std::make_shared<std::unordered_map<qint64, QString>>(local.begin(), local.end());
    m_fileChecks.push_back(OffThread<MediumFileLookup::Entries>::start(
        [local = std::move(local)] { return MediumFileLookup::noMediumFiles(local); },
        [this, paths](const MediumFileLookup::Entries &found) {
            for (const auto &[id, reason] : found)
                m_noMediumFiles.insert(paths->at(id), reason);
            m_judgeDue = m_judgeDue || !found.empty();
        }));
}

void MpvSourceGuard::removeRefusedEntries()
{
    // Taken out of mpv's list as soon as it has read a play list, so the
    // list ends where its last allowed entry ends, and mpv never spends
    // its time on them. The current entry stays: load() deals with it.
    if (m_listChanged || m_client.getString("playlist-count").toInt() != int(m_list.size()))
        readList();
    if (!m_judgeDue)
        return;
    m_judgeDue = false;
    judgeList();
    const int refused = int(std::count_if(m_list.begin(), m_list.end(),
                                          [](const ListEntry &entry) { return entry.refused; }));
    if (refused == 0)
        return;
    std::vector<ListEntry> entries;
    entries.swap(m_list);
    // mpv removes one entry at a time, each removal moving every entry after
    // it; with more to remove than to keep, the list is made again instead.
    const int kept = int(entries.size()) - refused;
    if (refused <= kept) {
        // From the end, so the positions still to remove stay valid.
        for (int i = int(entries.size()) - 1; i >= 0; --i) {
            if (entries[size_t(i)].refused) {
                m_origins.erase(entries[size_t(i)].id);
                m_client.command({QStringLiteral("playlist-remove"), QString::number(i)});
            }
        }
        std::copy_if(entries.begin(), entries.end(), std::back_inserter(m_list),
                     [](const ListEntry &entry) { return !entry.refused; });
        return;
    }
    // Everything but the current entry goes; the kept ones come back in
    // order, and the current one moves back between them.
    m_client.command({QStringLiteral("playlist-clear")});
    int before = 0;
    bool currentSeen = false;
    for (const ListEntry &entry : entries) {
        if (entry.id == m_currentEntry) {
            currentSeen = true;
            m_list.push_back(entry);
            continue;
        }
        const Origin origin = originOf(entry.id);
        m_origins.erase(entry.id);
        if (entry.refused)
            continue;
        const bool looked = m_lookedAt.count(entry.id) > 0;
        ListEntry again{-1, entry.name, false};
        m_client.command({QStringLiteral("loadfile"), entry.name, QStringLiteral("append")},
                         [&](const mpv_node &result) {
                             const mpv_node *id = MpvClient::mapValue(result, "playlist_entry_id");
                             if (!id || id->format != MPV_FORMAT_INT64)
                                 return;
                             again.id = id->u.int64;
                             if (origin)
                                 m_origins[again.id] = origin;
                             if (looked)
                                 m_lookedAt.insert(again.id);
                         });
        m_list.push_back(again);
        if (!currentSeen)
            ++before;
    }
    if (currentSeen && before > 0)
        m_client.command(
            {QStringLiteral("playlist-move"), QStringLiteral("0"), QString::number(before + 1)});
}
