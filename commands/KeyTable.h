#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <vector>

// One row of the window's keys: the shortcuts are made from these rows, and
// the key list (F1) and the README show the same rows.
struct KeyBinding
{
    // The keys, in QKeySequence's portable text; alternatives joined by "; ".
    const char *keys;
    // What they do, as the key list says it.
    const char *what;
    // The action the keys trigger (its object name); null where the window
    // itself answers the key (moving focus, pressing a focused button).
    const char *command = nullptr;
    // The design name of the control that must have focus; null: anywhere.
    const char *focus = nullptr;
    // Where the keys work, as the key list says it; empty: anywhere.
    const char *where = "";
    // The focused control answers these keys itself, so no shortcut is made.
    bool own = false;

    // The keys as sequences, in the order written.
    QList<QKeySequence> sequences() const;
    // The keys as the key list shows them ("Ctrl+O", "Media Next").
    QString keyText() const;
};

// Every key of the window, grouped as the key list shows them.
const std::vector<KeyBinding> &keyTable();
