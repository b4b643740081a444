#pragma once

#include <QFont>
#include <QHash>
#include <QString>

struct ControlDesign;
struct DesignFont;
struct DesignLook;
struct FormDesign;
class MediaEngine;
class QTimer;
class QWidget;

// Turns rows of the window's design into live controls on the window.
class ControlFactory
{
public:
    // Builds on this window; the engine supplies the widget placed as MPlayer1.
    ControlFactory(QWidget &window, MediaEngine &engine);

    // Gives the window its caption, icon, font, colours and client size.
    void styleWindow(const FormDesign &design);
    // Creates a visual control on the window, placed, styled and shown.
    QWidget *createControl(const ControlDesign &design);
    // Creates a timer, running if the design enables it with an interval.
    QTimer *createTimer(const ControlDesign &design);
    // Links the focusable controls in the design's tab order.
    void setTabOrder(const FormDesign &design, const QHash<QString, QWidget *> &controls);

    // The window's fonts map the design's Windows families to close faces
    // that Debian ships.
    static void installFontSubstitutes();
    // The font a design asks for; fallback where it names none.
    static QFont font(const DesignFont &design, const QFont &fallback);

private:
    QWidget *createWidget(const ControlDesign &design);
    void applyLook(QWidget *control, const ControlDesign &design);

    QWidget &m_window;
    MediaEngine &m_engine;
};
