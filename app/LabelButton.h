#pragma once

#include <QLabel>

// A label drawn on the window's surface. Labels named cmd... act as buttons
// through clicked(). A symbol label shows the symbol font's picture of its
// caption (a small window for "1") instead of the character itself.
class LabelButton : public QLabel
{
    Q_OBJECT
public:
    explicit LabelButton(const QString &caption, QWidget *parent = nullptr);

    void setSymbol(bool on);
    bool isSymbol() const { return m_symbol; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_symbol = false;
};
