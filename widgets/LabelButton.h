#pragma once

#include <QLabel>

// A label drawn on the window's surface: its caption on its background, with
// an optional single border. Labels named cmd... act as buttons through
// clicked(). A symbol label shows the symbol font's picture of its caption (a
// small window for "1") instead of the character itself.
//
// The caption wraps at blanks only when the wrapped lines fit the label's
// height; otherwise it stays on one line, drawn slightly narrower when that
// is what it takes to show it whole.
class LabelButton : public QLabel
{
    Q_OBJECT
public:
    explicit LabelButton(const QString &caption, QWidget *parent = nullptr);

    // Shows the symbol font's picture of the caption instead of its text.
    void setSymbol(bool on);
    bool isSymbol() const { return m_symbol; }
    // A one-pixel line around the label, in the window frame colour.
    void setBorder(bool on);
    // Centres the caption across the label; otherwise it starts at the left.
    void setCentred(bool on);
    // Whether the label is a command (screen readers then call it a button).
    void setActsAsButton(bool on) { m_actsAsButton = on; }
    bool actsAsButton() const { return m_actsAsButton; }
    // What a click does: raises clicked() while the label is enabled.
    void click();

signals:
    // A left click released over the label.
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The tests look at how the caption is laid out, which no caller needs.
    friend class LabelButtonProbe;

    Qt::Alignment captionAlignment() const;
    // How much narrower than its font the caption is drawn (1: not at all).
    qreal captionScale() const;
    // Whether the caption is broken into lines at blanks.
    bool captionWraps() const;

    bool m_symbol = false;
    bool m_border = false;
    bool m_centred = false;
    bool m_actsAsButton = false;
};
