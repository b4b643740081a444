#pragma once

#include "core/MediumFileLookup.h"
#include "core/SkippedEntries.h"
#include "core/SourceRule.h"
#include "engine/mpv/MpvClient.h"
#include "engine/mpv/MpvLoadCheck.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class MpvMidiProtocol;

// Keeps mpv to the sources SourceRule allows, wherever they come from: a
// name handed to the engine, an entry of an XML play list the engine reads
// itself, an entry of a play list mpv reads itself (.m3u, .pls, from a file
// or from the network, within one another) and whatever mpv is about to
// open. It follows which play list each entry of mpv's list came from, so a
// list from the network names only network sources and no list expands into
// itself or without end. Refused entries are named in skippedText(). MIDI
// files leave through the synthesiser: mpv opens the sound MpvMidiProtocol
// makes of them instead. Whatever it must learn from the file system it
// learns on a worker (MpvLoadCheck), holding mpv, never the window. Entries
// are taken out of mpv's list only while mpv waits in its on_load hook, the
// one time its list and its current entry hold still.
class MpvSourceGuard
{
    Q_DECLARE_TR_FUNCTIONS(MpvSourceGuard)
public:
    // What the engine hands mpv for one name.
    struct Plan
    {
        // The entries to open, in order; empty when nothing opens.
        QStringList entries;
        // Why nothing opens; empty when entries are given.
        QString error;
    };

    // Watches mpv's list and the on_load hook of this client; both objects
    // must outlive this one. MIDI sound fonts are looked for in soundFonts.
    MpvSourceGuard(MpvClient &client, MpvMidiProtocol &midi, const QStringList &soundFonts);

    // What opening this name (setUrl) means: its entries when it is an XML
    // play list, else the name resolved; refused entries of the list are
    // named in skippedText().
    Plan plan(const QString &url);

    // The skipped entries as the status names them ("Skipped 1 entry: ...");
    // empty when there are none.
    QString skippedText() const { return m_skipped.text(); }
    // What was left out beside the entry opening now (subtitle files that
    // are too large or no files), one line each; empty when nothing was.
    QString besideText() const { return m_beside.join(u'\n'); }
    // Called with the subtitle files beside the entry opening now when mpv
    // is not to load them itself (MpvLoadCheck::Result::lightenedSubtitles).
    void setBesideSubtitles(std::function<void(const std::vector<MpvSubtitleFile> &)> add)
    {
        m_addBeside = std::move(add);
    }
    // Starts a new medium with nothing skipped; a check still under way for
    // the one before lets mpv go on at once, opening nothing of it.
    void startMedium();
    // How many entries mpv's list holds now.
    int listLength() const { return m_listLength; }
    // Learns from an event the client passed on which entry is opening and
    // which entries a play list has put in its place.
    void onEvent(const mpv_event &event);

private:
    using Origin = std::shared_ptr<const SourceRule::ListOrigin>;

    // mpv is about to open an entry and waits for done: load() it once no
    // request of the engine is under way.
    void onLoad(MpvClient::HookDone done);
    // Clears mpv's list of what must not open, then lets the entry open,
    // refuses it, or starts the file-system check it waits for.
    void load(MpvClient::HookDone done);
    // Lets mpv go on with what the file-system check found of name.
    void finishLoad(const QString &name, const MpvLoadCheck::Result &result);
    // Lets a waiting mpv go on, opening openInstead when it is given ("" for
    // nothing at all).
    void releaseCheck(const char *openInstead);
    // One entry of mpv's list as the list check sees it.
    struct ListEntry
    {
        qint64 id = -1;
        QString name;
        bool refused = false;
    };

    // Reads mpv's whole list into m_list.
    void readList();
    // Marks the entries of m_list that must not open and names them; starts
    // the look for local files not looked for yet.
    void judgeList();
    // Takes the marked entries out of mpv's list and of m_list; only while
    // mpv waits in its on_load hook.
    void removeRefusedEntries();
    // The play list this entry came from, or none.
    Origin originOf(qint64 entryId) const;
    // Why an entry of mpv's list must not open, or an empty reason; name
    // becomes what the status calls it.
    QString refusal(QString &name, const Origin &origin) const;

    MpvClient &m_client;
    MpvMidiProtocol &m_midi;
    QStringList m_soundFonts;
    SkippedEntries m_skipped;
    QStringList m_beside;
    std::function<void(const std::vector<MpvSubtitleFile> &)> m_addBeside;
    int m_listLength = 0;

    // mpv's list as last read, in order, with what has been found against
    // its entries; it is read again once mpv or the engine changed it.
    std::vector<ListEntry> m_list;
    bool m_listChanged = true;
    // Whether entries may be refused that were not when last looked at.
    bool m_judgeDue = false;
    // The play list each entry that came from one sits in, by entry id.
    std::unordered_map<qint64, Origin> m_origins;
    // Entries of text play lists read for this medium that mpv will open
    // under another name than written: by that name, the written one and
    // why it is refused.
    QHash<QString, std::pair<QString, QString>> m_hostFiles;
    // The entry opening now and the name it was opened under.
    qint64 m_currentEntry = -1;
    QString m_currentName;
    // The file-system check mpv waits for, and how to let it go on.
    MpvLoadCheck::Ticket m_check;
    MpvClient::HookDone m_checkDone;
    // Local entries whose files are being looked for, or were, by id; the
    // paths found to be no medium file, and why.
    std::unordered_set<qint64> m_lookedAt;
    QHash<QString, QString> m_noMediumFiles;
    std::vector<OffThread<MediumFileLookup::Entries>::Ticket> m_fileChecks;
    // Gone with this object, for work posted to run later.
    std::shared_ptr<int> m_alive = std::make_shared<int>();
};
