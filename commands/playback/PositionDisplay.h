#pragma once

#include <QObject>
#include <QtGlobal>

struct Form1Controls;
class MediaEngine;
class PlayListBox;
class QLineEdit;
class QPushButton;
class QString;
class QTimer;

// The position display: Timer1 counts elapsed seconds into Text1, shows the
// medium's total in Text2 on the first tick after a reset and the engine's
// status in Text4, and a failure of the medium there at once, timer or not.
// Also handles the end of a stream.
class PositionDisplay : public QObject
{
    Q_OBJECT
public:
    // The controls it works on, taken from the window's by their names.
    struct Controls
    {
        explicit Controls(const Form1Controls &window);
        QTimer &Timer1;
        QLineEdit &Text1;
        QLineEdit &Text2;
        QLineEdit &Text4;
        QPushButton &cmdRepeat;
        PlayListBox &PlayList1;
    };

    PositionDisplay(MediaEngine &engine, const Controls &controls, QObject *parent = nullptr);

    // One tick of Timer1: counts a second, works out the total after a reset,
    // stops the timer at the total and shows time and status.
    void Timer1_Timer();
    // The engine's end of stream: stops, clears the time fields, enables
    // Repeat and selects the play-list entry after the one that finished,
    // which plays it; the count stays stopped.
    void MPlayer1_EndOfStream();

    // Repeat's reset: the next tick shows 0 : 1 and works out the total afresh.
    void resetCounters();
    // What Stop leaves on the window: the count stopped, a single space in
    // Text1 and nothing in Text2.
    void showStopped();
    // The count follows a seek: Text1 shows this position and the ticks go
    // on from it (a whole second at a time, as after a reset).
    void showPosition(double seconds);

    // Minutes and seconds as the time fields show them: "M : S", no padding.
    static QString timeText(qint64 minutes, qint64 seconds);
    // The whole seconds of a duration; negative, NaN or infinite count as 0.
    static qint64 wholeSeconds(double duration);

private:
    // The tests read the counters, which nothing on the window shows whole.
    friend class PositionCounters;

    void showTotalTime();

    MediaEngine &m_engine;
    QTimer &m_timer1;
    QLineEdit &m_text1;
    QLineEdit &m_text2;
    QLineEdit &m_text4;
    QPushButton &m_cmdRepeat;
    PlayListBox &m_playList1;

    // Ticks since the last reset.
    qint64 m_tickCount = 0;
    // Seconds within the current elapsed minute (1 to 59, or 0 after 60).
    qint16 m_elapsedSec = 0;
    // Elapsed whole minutes.
    qint64 m_elapsedMin = 0;
    // The duration last read from the engine, in seconds.
    double m_mediaDuration = 0;
    // Whole seconds of m_mediaDuration; the tick count at which the timer stops.
    qint64 m_totalSeconds = 0;
};
