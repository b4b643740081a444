#pragma once

#include "widgets/LabelButton.h"

// How a label lays out its caption, which only the tests ask.
class LabelButtonProbe
{
public:
    explicit LabelButtonProbe(const LabelButton &label) : m_label(label) {}

    bool isSymbol() const { return m_label.m_symbol; }
    bool hasBorder() const { return m_label.m_border; }
    bool isCentred() const { return m_label.m_centred; }
    qreal captionScale() const { return m_label.captionScale(); }
    bool captionWraps() const { return m_label.captionWraps(); }

private:
    const LabelButton &m_label;
};
