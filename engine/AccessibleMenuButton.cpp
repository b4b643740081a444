#include "engine/AccessibleMenuButton.h"

#include "engine/TrackMenuButton.h"

#include <QMenu>

namespace {

QAccessibleInterface *makeInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("TrackMenuButton"))
        return new AccessibleMenuButton(static_cast<TrackMenuButton *>(object));
    return nullptr;
}

} // namespace

AccessibleMenuButton::AccessibleMenuButton(QToolButton *button)
    : QAccessibleWidget(button, QAccessible::ButtonMenu)
{
}

void AccessibleMenuButton::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(makeInterface);
}

QAccessible::Role AccessibleMenuButton::role() const
{
    return QAccessible::ButtonMenu;
}

QAccessible::State AccessibleMenuButton::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.hasPopup = true;
    return state;
}

// Qt leaves a popup menu out of the tree (it is a window of its own): here
// it is the button's one child.
int AccessibleMenuButton::childCount() const
{
    return static_cast<QToolButton *>(widget())->menu() ? 1 : 0;
}

QAccessibleInterface *AccessibleMenuButton::child(int index) const
{
    QMenu *menu = static_cast<QToolButton *>(widget())->menu();
    return menu && index == 0 ? QAccessible::queryAccessibleInterface(menu) : nullptr;
}

int AccessibleMenuButton::indexOfChild(const QAccessibleInterface *child) const
{
    QMenu *menu = static_cast<QToolButton *>(widget())->menu();
    return menu && child && child->object() == menu ? 0 : -1;
}

QStringList AccessibleMenuButton::actionNames() const
{
    if (!widget()->isEnabled())
        return QAccessibleWidget::actionNames();
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void AccessibleMenuButton::doAction(const QString &actionName)
{
    if (!widget()->isEnabled() || (actionName != showMenuAction() && actionName != pressAction())) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    auto *button = static_cast<QToolButton *>(widget());
    QMetaObject::invokeMethod(button, &QToolButton::showMenu, Qt::QueuedConnection);
}
