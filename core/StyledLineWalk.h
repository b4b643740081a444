#pragma once

#include <QByteArray>
#include <QHash>

// Walks the text of one line of a styled subtitle script: holds the values
// of its override tags that size what is drawn to limits relative to the
// script's height, and adds up how much of the picture its glyphs and
// drawings may cover. Tags it cannot read, and text outside braces, stay as
// they are.
class StyledLineWalk
{
public:
    // A style's values that size its text, in script pixels and percent.
    struct Style
    {
        double size = 18;
        double scaleX = 100;
        double scaleY = 100;
        double spacing = 0;
        double outline = 2;
        double shadow = 2;
    };

    // How a script's pixels reach the picture.
    struct Frame
    {
        // Script pixels in the picture's height.
        double height = 288;
        // How much wider than tall a script pixel may be drawn.
        double stretch = 1;
        // How many script pixels a border's pixel may take.
        double borderScale = 1;
    };

    // The values that size what is drawn.
    enum class Value
    {
        Size,
        ScaleX,
        ScaleY,
        Spacing,
        Outline,
        Shadow,
        Blur,
        Edge,
        Shear,
        Drawing,
        Reset
    };

    // A number as the renderer reads one: spaces and a parenthesis before
    // it, a sign, a fraction and an exponent allowed.
    struct Number
    {
        int begin = -1;
        int end = -1;
        double value = 0;
        bool sign = false;
        bool ok() const { return begin >= 0; }
    };

    // The largest magnitude a value keeps in a script this high.
    static double limit(Value value, double height);
    // The number starting at or after spaces from at, before stop.
    static Number readNumber(const QByteArray &text, int at, int stop);

    // A walk over text in this frame, starting in style; \r names one of
    // styles. The objects must outlive the walk.
    StyledLineWalk(const Frame &frame, const Style &style, const QHash<QByteArray, Style> &styles);

    // The text with its values held to their limits.
    QByteArray run(const QByteArray &text);
    // How many values run() held.
    int clamped() const { return m_clamped; }
    // The picture area, in picture heights squared, the text may cover.
    double area() const { return m_area; }

private:
    QByteArray overrides(QByteArray block);
    void apply(Value kind, double value);
    double box(double width, double height) const;
    void addText(const QByteArray &text);
    void addDrawing(const QByteArray &commands);

    const Frame &m_frame;
    const Style m_base;
    Style m_style;
    const QHash<QByteArray, Style> &m_styles;
    double m_blur = 0;
    double m_shear = 0;
    int m_drawing = 0;
    int m_clamped = 0;
    double m_area;
};
