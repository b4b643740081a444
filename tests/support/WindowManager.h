#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// openbox on the X display of the test, for as long as this object lives:
// full screen, maximising and minimising are the window manager's work, and
// a bare X server does none of it.
//
//     WindowManager wm;
//     QVERIFY2(wm.start(), qPrintable(wm.error()));
class WindowManager
{
public:
    WindowManager() = default;
    // Ends openbox.
    ~WindowManager();

    // Starts openbox and waits (generously) until it manages the screen;
    // false, with the reason in error(), when it cannot.
    bool start();
    // Why start() failed.
    QString error() const { return m_error; }

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    QString m_error;
};
