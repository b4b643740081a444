#pragma once

#include "engine/MediaTrack.h"
#include "engine/mpv/MpvSubtitleFile.h"
#include "engine/mpv/OffThread.h"

#include <QCoreApplication>
#include <functional>
#include <vector>

class MpvClient;
struct mpv_node;

// The streams of the medium mpv has open, read from mpv's track list, and
// the requests that choose one or add a subtitle file. Subtitle files with
// the medium's base name beside it are loaded by mpv itself (sub-auto), and
// their text is decoded with mpv's code-page detection (sub-codepage).
class MpvTracks
{
    Q_DECLARE_TR_FUNCTIONS(MpvTracks)
public:
    // Observes mpv's track list through this client, which must outlive
    // this object; changed is called on the GUI thread after each change
    // of tracks() or problem().
    MpvTracks(MpvClient &client, std::function<void()> changed);

    // The streams as mpv lists them now, cover pictures left out.
    QList<MediaTrack> tracks() const { return m_tracks; }
    // Asks mpv to play (or show) this track; 0 turns subtitles off.
    void select(MediaTrack::Type type, int id);
    // Asks mpv to add this subtitle file to the medium and show it, once
    // the medium is loaded and a look at the disk, off the GUI thread, has
    // found it fit (MpvSubtitleFile); otherwise problem() says why it was
    // not added, or that it was lightened.
    void addSubtitleFile(const QString &path);
    // Adds subtitle files found beside the medium, once it is loaded, the
    // first one shown; mpv does not load these itself when one of them had
    // to be lightened.
    void addBeside(const std::vector<MpvSubtitleFile> &files);
    // Whether the medium is loaded, so files can be added to it now.
    void setLoaded(bool loaded);
    // Why the last subtitle file could not be added; empty when it was.
    QString problem() const { return m_problem; }
    // Forgets the problem, the files waiting and the answers still to come
    // for files added before, for a new medium.
    void forget();

    // The tracks of one of mpv's track-list nodes (also for tests).
    static QList<MediaTrack> parse(const mpv_node *list);

private:
    // Adds the file (shown when select is) or names why it was not.
    void send(const MpvSubtitleFile &file, bool select);
    // Adds the file once checked, or names why not.
    void checked(const MpvSubtitleFile &file);
    void setProblem(const QString &problem);

    MpvClient &m_client;
    std::function<void()> m_changed;
    QList<MediaTrack> m_tracks;
    QString m_problem;
    // Files to add once the medium is loaded, and whether to show each.
    std::vector<std::pair<MpvSubtitleFile, bool>> m_waiting;
    std::vector<OffThread<MpvSubtitleFile>::Ticket> m_checks;
    bool m_loaded = false;
    quint64 m_generation = 0;
};
