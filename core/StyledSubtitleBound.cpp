#include "core/StyledSubtitleBound.h"

#include "core/MomentBudget.h"
#include "core/StyledLineWalk.h"

#include <QHash>
#include <QList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

using Style = StyledLineWalk::Style;
using Frame = StyledLineWalk::Frame;
using Value = StyledLineWalk::Value;
using Number = StyledLineWalk::Number;

// A script's lines with what is needed to thin its moments.
struct Script
{
    using Line = MomentBudget::Line;

    QList<QByteArray> lines;
    Frame frame;
    QHash<QByteArray, Style> styles;
    std::vector<Line> events;
    int clamped = 0;
};

QByteArray key(const QByteArray &line)
{
    const int colon = line.indexOf(':');
    return colon < 0 ? QByteArray() : line.left(colon).trimmed().toLower();
}

QByteArray valueOf(const QByteArray &line)
{
    return line.mid(line.indexOf(':') + 1).trimmed();
}

QList<QByteArray> fieldNames(const QByteArray &format)
{
    QList<QByteArray> names = valueOf(format).split(',');
    for (QByteArray &name : names)
        name = name.trimmed().toLower();
    return names;
}

// Hundredths of a second of "h:mm:ss.cc"; a time the renderer could not read
// counts as the whole script's length, so its line is weighed everywhere.
qint64 centiseconds(const QByteArray &time, qint64 unread)
{
    const QList<QByteArray> parts = time.trimmed().split(':');
    if (parts.size() != 3)
        return unread;
    bool ok[3] = {};
    const qint64 hours = parts[0].toLongLong(&ok[0]);
    const qint64 minutes = parts[1].toLongLong(&ok[1]);
    const double seconds = parts[2].toDouble(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2])
        return unread;
    return (hours * 60 + minutes) * 6000 + qint64(seconds * 100);
}

void readFrame(Script &script)
{
    double x = 0, y = 0;
    bool scaled = false;
    for (const QByteArray &line : std::as_const(script.lines)) {
        const QByteArray name = key(line);
        if (name == "playresx")
            x = valueOf(line).toDouble();
        else if (name == "playresy")
            y = valueOf(line).toDouble();
        else if (name == "scaledborderandshadow")
            scaled = valueOf(line).toLower() == "yes";
    }
    // The renderer's own defaults for sizes left out.
    if (x <= 0 && y <= 0)
        x = 384, y = 288;
    else if (y <= 0)
        y = x == 1280 ? 1024 : x * 3 / 4;
    else if (x <= 0)
        x = y == 1024 ? 1280 : y * 4 / 3;
    script.frame.height = std::max(y, 1.0);
    script.frame.stretch = std::max(1.0, script.frame.height * 4 / 3 / std::max(x, 1.0));
    script.frame.borderScale = scaled ? 1 : std::max(1.0, script.frame.height / 288);
}

// Clamps a style line's values and remembers the style by name.
void readStyle(Script &script, QByteArray &line, const QList<QByteArray> &names)
{
    const int colon = line.indexOf(':');
    QList<QByteArray> fields = line.mid(colon + 1).split(',');
    Style style;
    const struct
    {
        const char *name;
        Value value;
        double Style::*member;
    } sizing[] = {
        {"fontsize", Value::Size, &Style::size},      {"scalex", Value::ScaleX, &Style::scaleX},
        {"scaley", Value::ScaleY, &Style::scaleY},    {"spacing", Value::Spacing, &Style::spacing},
        {"outline", Value::Outline, &Style::outline}, {"shadow", Value::Shadow, &Style::shadow}};
    bool changed = false;
    for (const auto &field : sizing) {
        const int at = int(names.indexOf(field.name));
        if (at < 0 || at >= fields.size())
            continue;
        const Number number = StyledLineWalk::readNumber(fields[at], 0, int(fields[at].size()));
        if (!number.ok())
            continue;
        const double most = StyledLineWalk::limit(field.value, script.frame.height);
        style.*field.member = std::clamp(number.value, -most, most);
        if (std::abs(number.value) > most) {
            fields[at].replace(number.begin, number.end - number.begin,
                               QByteArray::number(style.*field.member, 'g', 6));
            ++script.clamped;
            changed = true;
        }
    }
    if (changed)
        line = line.left(colon + 1) + fields.join(',');
    QByteArray name = fields.value(0).trimmed();
    script.styles.insert(name.startsWith('*') ? name.mid(1) : name, style);
}

