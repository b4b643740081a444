#include "core/TimedTextBound.h"

#include "core/MomentBudget.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace {

// Text is drawn at 55 pixels of 720 and a font size counts in pixels of
// 288, each glyph with a border of 3 of 720, all in picture heights.
constexpr double plainSize = 55.0 / 720;
constexpr double sizeUnit = 1.0 / 288;
constexpr double border = 2 * 3.0 / 720;
constexpr double lineArea = 0.02;
// The largest font size kept: a picture's height.
constexpr double largestSize = 288;

// Milliseconds of "hh:mm:ss,mmm" or "mm:ss.mmm"; a time that cannot be read
// counts as the whole file's length, so its cue is weighed everywhere.
qint64 milliseconds(const QByteArray &side, qint64 unread)
{
    const QList<QByteArray> words = side.simplified().split(' ');
    const QList<QByteArray> parts = words.value(0).split(':');
    if (parts.size() < 2 || parts.size() > 3)
        return unread;
    double total = 0;
    for (const QByteArray &part : parts) {
        bool ok = false;
        total = total * 60 + QByteArray(part).replace(',', '.').toDouble(&ok);
        if (!ok)
            return unread;
    }
    return qint64(total * 1000);
}

} // namespace

bool TimedTextBound::isTimed(const QByteArray &head)
{
    return head.left(64 * 1024).contains("-->");
}

StyledSubtitleBound::Result TimedTextBound::bound(const QByteArray &text, int pictureHeight)
{
    static const QRegularExpression fontSize(
        QStringLiteral(
            "<font[^>]*?size\\s*=\\s*[\"']?\\s*([+-]?[0-9]*\\.?[0-9]+(?:[eE][+-]?[0-9]+)?)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression markup(QStringLiteral("<[^>]*>|\\{[^}]*\\}"));
    QList<QByteArray> lines = text.split('\n');
    StyledSubtitleBound::Result result;
    std::vector<MomentBudget::Line> cues;
    // Where each cue's lines begin and end, by the index MomentBudget hands back.
    std::vector<std::pair<int, int>> spans;
    constexpr qint64 always = std::numeric_limits<qint64>::max() / 2;
    for (int i = 0; i < lines.size(); ++i) {
        const int arrow = lines[i].indexOf("-->");
        if (arrow < 0)
            continue;
        const int first = i > 0 && !lines[i - 1].trimmed().isEmpty() ? i - 1 : i;
        double size = plainSize;
        int glyphs = 0;
        int last = i;
        for (int j = i + 1; j < lines.size() && !lines[j].trimmed().isEmpty(); ++j) {
            last = j;
            QString line = QString::fromLatin1(lines[j]);
            for (auto it = fontSize.globalMatch(line); it.hasNext();) {
                const QRegularExpressionMatch match = it.next();
                const double value = match.captured(1).toDouble();
                size = std::max(size, std::min(value, largestSize) * sizeUnit);
                if (value > largestSize) {
                    lines[j].replace(match.capturedStart(1), match.capturedLength(1),
                                     QByteArray::number(largestSize));
                    line = QString::fromLatin1(lines[j]);
                    ++result.clampedValues;
                }
            }
            for (const QChar c : line.remove(markup))
                glyphs += !c.isSpace() && (c.unicode() < 0x80 || c.unicode() >= 0xc0);
        }
        const double area = lineArea + glyphs * (size + border) * (size + border);
        cues.push_back({milliseconds(lines[i].left(arrow), 0),
                        milliseconds(lines[i].mid(arrow + 3), always), area, int(spans.size())});
        // With the blank line after it, so none pile up where cues were.
        spans.emplace_back(first, last + 1 < lines.size() && lines[last + 1].trimmed().isEmpty()
                                      ? last + 1
                                      : last);
        i = last;
    }
    const double height = std::max(pictureHeight, 1);
    const std::vector<int> out = MomentBudget::leftOut(
        std::move(cues), StyledSubtitleBound::maxMomentPixels / (height * height));
    result.droppedLines = int(out.size());
    if (!result.changed()) {
        result.script = text;
        return result;
    }
    std::vector<bool> gone(size_t(lines.size()), false);
    for (const int cue : out)
        std::fill(gone.begin() + spans[size_t(cue)].first,
                  gone.begin() + spans[size_t(cue)].second + 1, true);
    for (int i = 0; i < lines.size(); ++i)
        if (!gone[size_t(i)])
            result.script += lines[i] + (i + 1 < lines.size() ? "\n" : "");
    return result;
}
