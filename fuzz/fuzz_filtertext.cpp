// The dialog filter-text converter. Beyond not crashing, each pair must offer
// at least one pattern, and the name filter built from a pair must give its
// patterns back when read the way QFileDialog reads it.

#include "core/FilterText.h"
#include "fuzz/FuzzCheck.h"

#include <QRegularExpression>

namespace {

// How QFileDialog takes a name filter apart: the patterns are the blank-
// separated words inside the final parentheses, if every character there is
// one it allows; otherwise the whole filter is one pattern.
QStringList patternsAsQtReadsThem(const QString &filter)
{
    static const QRegularExpression qtFilter(
        QStringLiteral("^(.*)\\(([a-zA-Z0-9_.,*? +;#\\-\\[\\]@\\{\\}/!<>\\$%&=^~:\\|]*)\\)$"));
    const QRegularExpressionMatch match = qtFilter.match(filter);
    return (match.hasMatch() ? match.captured(2) : filter).split(u' ', Qt::SkipEmptyParts);
}

// True when QFileDialog can hold this pattern at all: only the characters
// its filter syntax allows, and no blank, which it takes as a separator.
bool qtCanHold(const QString &pattern)
{
    static const QRegularExpression allowed(
        QStringLiteral("^[a-zA-Z0-9_.,*?+;#\\-\\[\\]@\\{\\}/!<>\\$%&=^~:\\|]+$"));
    return allowed.match(pattern).hasMatch();
}

// True when the text is one line as QFileDialog's pattern sees it: a
// description with a line break would hide the patterns from it.
bool oneLine(const QString &text)
{
    static const QRegularExpression line(QStringLiteral("\\A.*\\z"));
    return line.match(text).hasMatch();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    const FilterText filter(text);
    const QList<FilterText::Pair> &pairs = filter.pairs();
    const QStringList nameFilters = filter.nameFilters();

    fuzzCheck(text.isEmpty() == pairs.isEmpty(), "only an empty text gives no pairs", text);
    fuzzCheck(nameFilters.size() == pairs.size(), "one name filter per pair", text);
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        const FilterText::Pair &pair = pairs.at(i);
        fuzzCheck(!pair.patterns.isEmpty(), "every pair offers a pattern", text);
        bool holdable = true;
        for (const QString &pattern : pair.patterns) {
            fuzzCheck(!pattern.isEmpty() && pattern == pattern.trimmed(),
                      "patterns are not empty and carry no padding", pattern);
            holdable = holdable && qtCanHold(pattern);
        }
        fuzzCheck(nameFilters.at(i) == FilterText::nameFilter(pair),
                  "nameFilters() builds each filter as nameFilter() does", nameFilters.at(i));
        fuzzCheck(oneLine(pair.description), "descriptions are one line", pair.description);
        if (holdable)
            fuzzCheck(patternsAsQtReadsThem(nameFilters.at(i)) == pair.patterns,
                      "QFileDialog reads back the pair's patterns", nameFilters.at(i));
    }
    return 0;
}
