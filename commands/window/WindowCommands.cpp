#include "commands/window/WindowCommands.h"

#include "widgets/CommonDialog.h"
#include "widgets/Form1Controls.h"
#include "widgets/LabelButton.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPalette>
#include <QTimer>

WindowCommands::Controls::Controls(const Form1Controls &window)
    : Timer1(*window.Timer1), Label1(*window.Label1), Label2(*window.Label2), Label3(*window.Label3)
{
}

WindowCommands::WindowCommands(QWidget &window, CommonDialog &dialog, const Controls &controls,
                               QObject *parent)
    : QObject(parent), m_window(window), m_timer1(controls.Timer1), m_dialog(dialog),
      m_label1(controls.Label1), m_label2(controls.Label2), m_label3(controls.Label3)
{
}

void WindowCommands::cmdExit_Click()
{
    m_timer1.stop();
    m_window.close();
    // Closing the last window would end the program too, but only once the
    // event loop notices; quitting here makes sure no queued tick runs.
    QCoreApplication::quit();
}

void WindowCommands::cmdChangeBackground_Click()
{
    if (!m_dialog.showColor())
        return;
    keepChildBackgrounds();
    setBackground(m_window, m_dialog.color());
    setBackground(m_label1, m_dialog.color());
    setBackground(m_label2, m_dialog.color());
    setBackground(m_label3, m_dialog.color());
}

void WindowCommands::keepChildBackgrounds()
{
    // Qt hands a parent's palette roles down to every child that has not set
    // them itself; pin the children's own background first so only the
    // window's surface takes the new colour.
    const auto children = m_window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child->isWindow())
            continue;
        QPalette palette = child->palette();
        bool pinned = false;
        for (int group = 0; group < QPalette::NColorGroups; ++group) {
            const auto colourGroup = QPalette::ColorGroup(group);
            if (palette.isBrushSet(colourGroup, QPalette::Window))
                continue;
            palette.setBrush(colourGroup, QPalette::Window,
                             palette.brush(colourGroup, QPalette::Window));
            pinned = true;
        }
        if (pinned)
            child->setPalette(palette);
    }
}

void WindowCommands::setBackground(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
}
