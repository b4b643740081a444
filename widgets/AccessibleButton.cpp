#include "widgets/AccessibleButton.h"

#include "widgets/LabelButton.h"
#include "widgets/PictureButton.h"

namespace {

QAccessibleInterface *makeInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("PictureButton") || className == QLatin1String("LabelButton"))
        return new AccessibleButton(static_cast<QWidget *>(object));
    return nullptr;
}

bool isCommand(const QWidget &control)
{
    const auto *label = qobject_cast<const LabelButton *>(&control);
    return !label || label->actsAsButton();
}

bool hasLetter(const QString &text)
{
    for (const QChar c : text)
        if (c.isLetter())
            return true;
    return false;
}

} // namespace

AccessibleButton::AccessibleButton(QWidget *button) : QAccessibleWidget(button, QAccessible::Button)
{
    addControllingSignal(QStringLiteral("clicked()"));
}

void AccessibleButton::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(makeInterface);
}

QString AccessibleButton::nameOf(const QWidget &button)
{
    if (!button.accessibleName().isEmpty())
        return button.accessibleName();
    const auto *label = qobject_cast<const LabelButton *>(&button);
    if (label && !label->isSymbol()) {
        const QString caption = label->text().simplified();
        if (hasLetter(caption) || !label->actsAsButton())
            return caption;
    }
    return button.toolTip();
}

QAccessible::Role AccessibleButton::role() const
{
    return isCommand(*widget()) ? QAccessible::Button : QAccessible::StaticText;
}

QString AccessibleButton::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return nameOf(*widget());
    return QAccessibleWidget::text(t);
}

QStringList AccessibleButton::actionNames() const
{
    if (!isCommand(*widget()))
        return QAccessibleWidget::actionNames();
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void AccessibleButton::doAction(const QString &actionName)
{
    if (actionName != pressAction() || !isCommand(*widget())) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    // After the reply, as Qt's own buttons do: a command that opens a modal
    // dialog would otherwise hold the screen reader's call until it closes.
    if (auto *label = qobject_cast<LabelButton *>(widget()))
        QMetaObject::invokeMethod(label, &LabelButton::click, Qt::QueuedConnection);
    else if (auto *picture = qobject_cast<PictureButton *>(widget()))
        QMetaObject::invokeMethod(picture, &PictureButton::click, Qt::QueuedConnection);
}
