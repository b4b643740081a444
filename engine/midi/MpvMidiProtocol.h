#pragma once

#include "core/MidiSong.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <mutex>

struct mpv_handle;

// Lets mpv play MIDI files, which it cannot read itself: a private stream
// protocol of one mpv instance serves a song as a WAV file whose sound the
// synthesiser makes while mpv reads it (MidiWaveStream), so mpv decodes,
// seeks, times and ends it like any other medium.
//
// An address of the protocol is made for one song at a time by offer() and
// can be opened once; nothing else leads to a song. The engine's own check
// of what mpv opens refuses the protocol's scheme from play lists and URLs.
class MpvMidiProtocol
{
public:
    // The private scheme; its addresses are "<scheme>://<random token>".
    static const char *scheme();

    // Registers the protocol with this mpv instance, which must be
    // destroyed before this object.
    explicit MpvMidiProtocol(mpv_handle *mpv);

    // What a look at one local file found.
    struct Inspection
    {
        // The song, when the file holds MIDI music that can be played.
        std::shared_ptr<const MidiSong> song;
        // The sound font it is played with.
        QString soundFont;
        QString fileName;
        // Why the file is MIDI music that cannot be played (with its name);
        // empty otherwise.
        QString error;
    };

    // Looks at a local file's content for MIDI music and reads the song when
    // it is, with a sound font from soundFonts (looked for in order). Reads
    // the file, which may take as long as the file system makes it: call it
    // on a worker thread, never on the GUI thread.
    static Inspection inspect(const QString &path, const QStringList &soundFonts);
    // The address mpv should open instead of an inspected file that holds a
    // song; an empty string for any other file.
    QString addressFor(const Inspection &inspection);

    // Keeps why a file could not be played, for takeError().
    void noteError(const QString &error);
    // Why mpv could not open an offered song, taken away with the call;
    // empty when nothing went wrong since the last call.
    QString takeError();

private:
    struct Offer
    {
        std::shared_ptr<const MidiSong> song;
        QString soundFont;
        QString fileName;
    };

    QString offer(Offer offer);
    static int open(void *protocol, char *uri, struct mpv_stream_cb_info *info);

    std::mutex m_mutex;
    // Offers not opened yet, by token, and the order they came in.
    std::map<QString, Offer> m_offers;
    QStringList m_order;
    QString m_error;
};
