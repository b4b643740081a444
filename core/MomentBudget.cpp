#include "core/MomentBudget.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

std::vector<int> MomentBudget::leftOut(std::vector<Line> lines, double most)
{
    // A moment covers most where a line starts.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line &a, const Line &b) { return a.start < b.start; });
    using Showing = std::pair<qint64, double>;
    std::priority_queue<Showing, std::vector<Showing>, std::greater<Showing>> showing;
    double area = 0;
    std::vector<int> out;
    for (const Line &line : lines) {
        if (line.end <= line.start)
            continue;
        for (; !showing.empty() && showing.top().first <= line.start; showing.pop())
            area -= showing.top().second;
        if (area + line.area > most) {
            out.push_back(line.index);
            continue;
        }
        area += line.area;
        showing.push({line.end, line.area});
    }
    return out;
}
