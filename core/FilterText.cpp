#include "core/FilterText.h"

namespace {

// The name patterns of one pattern field. A field without any still offers
// something to pick, and every file is the least surprising choice.
QStringList patternsOf(const QString &field)
{
    QStringList patterns;
    const QStringList parts = field.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        // " *.m2ts" must match .m2ts files: the blank is padding, not a name.
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        // "*.*" meant every file where it was written; on Linux it would skip
        // names without a dot.
        patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    if (patterns.isEmpty())
        patterns << QStringLiteral("*");
    return patterns;
}

// The description on one line. QFileDialog finds a filter's patterns only
// when the whole filter is one line, so a break would turn the entire filter
// into a single pattern that matches nothing.
QString oneLine(QString description)
{
    description.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : description) {
        switch (c.unicode()) {
        case u'\n':
        case u'\r':
        case u'\v':
        case u'\f':
        case 0x0085: // next line
        case 0x2028: // line separator
        case 0x2029: // paragraph separator
            c = u' ';
            break;
        default:
            break;
        }
    }
    return description;
}

} // namespace

FilterText::FilterText(const QString &text)
{
    if (text.isEmpty())
        return;
    if (!text.contains(QLatin1Char('|'))) {
        m_pairs.append(Pair{oneLine(text), patternsOf(text)});
        return;
    }
    QStringList fields = text.split(QLatin1Char('|'));
    // The closing "|" ends the last field rather than opening a new one.
    if (fields.last().isEmpty())
        fields.removeLast();
    for (int i = 0; i < fields.size(); i += 2)
        m_pairs.append(Pair{oneLine(fields.at(i)), patternsOf(fields.value(i + 1))});
}

QStringList FilterText::nameFilters() const
{
    QStringList filters;
    for (const Pair &pair : m_pairs)
        filters << nameFilter(pair);
    return filters;
}

QString FilterText::nameFilter(const Pair &pair)
{
    // QFileDialog reads the patterns from the last parentheses only and splits
    // them on blanks, so a description such as "Movie file (*.mpeg;*.mpg)"
    // would be taken for one pattern that matches nothing.
    const QStringList patterns =
        pair.patterns.isEmpty() ? QStringList{QStringLiteral("*")} : pair.patterns;
    return pair.description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}
