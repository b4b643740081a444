#pragma once

#include <QCoreApplication>
#include <QStringList>

class MpvClient;
class MpvMidiProtocol;

// Keeps mpv to the sources SourceRule allows, wherever they come from: a
// name handed to the engine, an entry of an XML play list the engine reads
// itself, an entry of a play list mpv reads itself (.m3u, .pls) and whatever
// mpv is about to open. Refused entries are named in skippedText(). MIDI files
// leave through the synthesiser: mpv opens the sound MpvMidiProtocol makes
// of them instead.
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
    QString skippedText() const;
    // Starts a new medium with nothing skipped.
    void clearSkipped() { m_skipped.clear(); }
    // How many entries mpv's list holds now.
    int listLength() const { return m_listLength; }

private:
    void onLoad();
    void scheduleListCheck();
    void removeRefusedEntries();
    void noteSkipped(const QString &entry, const QString &reason);

    MpvClient &m_client;
    MpvMidiProtocol &m_midi;
    QStringList m_soundFonts;
    QStringList m_skipped;
    int m_listLength = 0;
    bool m_listCheckDue = false;
};
