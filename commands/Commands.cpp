#include "commands/Commands.h"

#include "commands/KeyGuard.h"
#include "commands/KeyTable.h"

#include <QAction>
#include <QEvent>
#include <QLoggingCategory>
#include <QShortcut>
#include <QWidget>

Q_LOGGING_CATEGORY(corvelKeys, "corvel.keys")

Commands::Commands(QWidget &window) : QObject(&window), m_window(window) {}

QAction *Commands::makeAction(const char *handlerName)
{
    auto *made = new QAction(QString::fromLatin1(handlerName), &m_window);
    made->setObjectName(QString::fromLatin1(handlerName));
    m_window.addAction(made);
    m_actions << made;
    return made;
}

namespace {

// "?" and "[" come with Shift on many layouts, and not every platform tells
// Qt to try them without it; letters with Shift stay keys of their own.
QList<QKeySequence> withShift(const QList<QKeySequence> &sequences)
{
    QList<QKeySequence> all = sequences;
    for (const QKeySequence &sequence : sequences) {
        const QKeyCombination key = sequence[0];
        if (sequence.count() == 1 && key.keyboardModifiers() == Qt::NoModifier &&
            key.key() >= Qt::Key_Exclam && key.key() <= Qt::Key_AsciiTilde &&
            !QChar(key.key()).isLetterOrNumber())
            all << QKeySequence(Qt::ShiftModifier | key.key());
    }
    return all;
}

// X11 hands keypad keys to shortcuts without the keypad modifier, so there a
// keypad key matches only the plain key's shortcut.
QList<QKeySequence> withPlainKeypad(const QList<QKeySequence> &sequences)
{
    QList<QKeySequence> all = sequences;
    for (const QKeySequence &sequence : sequences) {
        const QKeyCombination key = sequence[0];
        if (sequence.count() == 1 && key.keyboardModifiers() & Qt::KeypadModifier)
            all << QKeySequence(
                QKeyCombination(key.keyboardModifiers() & ~Qt::KeypadModifier, key.key()));
    }
    return all;
}

} // namespace

void Commands::followEnabled(QAction *action, QWidget &control)
{
    action->setEnabled(control.isEnabled());
    m_followers.insert(&control, action);
    control.installEventFilter(this);
    connect(&control, &QObject::destroyed, this,
            [this](QObject *gone) { m_followers.remove(gone); });
}

bool Commands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        if (QAction *follower = m_followers.value(watched))
            follower->setEnabled(static_cast<QWidget *>(watched)->isEnabled());
    return false;
}

void Commands::addKeys(const std::vector<KeyBinding> &rows,
                       const QHash<QString, QWidget *> &focusControls)
{
    for (const KeyBinding &row : rows) {
        if (!row.command || row.own)
            continue;
        QAction *target = action(QLatin1String(row.command));
        if (!target) {
            qCWarning(corvelKeys, "No command %s for the keys %s", row.command, row.keys);
            continue;
        }
        if (!row.focus) {
            target->setShortcuts(target->shortcuts() + withShift(withPlainKeypad(row.sequences())));
            continue;
        }
        QWidget *control = focusControls.value(QLatin1String(row.focus));
        if (!control) {
            qCWarning(corvelKeys, "No control %s for the keys %s", row.focus, row.keys);
            continue;
        }
        // A shortcut of its own, so the action keeps its window-wide keys.
        for (const QKeySequence &sequence : row.sequences()) {
            auto *shortcut = new QShortcut(sequence, control);
            shortcut->setContext(Qt::WidgetShortcut);
            connect(shortcut, &QShortcut::activated, target, &QAction::trigger);
        }
    }
    new KeyGuard(m_window);
}

QAction *Commands::action(const QString &handlerName) const
{
    for (QAction *candidate : m_actions)
        if (candidate->objectName() == handlerName)
            return candidate;
    return nullptr;
}

bool Commands::trigger(const QString &handlerName) const
{
    QAction *named = action(handlerName);
    if (!named || !named->isEnabled())
        return false;
    named->trigger();
    return true;
}

void Commands::replaceList(const QStringList &entries, bool playFirst)
{
    emit listReplaceRequested(entries, playFirst);
}

void Commands::appendToList(const QStringList &entries)
{
    emit listAppendRequested(entries);
}

void Commands::loadPlayListFile(const QString &path)
{
    emit playListFileRequested(path);
}

void Commands::seekTo(double seconds)
{
    emit seekRequested(seconds);
}

void Commands::setVolume(int percent)
{
    emit volumeRequested(percent);
}
