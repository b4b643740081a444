#include "commands/view/EngineScreen.h"

#include "engine/MediaEngine.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace {

// Whether keys typed into this widget are text: a text box, or a combo box
// one can type into.
bool takesText(const QWidget *widget)
{
    if (qobject_cast<const QLineEdit *>(widget))
        return true;
    const auto *combo = qobject_cast<const QComboBox *>(widget);
    return combo && combo->isEditable();
}

} // namespace

EngineScreen::EngineScreen(MediaEngine &engine, QWidget &window, QObject *parent)
    : QObject(parent), m_engine(engine)
{
    // A key the focus widget does not claim travels up to the window, where
    // this filter can still claim it for a text box.
    window.installEventFilter(this);
}

void EngineScreen::toggleFullScreen()
{
    m_engine.setFullScreen(!m_engine.fullScreen());
}

void EngineScreen::leaveFullScreen()
{
    m_engine.setFullScreen(false);
}

void EngineScreen::bindKeys(QAction &toggle, QAction &leave)
{
    m_toggle = &toggle;
    leave.setEnabled(m_engine.fullScreen());
    connect(&m_engine, &MediaEngine::fullScreenChanged, &leave, &QAction::setEnabled);
}

bool EngineScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && m_toggle &&
        takesText(QApplication::focusWidget())) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        if (m_toggle->shortcuts().contains(pressed)) {
            key->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
