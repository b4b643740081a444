#pragma once

#include "engine/MediaTrack.h"

#include <QToolButton>

class QMenu;

// A button of the engine's bar whose menu lists the medium's tracks of one
// type, by language and title, the one playing checked; subtitles also offer
// "Off". It is shown only when there is a choice: two audio tracks or more,
// or any subtitle track.
class TrackMenuButton : public QToolButton
{
    Q_OBJECT
public:
    // A button for tracks of this type (Audio or Subtitle).
    TrackMenuButton(MediaTrack::Type type, QWidget *parent = nullptr);

    // Offers the tracks of its type among these, and shows or hides itself.
    void setTracks(const QList<MediaTrack> &tracks);
    // The menu, for tests and for keys.
    QMenu *trackMenu() const { return m_menu; }

signals:
    // The user chose the track with this id; 0 is "Off".
    void trackChosen(MediaTrack::Type type, int id);

private:
    MediaTrack::Type m_type;
    QMenu *m_menu;
    QList<MediaTrack> m_tracks;
    bool m_hasChoice = false;
};
