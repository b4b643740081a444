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
    ControlFactory(QWidget &window, MediaEngine &engine);

    void styleWindow(const FormDesign &design);
    QWidget *createControl(const ControlDesign &design);
    QTimer *createTimer(const ControlDesign &design);
    void setTabOrder(const FormDesign &design, const QHash<QString, QWidget *> &controls);

    // The window's fonts map the design's Windows families to close faces
    // that Debian ships.
    static void installFontSubstitutes();
    static QFont font(const DesignFont &design, const QFont &fallback);

private:
    QWidget *createWidget(const ControlDesign &design);
    void applyLook(QWidget *control, const ControlDesign &design);

    QWidget &m_window;
    MediaEngine &m_engine;
};
