#pragma once

#include "engine/SeekSlider.h"
#include "engine/TrackMenuButton.h"

#include <QLabel>
#include <QSlider>
#include <QToolButton>

// The parts of the engine's control bar inside this widget (the bar itself,
// the engine's area or a window holding it), found by their object names;
// a part that is missing is null.
struct ControlBarParts
{
    explicit ControlBarParts(QWidget *root)
        : seek(root->findChild<SeekSlider *>(QStringLiteral("seekSlider"))),
          playPause(root->findChild<QToolButton *>(QStringLiteral("playPauseButton"))),
          stop(root->findChild<QToolButton *>(QStringLiteral("stopButton"))),
          time(root->findChild<QLabel *>(QStringLiteral("timeLabel"))),
          volume(root->findChild<QSlider *>(QStringLiteral("volumeSlider"))),
          audio(root->findChild<TrackMenuButton *>(QStringLiteral("audioTrackButton"))),
          subtitles(root->findChild<TrackMenuButton *>(QStringLiteral("subtitleButton"))),
          fullScreen(root->findChild<QToolButton *>(QStringLiteral("fullScreenButton")))
    {
    }

    // Whether every part was found.
    bool complete() const
    {
        return seek && playPause && stop && time && volume && audio && subtitles && fullScreen;
    }
    // The elapsed and total time as shown, for example "0:07 / 1:05:00".
    QString timeText() const { return time ? time->text() : QString(); }

    SeekSlider *seek;
    QToolButton *playPause;
    QToolButton *stop;
    QLabel *time;
    QSlider *volume;
    TrackMenuButton *audio;
    TrackMenuButton *subtitles;
    QToolButton *fullScreen;
};
