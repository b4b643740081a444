#pragma once

#include <QtGlobal>
#include <vector>

// Which of a subtitle file's lines to leave out so that the lines showing at
// any one moment never cover more of the picture than a bound, later lines
// giving way to earlier ones.
class MomentBudget
{
public:
    // One line: when it shows, in any unit of time, and what it covers.
    struct Line
    {
        qint64 start = 0;
        qint64 end = 0;
        double area = 0;
        // Where the file keeps it; handed back by leftOut().
        int index = 0;
    };

    // The indexes of the lines to leave out so that no moment covers more
    // than most; lines that never show count for nothing.
    static std::vector<int> leftOut(std::vector<Line> lines, double most);
};
