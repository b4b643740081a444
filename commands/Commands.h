#pragma once

#include <QAction>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <vector>

struct KeyBinding;
class QWidget;

// The window's commands, in one place. Each handler is one named action,
// its object name the handler's name ("cmdNext_Click"); the window's
// controls trigger their action, and so does everything outside the window
// (MPRIS, drops, the command line), so no one else calls a handler. Media
// that come from outside the window reach the play list as requests.
class Commands : public QObject
{
    Q_OBJECT
public:
    // The actions belong to window, so that its keys can reach them.
    explicit Commands(QWidget &window);

    // Makes the action of a handler: triggering it runs the handler once.
    template <class Handlers>
    QAction *add(const char *handlerName, Handlers *handlers, void (Handlers::*handler)())
    {
        QAction *made = makeAction(handlerName);
        connect(made, &QAction::triggered, handlers,
                [handlers, handler] { (handlers->*handler)(); });
        return made;
    }

    // Keeps this action usable exactly while its control is, so a key does
    // nothing that a click on the disabled control would not do.
    void followEnabled(QAction *action, QWidget &control);
    // Gives the actions their keys from these rows. A row with a focus
    // control (found in focusControls by its design name) works only while
    // that control has focus; rows the control or the window answers itself
    // make no shortcut. Keys are kept off what focused controls need.
    void addKeys(const std::vector<KeyBinding> &rows,
                 const QHash<QString, QWidget *> &focusControls);

    // The action of this handler, or nullptr.
    QAction *action(const QString &handlerName) const;
    // Runs the handler of this name as its control would; false when there is
    // no such handler or its action is disabled.
    bool trigger(const QString &handlerName) const;

    // Replaces the play list with these entries (as New List and one append
    // each) and, with playFirst, selects the first, which plays it.
    void replaceList(const QStringList &entries, bool playFirst);
    // Appends these entries as Add appends one; nothing else changes.
    void appendToList(const QStringList &entries);
    // Hands a play-list file to the engine as Load play-list file does.
    void loadPlayListFile(const QString &path);
    // Moves the medium to this position in seconds, as the engine's seek
    // slider does.
    void seekTo(double seconds);
    // Sets the volume in percent, as the engine's volume slider does.
    void setVolume(int percent);

signals:
    // The requests above, for the play list to carry out.
    void listReplaceRequested(const QStringList &entries, bool playFirst);
    void listAppendRequested(const QStringList &entries);
    void playListFileRequested(const QString &path);
    void seekRequested(double seconds);
    void volumeRequested(int percent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *makeAction(const char *handlerName);

    QWidget &m_window;
    QList<QAction *> m_actions;
    QHash<QObject *, QAction *> m_followers;
};
