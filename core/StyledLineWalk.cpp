#include "core/StyledLineWalk.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

// What each line costs before any of its text, so that countless empty
// lines at one moment are bounded too.
constexpr double lineArea = 0.02;

// Override tags, longer names first where one begins another.
struct Tag
{
    const char *name;
    StyledLineWalk::Value value;
};
constexpr Tag tags[] = {
    {"fscx", StyledLineWalk::Value::ScaleX},   {"fscy", StyledLineWalk::Value::ScaleY},
    {"fsp", StyledLineWalk::Value::Spacing},   {"fs", StyledLineWalk::Value::Size},
    {"xbord", StyledLineWalk::Value::Outline}, {"ybord", StyledLineWalk::Value::Outline},
    {"bord", StyledLineWalk::Value::Outline},  {"xshad", StyledLineWalk::Value::Shadow},
    {"yshad", StyledLineWalk::Value::Shadow},  {"shad", StyledLineWalk::Value::Shadow},
    {"blur", StyledLineWalk::Value::Blur},     {"be", StyledLineWalk::Value::Edge},
    {"fax", StyledLineWalk::Value::Shear},     {"fay", StyledLineWalk::Value::Shear},
    {"p", StyledLineWalk::Value::Drawing},     {"r", StyledLineWalk::Value::Reset}};

} // namespace

// The largest magnitude a value keeps in a script this high; real subtitles
// stay far below (a sign's \fs200 and \blur20 at a height of 1080).
double StyledLineWalk::limit(Value value, double height)
{
    switch (value) {
    case Value::Size:
    case Value::Spacing:
        return height;
    case Value::ScaleX:
    case Value::ScaleY:
        return 1000;
    case Value::Outline:
    case Value::Shadow:
        return height / 8;
    case Value::Blur:
        return height / 16;
    case Value::Edge:
        return 32;
    case Value::Shear:
        return 2;
    default:
        return INFINITY;
    }
}

StyledLineWalk::Number StyledLineWalk::readNumber(const QByteArray &text, int at, int stop)
{
    while (at < stop && (text[at] == ' ' || text[at] == '\t' || text[at] == '('))
        ++at;
    Number number;
    int i = at;
    if (i < stop && (text[i] == '+' || text[i] == '-'))
        ++i;
    int digits = 0;
    for (; i < stop && std::isdigit(uchar(text[i])); ++i)
        ++digits;
    if (i < stop && text[i] == '.')
        for (++i; i < stop && std::isdigit(uchar(text[i])); ++i)
            ++digits;
    if (digits == 0)
        return number;
    if (i < stop && (text[i] == 'e' || text[i] == 'E')) {
        int j = i + 1;
        if (j < stop && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < stop && std::isdigit(uchar(text[j]))) {
            while (j < stop && std::isdigit(uchar(text[j])))
                ++j;
            i = j;
        }
    }
    number.begin = at;
    number.end = i;
    number.sign = text[at] == '+' || text[at] == '-';
    number.value = text.mid(at, i - at).toDouble();
    return number;
}

StyledLineWalk::StyledLineWalk(const Frame &frame, const Style &style,
                               const QHash<QByteArray, Style> &styles)
    : m_frame(frame), m_base(style), m_style(style), m_styles(styles), m_area(lineArea)
{
}

QByteArray StyledLineWalk::run(const QByteArray &text)
{
    QByteArray out;
    int at = 0;
    while (at < text.size()) {
        const int open = text.indexOf('{', at);
        const int close = open < 0 ? -1 : text.indexOf('}', open);
        const int textEnd = close < 0 ? int(text.size()) : open;
        addText(text.mid(at, textEnd - at));
        out += text.mid(at, textEnd - at);
        if (close < 0)
            break;
        out += overrides(text.mid(open, close + 1 - open));
        at = close + 1;
    }
    return out;
}

