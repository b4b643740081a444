#include "commands/Commands.h"

#include <QAction>
#include <QWidget>

Commands::Commands(QWidget &window) : QObject(&window), m_window(window) {}

QAction *Commands::makeAction(const char *handlerName)
{
    auto *made = new QAction(QString::fromLatin1(handlerName), &m_window);
    made->setObjectName(QString::fromLatin1(handlerName));
    m_window.addAction(made);
    m_actions << made;
    return made;
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
