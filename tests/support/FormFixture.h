#pragma once

#include "app/Form1.h"
#include "support/FakeEngine.h"
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
        T *control = form.control<T>(QLatin1String(name));
        Q_ASSERT_X(control, "FormFixture::get", name);
        return control;
    }
    QLineEdit *edit(const char *name) const { return get<QLineEdit>(name); }
    QTimer *timer1() const { return form.timer(QStringLiteral("Timer1")); }
};
