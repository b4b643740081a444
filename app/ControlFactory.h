#pragma once

#include "widgets/Form1Controls.h"

#include <QFont>

struct ControlDesign;
struct DesignFont;
struct FormDesign;
class MediaEngine;
class QObject;
class QWidget;

// Turns the rows of the window's design into live controls on the window.
class ControlFactory
{
public:
    // Builds on this window; the engine supplies the widget placed as MPlayer1.
    ControlFactory(QWidget &window, MediaEngine &engine);

    // Styles the window and makes every control of the design, stacked and
    // linked in tab order as the design says, each with a name for screen
    // readers; returns them by name.
    Form1Controls build(const FormDesign &design);

    // The window's fonts map the design's Windows families to close faces
    // that Debian ships.
    static void installFontSubstitutes();
    // The font a design asks for; fallback where it names none.
    static QFont font(const DesignFont &design, const QFont &fallback);
    // A heading as a screen reader should say it: without the rules of '<',
    // '=' and '>' around it, letters spaced out joined ("==== P L A Y    L I
    // S T====" is "PLAY LIST").
    static QString spokenHeading(const QString &caption);

private:
    void styleWindow(const FormDesign &design);
    QObject *create(const ControlDesign &design);
    QWidget *createWidget(const ControlDesign &design);
    void applyLook(QWidget *control, const ControlDesign &design);
    static void setTabOrder(const FormDesign &design, const Form1Controls &controls);
    static void nameForScreenReaders(const FormDesign &design, const Form1Controls &controls);

    QWidget &m_window;
    MediaEngine &m_engine;
};
