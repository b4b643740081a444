#pragma once

#include <QByteArray>

// Makes a styled subtitle script (ASS or SSA, told by its content) cheap
// enough to draw. Its text is drawn at the picture's size, every line showing
// at a moment at once, so a script of many large, blurred, bordered lines
// takes gigabytes. Values that size what is drawn are held to limits far
// beyond what real subtitles use, relative to the script's own height, and
// at no moment do lines show whose drawing would cover more than a bounded
// area; the lines left out are commented out. Everything else stays byte for
// byte, so the text's code page is still told as before.
class StyledSubtitleBound
{
public:
    // How many pixels of the picture the lines showing at one moment may
    // cover when drawn: some 20 full 1920x1080 pictures of text, which the
    // renderer draws in about 200 MB.
    static constexpr double maxMomentPixels = 40.0 * 1024 * 1024;

    // What bound() made of a script.
    struct Result
    {
        // The script to draw.
        QByteArray script;
        // How many values were held to their limit.
        int clampedValues = 0;
        // How many lines were left out as too much for their moment.
        int droppedLines = 0;

        // Whether the script differs from the file's.
        bool changed() const { return clampedValues > 0 || droppedLines > 0; }
    };

    // Whether a file beginning with these bytes is a styled script, whatever
    // its name says.
    static bool isStyled(const QByteArray &head);
    // The script with its values clamped and its heaviest moments thinned,
    // for a picture at most this many pixels high.
    static Result bound(const QByteArray &script, int pictureHeight = 1024);

    // The text of one line with the values of its override tags held to their
    // limits for a script this many pixels high; malformed tags and text
    // outside braces stay as they are. *clamped counts the values held.
    static QByteArray clampText(const QByteArray &text, double height, int *clamped = nullptr);
};
