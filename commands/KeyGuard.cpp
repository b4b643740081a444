#include "commands/KeyGuard.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

namespace {

bool isNavigation(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

bool isEnter(const QKeyEvent &key)
{
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           !(key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier));
}

// A printable character typed to find an entry by its first letters. Space
// stays the pause key even there, as in other players' lists.
bool isTyping(const QKeyEvent &key)
{
    if (key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    const QString text = key.text();
    return !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace();
}

} // namespace

KeyGuard::KeyGuard(QWidget &window) : QObject(&window), m_window(window)
{
    qApp->installEventFilter(this);
}

bool KeyGuard::keepsKey(const QWidget &focus, const QKeyEvent &key)
{
    if (qobject_cast<const QAbstractSlider *>(&focus))
        return isNavigation(key.key());
    const auto *combo = qobject_cast<const QComboBox *>(&focus);
    // An editable drop-down list keeps its typing by itself, as a text box.
    if (combo && combo->isEditable())
        return isNavigation(key.key());
    if (combo || qobject_cast<const QAbstractItemView *>(&focus))
        return isNavigation(key.key()) || isTyping(key) || isEnter(key) ||
               key.key() == Qt::Key_Backspace;
    return false;
}

bool KeyGuard::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    auto *control = qobject_cast<QWidget *>(watched);
    if (!control || !m_window.isAncestorOf(control))
        return false;
    const auto &key = *static_cast<QKeyEvent *>(event);
    if (type == QEvent::ShortcutOverride) {
        if (!keepsKey(*control, key))
            return false;
        event->accept();
        return true;
    }
    // Buttons outside a dialog ignore Enter; a keyboard user needs it, since
    // Space pauses.
    auto *button = qobject_cast<QAbstractButton *>(control);
    if (!button || !isEnter(key) || !button->isEnabled())
        return false;
    button->click();
    return true;
}
