#include "engine/mpv/MpvSourceGuard.h"

#include "core/SourceRule.h"
#include "core/XmlPlayList.h"
#include "engine/midi/MpvMidiProtocol.h"
#include "engine/mpv/MpvClient.h"

#include <QFileInfo>

MpvSourceGuard::MpvSourceGuard(MpvClient &client, MpvMidiProtocol &midi,
                               const QStringList &soundFonts)
    : m_client(client), m_midi(midi), m_soundFonts(soundFonts)
{
    client.observeInt("playlist-count", [this](std::optional<qint64> count) {
        if (count)
            m_listLength = int(*count);
        scheduleListCheck();
    });
    // Checks what mpv is about to open, whoever asked for it.
    client.addHook("on_load", [this] { onLoad(); });
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
    m_skipped << list.skipped;
    Plan plan;
    for (const QString &entry : list.entries) {
        const QString refused = SourceRule::refusedInXmlList(entry);
        if (!refused.isEmpty())
            noteSkipped(entry, refused);
        else
            plan.entries << entry;
    }
    if (!list.error.isEmpty())
        plan = {{}, tr("the play list %1 cannot be read: %2").arg(name, list.error)};
    else if (plan.entries.isEmpty())
        plan.error = tr("the play list %1 holds no media").arg(name);
    return plan;
}

QString MpvSourceGuard::skippedText() const
{
    if (m_skipped.isEmpty())
        return {};
    if (m_skipped.size() == 1)
        return tr("Skipped 1 entry: %1").arg(m_skipped.first());
    return tr("Skipped %1 entries: %2")
        .arg(m_skipped.size())
        .arg(m_skipped.join(QLatin1String("; ")));
}

void MpvSourceGuard::onLoad()
{
    const QString name = m_client.getString("stream-open-filename");
    const QString refused = SourceRule::refusedOnLoad(name);
    if (!refused.isEmpty()) {
        noteSkipped(name, refused);
        // Nothing can be opened under an empty name; the entry ends with
        // an error before any of it is read, and mpv goes on to the next.
        m_client.setString("stream-open-filename", "");
    } else {
        // MIDI music goes to mpv as the sound the synthesiser makes of it.
        QString midiError;
        const QString sound = m_midi.addressFor(name, m_soundFonts, &midiError);
        if (!midiError.isEmpty()) {
            m_midi.noteError(midiError);
            m_client.setString("stream-open-filename", "");
        } else if (!sound.isEmpty()) {
            // mpv lets entries of a play list open only files and network
            // streams; this address is the engine's own, made just now.
            m_client.setString("file-local-options/load-unsafe-playlists", "yes");
            m_client.setString("stream-open-filename", sound.toUtf8().constData());
        }
    }
    scheduleListCheck();
}

void MpvSourceGuard::scheduleListCheck()
{
    // Once every request made so far has been answered, so the list read
    // is the one the removals apply to; one check covers any number of
    // changes before it.
    if (m_listCheckDue)
        return;
    m_listCheckDue = true;
    m_client.whenIdle([this] {
        m_listCheckDue = false;
        removeRefusedEntries();
    });
}

void MpvSourceGuard::removeRefusedEntries()
{
    // Taken out of mpv's list as soon as it has read a play list, so the
    // list ends where its last allowed entry ends.
    QList<int> refused;
    m_client.readNode("playlist", [&](const mpv_node &list) {
        if (list.format != MPV_FORMAT_NODE_ARRAY)
            return;
        for (int i = 0; i < list.u.list->num; ++i) {
            const mpv_node *file = MpvClient::mapValue(list.u.list->values[i], "filename");
            if (!file || file->format != MPV_FORMAT_STRING)
                continue;
            const QString name = QString::fromUtf8(file->u.string);
            const QString reason = SourceRule::refusedInList(name);
            if (!reason.isEmpty()) {
                refused.prepend(i);
                noteSkipped(name, reason);
            }
        }
    });
    // From the end, so the positions still to remove stay valid.
    for (int index : refused)
        m_client.command({QStringLiteral("playlist-remove"), QString::number(index)});
}

void MpvSourceGuard::noteSkipped(const QString &entry, const QString &reason)
{
    const QString note = QStringLiteral("%1: %2").arg(entry, reason);
    if (!m_skipped.contains(note))
        m_skipped << note;
}
