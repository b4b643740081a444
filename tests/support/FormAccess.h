#pragma once

#include "app/Form1.h"
#include "app/FormDesign.h"
#include "commands/Commands.h"
#include "core/FileJob.h"
#include "widgets/PlayListBox.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHash>
#include <QSignalBlocker>
#include <QWidget>

// A control of the window by its design name, or nullptr.
template <class T = QWidget> T *controlOf(const QWidget &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

// Handles events until the files the commands read off the window's thread
// are read or given up, so that a handler's whole effect can be checked.
inline void waitForFileJobs()
{
    const QDeadlineTimer bound(60000);
    while (FileJob::outstanding() > 0 && !bound.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Runs a handler of the window through its action, as its control would,
// and waits for the files it reads; false when the window has no such
// handler or it is disabled.
inline bool runHandler(const Form1 &window, const char *handlerName)
{
    const bool ran = window.commands().trigger(QLatin1String(handlerName));
    waitForFileJobs();
    return ran;
}

// Every control of the design that shows on the window, by name.
inline QHash<QString, QWidget *> visualControls(const QWidget &window)
{
    QHash<QString, QWidget *> controls;
    for (const ControlDesign &row : form1Design().controls)
        if (row.isVisual())
            controls.insert(QLatin1String(row.name), controlOf(window, row.name));
    return controls;
}

// Selects an entry of the play list without Activating it, as if the
// selection had been left there.
inline void selectQuietly(PlayListBox &list, int index)
{
    const QSignalBlocker quiet(list);
    list.setListIndex(index);
}
