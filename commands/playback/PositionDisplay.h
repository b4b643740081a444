#pragma once

#include <QObject>
#include <QtGlobal>

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
    PositionDisplay(MediaEngine &engine, QTimer &timer1, QLineEdit &text1, QLineEdit &text2,
                    QLineEdit &text4, QPushButton &cmdRepeat, PlayListBox &playList1,
                    QLineEdit &pfname, QObject *parent = nullptr);

    // One tick of Timer1: counts a second, works out the total after a reset,
    // stops the timer at the total and shows time and status.
    void Timer1_Timer();
    // The engine's end of stream: stops, clears the time fields, enables
    // Repeat and opens the play-list entry after the one that finished.
    void MPlayer1_EndOfStream();

    // Repeat's reset: the next tick shows 0 : 1 and works out the total afresh.
    void resetCounters();

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
    QLineEdit &m_pfname;

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