QByteArray StyledLineWalk::overrides(QByteArray block)
{
    for (int at = block.indexOf('\\'); at >= 0; at = block.indexOf('\\', at + 1)) {
        const Tag *tag = std::find_if(std::begin(tags), std::end(tags), [&](const Tag &t) {
            return block.mid(at + 1).startsWith(t.name);
        });
        if (tag == std::end(tags))
            continue;
        const int after = at + 1 + int(qstrlen(tag->name));
        if (tag->value == Value::Reset) {
            int end = after;
            while (end < block.size() && block[end] != '\\' && block[end] != '}')
                ++end;
            m_style = m_styles.value(block.mid(after, end - after).trimmed(), m_base);
            m_drawing = 0;
            continue;
        }
        const Number number = readNumber(block, after, int(block.size()));
        if (!number.ok())
            continue;
        double value = number.value;
        if (tag->value == Value::Size && number.sign)
            value = m_style.size * (1 + value / 10);
        const double most = limit(tag->value, m_frame.height);
        if (std::abs(value) > most) {
            value = std::copysign(most, value);
            const QByteArray held = QByteArray::number(value, 'g', 6);
            block.replace(number.begin, number.end - number.begin, held);
            ++m_clamped;
        }
        apply(tag->value, value);
    }
    return block;
}

void StyledLineWalk::apply(Value kind, double value)
{
    switch (kind) {
    case Value::Size:
        m_style.size = value > 0 ? value : m_base.size;
        break;
    case Value::ScaleX:
        m_style.scaleX = std::max(value, 0.0);
        break;
    case Value::ScaleY:
        m_style.scaleY = std::max(value, 0.0);
        break;
    case Value::Spacing:
        m_style.spacing = value;
        break;
    case Value::Outline:
        m_style.outline = std::max(value, m_style.outline);
        break;
    case Value::Shadow:
        m_style.shadow = std::max(value, m_style.shadow);
        break;
    case Value::Blur:
    case Value::Edge:
        m_blur = std::max(value, m_blur);
        break;
    case Value::Shear:
        m_shear = std::max(std::abs(value), m_shear);
        break;
    case Value::Drawing:
        m_drawing = value >= 1 ? std::min(int(value), 30) : 0;
        break;
    default:
        break;
    }
}

// The area of one box of this size with the edges drawn around it.
double StyledLineWalk::box(double width, double height) const
{
    const double edge = 2 * (m_style.outline + m_style.shadow + m_blur) * m_frame.borderScale;
    const double h = height * m_style.scaleY / 100;
    const double w = (width * m_style.scaleX / 100) * m_frame.stretch + m_shear * h;
    return (h + edge) * (w + edge) / (m_frame.height * m_frame.height);
}

void StyledLineWalk::addText(const QByteArray &text)
{
    if (m_drawing > 0) {
        addDrawing(text);
        return;
    }
    int glyphs = 0;
    for (int i = 0; i < text.size(); ++i) {
        const uchar c = uchar(text[i]);
        if (c == '\\' && i + 1 < text.size() && QByteArray("Nnh").contains(text[i + 1]))
            ++i;
        else if (c != ' ' && c != '\t' && (c < 0x80 || c >= 0xc0))
            ++glyphs;
    }
    const double width = m_style.size + std::abs(m_style.spacing);
    m_area += glyphs * box(width, m_style.size);
}

void StyledLineWalk::addDrawing(const QByteArray &commands)
{
    std::vector<double> values;
    for (int at = 0; at < commands.size();) {
        const Number number = readNumber(commands, at, int(commands.size()));
        if (number.ok()) {
            values.push_back(number.value);
            at = number.end;
        } else {
            ++at;
        }
    }
    if (values.size() < 2)
        return;
    double left = values[0], right = values[0], top = values[1], bottom = values[1];
    for (size_t i = 0; i + 1 < values.size(); i += 2) {
        left = std::min(left, values[i]);
        right = std::max(right, values[i]);
        top = std::min(top, values[i + 1]);
        bottom = std::max(bottom, values[i + 1]);
    }
    const double scale = std::ldexp(1.0, 1 - m_drawing);
    m_area += box((right - left) * scale, (bottom - top) * scale);
}
