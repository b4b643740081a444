#include "commands/playback/PositionDisplay.h"

#include "engine/MediaEngine.h"
#include "widgets/PlayListBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <cmath>
#include <limits>

PositionDisplay::PositionDisplay(MediaEngine &engine, QTimer &timer1, QLineEdit &text1,
                                 QLineEdit &text2, QLineEdit &text4, QPushButton &cmdRepeat,
                                 PlayListBox &playList1, QLineEdit &pfname, QObject *parent)
    : QObject(parent), m_engine(engine), m_timer1(timer1), m_text1(text1), m_text2(text2),
      m_text4(text4), m_cmdRepeat(cmdRepeat), m_playList1(playList1), m_pfname(pfname)
{
    // A medium whose length is not known stops the timer at its first tick,
    // and one that fails later would show "Opening" for ever.
    connect(&engine, &MediaEngine::failed, this, [this] { m_text4.setText(m_engine.status()); });
}

QString PositionDisplay::timeText(qint64 minutes, qint64 seconds)
{
    return QStringLiteral("%1 : %2").arg(minutes).arg(seconds);
}

qint64 PositionDisplay::wholeSeconds(double duration)
{
    // Live streams and half-opened media report such values; they have no length to show.
    if (!std::isfinite(duration) || duration <= 0)
        return 0;
    constexpr double beyond = static_cast<double>(std::numeric_limits<qint64>::max());
    if (duration >= beyond)
        return std::numeric_limits<qint64>::max();
    return static_cast<qint64>(duration); // truncates: 59.99 s is 59 whole seconds
}

void PositionDisplay::Timer1_Timer()
{
    ++m_elapsedSec;
    if (m_tickCount < 1)
        showTotalTime();
    if (m_tickCount == m_totalSeconds)
        m_timer1.stop();
    if (m_elapsedSec == 60) {
        m_elapsedSec = 0;
        ++m_elapsedMin;
    }
    m_text1.setText(timeText(m_elapsedMin, m_elapsedSec));
    m_text4.setText(m_engine.status());
    ++m_tickCount;
}

void PositionDisplay::showTotalTime()
{
    // No length means no medium yet: the last known length still stands.
    if (const std::optional<double> duration = m_engine.duration())
        m_mediaDuration = *duration;
    m_totalSeconds = wholeSeconds(m_mediaDuration);
    m_text2.setText(timeText(m_totalSeconds / 60, m_totalSeconds % 60));
}

void PositionDisplay::MPlayer1_EndOfStream()
{
    m_engine.stop();
    m_timer1.stop();
    m_cmdRepeat.setEnabled(true);
    m_text1.setText(QString());
    m_text2.setText(QString());

    // Only a play-list entry that just finished moves the list on; a file from
    // the browser, or the last entry, leaves the engine stopped.
    const int finished = m_playList1.listIndex();
    if (finished < 0 || finished + 1 >= m_playList1.listCount())
        return;
    if (m_engine.url() != m_playList1.list(finished))
        return;
    const QString next = m_playList1.list(finished + 1);
    {
        // The click handler would open the entry a second time.
        const QSignalBlocker quiet(m_playList1);
        m_playList1.setListIndex(finished + 1);
    }
    m_pfname.setText(next);
    m_engine.setUrl(next);
}

void PositionDisplay::resetCounters()
{
    m_tickCount = 0;
    m_elapsedSec = 0;
    m_elapsedMin = 0;
}
