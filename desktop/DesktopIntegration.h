#pragma once

#include <QObject>
#include <QStringList>

class DropHandler;
class Form1;
class MediaOpener;
class MprisService;

// What ties the window to the desktop: files from the command line and from
// drops, and MPRIS for the media keys. With no argument, no drop and no bus
// the window behaves exactly as it would without it.
class DesktopIntegration : public QObject
{
    Q_OBJECT
public:
    explicit DesktopIntegration(Form1 &window, QObject *parent = nullptr);
    ~DesktopIntegration() override;

    // Registers the MPRIS objects on the session bus, or logs once that
    // there is none.
    void connectSessionBus();
    // Opens the command line's files once the event loop runs, so the window
    // is on screen before anything plays or a message box comes up.
    void openArguments(const QStringList &files);

    MediaOpener &opener() const { return *m_opener; }
    MprisService &mpris() const { return *m_mpris; }

private:
    Form1 &m_window;
    MediaOpener *m_opener;
    DropHandler *m_drops;
    MprisService *m_mpris;
};
