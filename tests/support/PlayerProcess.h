#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QVariant>

// The real program (build/corvel-media-player) started as a user starts it,
// on the test's X display and on a session bus of the test's own, driven
// from outside: keys and clicks through the X server (xdotool), MPRIS over
// the bus, and what shows read from the screen.
class PlayerProcess
{
public:
    // Players get this bus address and run in this folder.
    PlayerProcess(const QString &busAddress, const QString &folder);
    // Kills the player if it still runs.
    ~PlayerProcess();

    // The program beside the test programs.
    static QString program();
    // Starts the player with these arguments and waits until its window is
    // on the screen; false when it is not within the time given.
    bool start(const QStringList &arguments);
    // Runs another start of the program to its end; its exit code, -1 when
    // it did not end in time.
    int runAgain(const QStringList &arguments) const;

    // The window's place on the screen (its inside, without the frame).
    QRect window() const;
    // Types these keys (xdotool names, "ctrl+1") into the player's window.
    void keys(const QStringList &keys, int delayMs = 20) const;
    // Types this text into whatever has the keyboard.
    void type(const QString &text) const;
    // Double-clicks at this point of the window.
    void doubleClick(QPoint at) const;
    // The whole screen as it shows now.
    static QImage screen();

    // An MPRIS property of the player's Player interface.
    QVariant mpris(const QString &property) const;
    // Calls an MPRIS method of the player's Player interface.
    void mprisCall(const QString &method) const;

private:
    QProcess m_process;
    QString m_bus;
    QString m_folder;
    QString m_windowId;
};
