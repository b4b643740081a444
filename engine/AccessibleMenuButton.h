#pragma once

#include <QAccessibleWidget>

class QToolButton;

// What a screen reader sees of a tool button that only opens a menu (the
// track menus of the engine's bar): a menu button named by its accessible
// name whose actions open the menu, and which holds the menu as its child so
// that the menu's items can be found and chosen. The menu opens once the
// reader's call has been answered, since it runs until it is closed.
class AccessibleMenuButton : public QAccessibleWidget
{
public:
    explicit AccessibleMenuButton(QToolButton *button);

    // Makes screen readers use this for the track menu buttons; once is enough.
    static void install();

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
};
