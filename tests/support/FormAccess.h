#pragma once

#include "app/Form1.h"
#include "app/FormDesign.h"
#include "commands/Commands.h"
#include "widgets/PlayListBox.h"

#include <QHash>
#include <QSignalBlocker>
#include <QWidget>

// A control of the window by its design name, or nullptr.
template <class T = QWidget> T *controlOf(const QWidget &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

// Runs a handler of the window through its action, as its control would;
// false when the window has no such handler or it is disabled.
inline bool runHandler(const Form1 &window, const char *handlerName)
{
    return window.commands().trigger(QLatin1String(handlerName));
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
