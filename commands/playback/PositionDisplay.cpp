#include "commands/playback/PositionDisplay.h"

#include "commands/PlayListSteps.h"
#include "engine/MediaEngine.h"
#include "widgets/Form1Controls.h"
#include "widgets/PlayListBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <limits>

PositionDisplay::Controls::Controls(const Form1Controls &window)
    : Timer1(*window.Timer1), Text1(*window.Text1), Text2(*window.Text2), Text4(*window.Text4),
      cmdRepeat(*window.cmdRepeat), PlayList1(*window.PlayList1)
{
}

PositionDisplay::PositionDisplay(MediaEngine &engine, const Controls &controls, QObject *parent)
    : QObject(parent), m_engine(engine), m_timer1(controls.Timer1), m_text1(controls.Text1),
      m_text2(controls.Text2), m_text4(controls.Text4), m_cmdRepeat(controls.cmdRepeat),
      m_playList1(controls.PlayList1)
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
    const int next = PlayListSteps(m_playList1).afterEnd(m_engine.url());
    if (next < 0)
        return;
    // Selecting it plays it; the count stays stopped until a command starts it.
    m_playList1.setListIndex(next);
    m_timer1.stop();
}

void PositionDisplay::resetCounters()
{
    m_tickCount = 0;
    m_elapsedSec = 0;
    m_elapsedMin = 0;
}

void PositionDisplay::showStopped()
{
    m_timer1.stop();
    m_text1.setText(QStringLiteral(" "));
    m_text2.setText(QString());
}

void PositionDisplay::showPosition(double seconds)
{
    // Counted as the ticks count, so the stop mark still falls at the end.
    const qint64 whole = wholeSeconds(seconds);
    m_tickCount = whole;
    m_elapsedMin = whole / 60;
    m_elapsedSec = qint16(whole % 60);
    m_text1.setText(timeText(m_elapsedMin, m_elapsedSec));
}
