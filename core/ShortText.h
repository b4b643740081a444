#pragma once

#include <QString>

// Text that names what a user or another program handed over, cut down
// before anything lays it out: a name may be as long as a path can be, a
// message box cannot wrap a name, and laying out a line of megabytes holds
// the window for seconds.
struct ShortText
{
    // The longest run of characters without a blank (a name) left whole.
    static constexpr qsizetype longestWord = 80;
    // The longest line left whole.
    static constexpr qsizetype longestLine = 2000;

    // This text with each longer name, then each longer line, shortened to
    // its start, "...", and its end; sentences around a name stay.
    static QString lines(const QString &text);
};
