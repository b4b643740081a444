#pragma once

#include "widgets/Pictures.h"

#include <QColor>
#include <QPalette>
#include <QString>
#include <functional>
#include <vector>

struct Form1Controls;
class QObject;

// The stored design of the main window: every control with its kind, texts,
// place and look. The window is built from this table and nothing else.

enum class ControlKind
{
    FileList,
    FolderList,
    DriveList,
    ListBox,
    ComboBox,
    TextBox,
    PushButton,
    PictureButton,
    Label,
    MediaEngine,
    Timer,
    CommonDialog,
};

// A colour as the design gives it: none (the toolkit's default), one of the
// platform's system colours, or a fixed RGB value.
struct DesignColour
{
    enum Source
    {
        Default,
        System,
        Rgb
    };
    Source source = Default;
    int value = 0; // system colour index, or 0xRRGGBB

    static DesignColour system(int index) { return {System, index}; }
    static DesignColour rgb(int rgb) { return {Rgb, rgb}; }
    bool isSet() const { return source != Default; }
    // Resolves system colours against a palette, so they follow the user's scheme.
    QColor resolve(const QPalette &palette) const;
};

struct DesignFont
{
    const char *family = nullptr; // the family the design names; empty: window's default
    double pointSize = 0;
    bool bold = false;
    bool symbol = false; // drawn as the symbol font's picture, not as text
};

struct DesignLook
{
    DesignFont font;
    DesignColour background;
    DesignColour text;
    bool border = false;
    bool centred = false;
    Picture picture = Picture::None;
    int timerInterval = 0; // timers only, in ms
    bool timerEnabled = false;
};

// Where the window keeps a control the factory made: its member of
// Form1Controls. Empty for the common dialog, which is a service.
class ControlSlot
{
public:
    ControlSlot() = default;
    template <class T>
    ControlSlot(T *Form1Controls::*member)
        : m_put([member](Form1Controls &controls, QObject *control) {
              controls.*member = qobject_cast<T *>(control);
              return controls.*member != nullptr;
          }),
          m_get([member](const Form1Controls &controls) -> QObject * { return controls.*member; })
    {
    }

    // Puts the control in its member; false when it is not of the member's
    // class, or the slot is empty.
    bool put(Form1Controls &controls, QObject *control) const
    {
        return m_put && m_put(controls, control);
    }
    // The control in the member, or nullptr.
    QObject *get(const Form1Controls &controls) const { return m_get ? m_get(controls) : nullptr; }

private:
    std::function<bool(Form1Controls &, QObject *)> m_put;
    std::function<QObject *(const Form1Controls &)> m_get;
};

struct ControlDesign
{
    const char *name;
    ControlKind kind;
    const char *caption; // caption or initial text
    const char *toolTip;
    int left, top, width, height; // twips, relative to the client area
    int tabIndex;                 // -1 where the control has none
    DesignLook look;
    ControlSlot slot;

    // A control with a window of its own (all visual controls but labels).
    bool isWindowed() const;
    // A control shown on the window (not a timer or the common dialog).
    bool isVisual() const;
};

struct FormDesign
{
    const char *caption;
    int clientWidth, clientHeight; // twips
    DesignColour background;
    DesignColour text;
    DesignFont defaultFont;
    // Front to back, as the window stacks them.
    std::vector<ControlDesign> controls;
};

// The window's stored design.
const FormDesign &form1Design();
