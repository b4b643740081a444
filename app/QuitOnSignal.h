#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the program as Exit does when the system asks it to end (SIGTERM as
// a session closes, SIGHUP, SIGINT): the event loop quits and the window
// closes, so what it keeps on closing is kept. A second such signal ends
// the program at once, as it would have without this.
class QuitOnSignal : public QObject
{
    Q_OBJECT
public:
    // Takes the signals over for the program's life; only one may exist.
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

private:
    QSocketNotifier *m_notifier = nullptr;
};