// Clamps an event's text and notes when it shows and what it covers.
void readEvent(Script &script, int index, const QList<QByteArray> &names)
{
    QByteArray &line = script.lines[index];
    const int colon = line.indexOf(':');
    // The text is the last field and may hold commas itself.
    QList<int> commas{colon};
    for (int at = colon + 1; commas.size() < names.size(); ++at) {
        at = line.indexOf(',', at);
        if (at < 0)
            return;
        commas << at;
    }
    const auto field = [&](const char *name) {
        const int at = int(names.indexOf(name));
        return at < 0 || at + 1 >= commas.size()
                   ? QByteArray()
                   : line.mid(commas[at] + 1, commas[at + 1] - commas[at] - 1).trimmed();
    };
    QByteArray styleName = field("style");
    if (styleName.startsWith('*'))
        styleName = styleName.mid(1);
    const Style style =
        script.styles.value(styleName, script.styles.value(QByteArrayLiteral("Default")));
    StyledLineWalk walk(script.frame, style, script.styles);
    const QByteArray text = line.mid(commas.last() + 1);
    const QByteArray held = walk.run(text);
    if (walk.clamped() > 0) {
        line = line.left(commas.last() + 1) + held;
        script.clamped += walk.clamped();
    }
    constexpr qint64 always = std::numeric_limits<qint64>::max() / 2;
    script.events.push_back(
        {centiseconds(field("start"), 0), centiseconds(field("end"), always), walk.area(), index});
}

const QList<QByteArray> defaultStyleFormat = fieldNames(
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
    "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
    "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding");
const QList<QByteArray> defaultEventFormat =
    fieldNames("Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text");

// Comments out the lines that would make a moment cover more than most.
int thin(Script &script, double most)
{
    const std::vector<int> out = MomentBudget::leftOut(std::move(script.events), most);
    for (const int index : out) {
        QByteArray &line = script.lines[index];
        line = "Comment" + line.mid(line.indexOf(':'));
    }
    return int(out.size());
}

} // namespace

bool StyledSubtitleBound::isStyled(const QByteArray &head)
{
    const QByteArray lower = head.left(64 * 1024).toLower();
    return lower.contains("[script info]") || lower.contains("[v4+ styles]") ||
           lower.contains("[v4 styles]") || lower.contains("[events]");
}

StyledSubtitleBound::Result StyledSubtitleBound::bound(const QByteArray &bytes, int pictureHeight)
{
    Script script;
    script.lines = bytes.split('\n');
    readFrame(script);
    enum class Section
    {
        Other,
        Styles,
        Events
    } section = Section::Other;
    QList<QByteArray> styleFormat = defaultStyleFormat;
    QList<QByteArray> eventFormat = defaultEventFormat;
    for (int i = 0; i < script.lines.size(); ++i) {
        QByteArray &line = script.lines[i];
        const QByteArray bare = line.trimmed();
        if (bare.startsWith('[') || bare.startsWith("\xef\xbb\xbf[")) {
            const QByteArray lower = bare.toLower();
            section = lower.contains("styles]")   ? Section::Styles
                      : lower.contains("events]") ? Section::Events
                                                  : Section::Other;
            continue;
        }
        const QByteArray name = key(line);
        if (section == Section::Styles && name == "format")
            styleFormat = fieldNames(line);
        else if (section == Section::Styles && name == "style")
            readStyle(script, line, styleFormat);
        else if (section == Section::Events && name == "format")
            eventFormat = fieldNames(line);
        else if (section == Section::Events && name == "dialogue")
            readEvent(script, i, eventFormat);
    }
    Result result;
    // Areas are counted in picture heights squared.
    const double height = std::max(pictureHeight, 1);
    result.droppedLines = thin(script, maxMomentPixels / (height * height));
    result.clampedValues = script.clamped;
    result.script = result.changed() ? script.lines.join('\n') : bytes;
    return result;
}

QByteArray StyledSubtitleBound::clampText(const QByteArray &text, double height, int *clamped)
{
    Frame frame;
    frame.height = height;
    const QHash<QByteArray, Style> styles;
    StyledLineWalk walk(frame, Style(), styles);
    const QByteArray held = walk.run(text);
    if (clamped)
        *clamped = walk.clamped();
    return held;
}
