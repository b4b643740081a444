#pragma once

#include <QObject>
#include <QtGlobal>

class MediaEngine;
class PlayListBox;
class QLineEdit;
class QPushButton;
class QTimer;

// The position display: Timer1 counts elapsed seconds into Text1, shows the
// medium's total in Text2 on the first tick after a reset and the engine's
// status in Text4. Also handles the end of a stream.
class PositionDisplay : public QObject
{
    Q_OBJECT
public:
    PositionDisplay(MediaEngine &engine, QTimer &timer1, QLineEdit &text1, QLineEdit &text2,
                    QLineEdit &text4, QPushButton &cmdRepeat, PlayListBox &playList1,
                    QLineEdit &pfname, QObject *parent = nullptr);

    void Timer1_Timer();
    void MPlayer1_EndOfStream();

    // Repeat's reset: the next tick shows 0 : 1 and works out the total afresh.
    void resetCounters();

    qint64 tickCount() const { return m_tickCount; }
    qint16 elapsedSec() const { return m_elapsedSec; }
    qint64 elapsedMin() const { return m_elapsedMin; }
    double mediaDuration() const { return m_mediaDuration; }
    qint64 totalSeconds() const { return m_totalSeconds; }

private:
    MediaEngine &m_engine;
    QTimer &m_timer1;
    QLineEdit &m_text1;
    QLineEdit &m_text2;
    QLineEdit &m_text4;
    QPushButton &m_cmdRepeat;
    PlayListBox &m_playList1;
    QLineEdit &m_pfname;

    qint64 m_tickCount = 0;
    qint16 m_elapsedSec = 0;
    qint64 m_elapsedMin = 0;
    double m_mediaDuration = 0;
    qint64 m_totalSeconds = 0;
};
