#pragma once

#include "app/Form1.h"
#include "support/FakeEngine.h"
#include "support/FormAccess.h"
#include "support/ScriptedDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The window built with the engine and dialog doubles, for handler tests.
struct FormFixture
{
    FakeEngine engine;
    ScriptedDialog dialog;
    Form1 form{engine, dialog};

    template <class T = QWidget> T *get(const char *name) const
    {
        T *control = controlOf<T>(form, name);
        Q_ASSERT_X(control, "FormFixture::get", name);
        return control;
    }
    QLineEdit *edit(const char *name) const { return get<QLineEdit>(name); }
    QTimer *timer1() const { return get<QTimer>("Timer1"); }
    // Runs a handler as its control would.
    void run(const char *handlerName) const
    {
        const bool ran = runHandler(form, handlerName);
        Q_ASSERT_X(ran, "FormFixture::run", handlerName);
    }
};
