#pragma once

#include <QAccessibleWidget>

// What a screen reader sees of the window's label-buttons (labels that act
// as commands) and picture buttons: a button named by its caption, or by its
// tool tip where the caption is a symbol or absent, that can be pressed.
// Labels that are not commands stay plain text. Whether a label is a command
// is asked each time, since Qt may ask for a label's interface before the
// window has said so.
class AccessibleButton : public QAccessibleWidget
{
public:
    explicit AccessibleButton(QWidget *button);

    // Makes screen readers use this for every such control; once is enough.
    static void install();
    // The name a screen reader gives this control: its accessible name when
    // it has one, else the caption without blanks around it when that has a
    // letter and is shown as text, else its tool tip.
    static QString nameOf(const QWidget &button);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
};
