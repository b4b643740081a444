#pragma once

#include "core/StyledSubtitleBound.h"

#include <QByteArray>

// Makes a subtitle file of plain timed text (SubRip, WebVTT) cheap enough to
// draw, as StyledSubtitleBound does for styled scripts: font sizes beyond a
// picture's height are held to it, and the cues that would make a moment
// cover more of the picture than StyledSubtitleBound::maxMomentPixels are
// left out. Everything else stays byte for byte.
class TimedTextBound
{
public:
    // Whether a file beginning with these bytes holds timed cues.
    static bool isTimed(const QByteArray &head);
    // The text with its sizes clamped and its heaviest moments thinned, for
    // a picture at most this many pixels high.
    static StyledSubtitleBound::Result bound(const QByteArray &text, int pictureHeight = 1024);
};
