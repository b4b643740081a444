#include "engine/EngineControlBar.h"

#include "engine/SeekSlider.h"
#include "engine/TrackMenuButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The slider counts tenths of a second: fine enough to follow playback and
// coarse enough to cover years of media in an int. A longer medium (a broken
// or hostile file can claim any length) gets coarser steps instead.
constexpr double slidersPerSecond = 10.0;
constexpr double sliderSteps = std::numeric_limits<int>::max();

// Beyond any medium (three million years), and within what the clock can count.
constexpr double longestShown = 1e14;

QString clockText(std::optional<double> seconds)
{
    if (!seconds || !std::isfinite(*seconds) || *seconds < 0)
        return QStringLiteral("--:--");
    const qint64 whole = qint64(std::min(*seconds, longestShown));
    const qint64 h = whole / 3600;
    const qint64 m = whole / 60 % 60;
    const qint64 s = whole % 60;
    const QString mmss = QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
    if (h == 0)
        return mmss;
    return QStringLiteral("%1:%2:%3")
        .arg(h)
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(s, 2, 10, QLatin1Char('0'));
}

enum class Glyph
{
    Play,
    Pause,
    Stop,
    Audio,
    Subtitles,
    FullScreen,
    LeaveFullScreen
};

// Four corner marks of a square: angles at its corners (enter full screen),
// or angles set inside them (leave it).
void drawCorners(QPainter &painter, bool atCorners)
{
    QPen pen(painter.brush().color(), 3);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    constexpr double lo = 6, hi = 26, arm = 7;
    for (const double cx : {lo, hi}) {
        for (const double cy : {lo, hi}) {
            const double ax = cx == lo ? arm : -arm;
            const double ay = cy == lo ? arm : -arm;
            const QPointF vertex = atCorners ? QPointF(cx, cy) : QPointF(cx + ax, cy + ay);
            const QPointF one = atCorners ? QPointF(cx + ax, cy) : QPointF(cx, cy + ay);
            const QPointF two = atCorners ? QPointF(cx, cy + ay) : QPointF(cx + ax, cy);
            painter.drawPolyline(QPolygonF{one, vertex, two});
        }
    }
}

// Light glyphs for the dark bar; the style's own media icons are dark.
QIcon glyphIcon(Glyph glyph)
{
    constexpr int side = 32;
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe8, 0xe8, 0xe8));
    switch (glyph) {
    case Glyph::Play:
        painter.drawPolygon(QPolygonF{QPointF(9, 6), QPointF(26, 16), QPointF(9, 26)});
        break;
    case Glyph::Pause:
        painter.drawRect(QRectF(8, 7, 6, 18));
        painter.drawRect(QRectF(18, 7, 6, 18));
        break;
    case Glyph::Stop:
        painter.drawRect(QRectF(8, 8, 16, 16));
        break;
    case Glyph::Audio:
        // A loudspeaker.
        painter.drawPolygon(QPolygonF{QPointF(5, 12), QPointF(11, 12), QPointF(19, 5),
                                      QPointF(19, 27), QPointF(11, 20), QPointF(5, 20)});
        painter.drawRect(QRectF(22, 11, 3, 10));
        break;
    case Glyph::Subtitles: {
        // A screen with two lines of text at its foot.
        painter.drawRoundedRect(QRectF(3, 6, 26, 20), 3, 3);
        painter.setBrush(QColor(0x20, 0x20, 0x20));
        painter.drawRect(QRectF(7, 16, 18, 3));
        painter.drawRect(QRectF(10, 21, 12, 2));
        break;
    }
    case Glyph::FullScreen:
        drawCorners(painter, true);
        break;
    case Glyph::LeaveFullScreen:
        drawCorners(painter, false);
        break;
    }
    return QIcon(pixmap);
}

void styleButton(QToolButton *button, Glyph glyph, const QString &tip)
{
    button->setIcon(glyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tip);
    // An icon alone gives a screen reader nothing to say.
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFixedSize(28, 28);
    button->setFocusPolicy(Qt::TabFocus);
}

QToolButton *barButton(Glyph glyph, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    styleButton(button, glyph, tip);
    return button;
}

} // namespace

EngineControlBar::EngineControlBar(QWidget *parent)
    : QWidget(parent), m_seek(new SeekSlider(this)),
      m_playPause(barButton(Glyph::Play, tr("Play"), this)),
      m_stop(barButton(Glyph::Stop, tr("Stop"), this)), m_time(new QLabel(this)),
      m_volume(new QSlider(Qt::Horizontal, this)),
      m_audio(new TrackMenuButton(MediaTrack::Type::Audio, this)),
      m_subtitles(new TrackMenuButton(MediaTrack::Type::Subtitle, this)),
      m_fullScreen(barButton(Glyph::FullScreen, tr("Full screen"), this))
{
    setObjectName(QStringLiteral("engineControlBar"));
    setAccessibleName(tr("Engine controls"));
    setAutoFillBackground(true);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
    setPalette(dark);

    m_seek->setObjectName(QStringLiteral("seekSlider"));
    m_seek->setToolTip(tr("Seek"));
    m_seek->setAccessibleName(tr("Seek"));
    m_seek->setEnabled(false);
    m_playPause->setObjectName(QStringLiteral("playPauseButton"));
    m_stop->setObjectName(QStringLiteral("stopButton"));
    m_time->setObjectName(QStringLiteral("timeLabel"));
    m_time->setMinimumWidth(
        m_time->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 / 00:00:00")));
    m_time->setAlignment(Qt::AlignCenter);
    m_volume->setObjectName(QStringLiteral("volumeSlider"));
    m_volume->setToolTip(tr("Volume"));
    m_volume->setAccessibleName(tr("Volume"));
    m_volume->setRange(0, 100);
    m_volume->setFixedWidth(80);
    m_volume->setFocusPolicy(Qt::TabFocus);
    m_audio->setObjectName(QStringLiteral("audioTrackButton"));
    m_subtitles->setObjectName(QStringLiteral("subtitleButton"));
    m_fullScreen->setObjectName(QStringLiteral("fullScreenButton"));
    styleButton(m_audio, Glyph::Audio, tr("Audio track"));
    styleButton(m_subtitles, Glyph::Subtitles, tr("Subtitles"));

    auto *seekRow = new QHBoxLayout;
    seekRow->setContentsMargins(6, 2, 6, 0);
    seekRow->addWidget(m_seek);

    auto *bottomRow = new QHBoxLayout;
    bottomRow->setContentsMargins(0, 0, 6, 0);
    bottomRow->setSpacing(2);
    bottomRow->addStretch(1);
    bottomRow->addWidget(m_playPause);
    bottomRow->addWidget(m_stop);
    bottomRow->addWidget(m_time);
    bottomRow->addWidget(m_volume);
    bottomRow->addWidget(m_audio);
    bottomRow->addWidget(m_subtitles);
    bottomRow->addWidget(m_fullScreen);

    auto *bottom = new QWidget(this);
    bottom->setFixedHeight(bottomRowHeight);
    bottom->setLayout(bottomRow);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(seekRow);
    column->addWidget(bottom);

    connect(m_playPause, &QToolButton::clicked, this, &EngineControlBar::playPauseClicked);
    connect(m_stop, &QToolButton::clicked, this, &EngineControlBar::stopClicked);
    connect(m_fullScreen, &QToolButton::clicked, this, &EngineControlBar::fullScreenClicked);
    connect(m_audio, &TrackMenuButton::trackChosen, this, &EngineControlBar::trackRequested);
    connect(m_subtitles, &TrackMenuButton::trackChosen, this, &EngineControlBar::trackRequested);
    connect(m_seek, &SeekSlider::seekRequested, this, [this](int value) {
        m_position = std::min(value / m_stepsPerSecond, m_duration.value_or(0.0));
        updateTimeText();
        emit seekRequested(*m_position);
    });
    connect(m_volume, &QSlider::actionTriggered, this,
            [this](int) { emit volumeRequested(m_volume->sliderPosition()); });
    updateTimeText();
}

void EngineControlBar::setDuration(std::optional<double> seconds)
{
    if (seconds && (!std::isfinite(*seconds) || *seconds < 0))
        seconds.reset();
    m_duration = seconds;
    m_seek->setEnabled(bool(seconds));
    m_stepsPerSecond = slidersPerSecond;
    if (seconds && *seconds * slidersPerSecond > sliderSteps)
        m_stepsPerSecond = sliderSteps / *seconds;
    m_seek->setRange(0, seconds ? sliderValue(*seconds, true) : 0);
    updateTimeText();
}

void EngineControlBar::setPosition(std::optional<double> seconds)
{
    if (m_seek->isSliderDown())
        return;
    m_position = seconds;
    m_seek->setValue(seconds && std::isfinite(*seconds) ? sliderValue(*seconds, false) : 0);
    updateTimeText();
}

void EngineControlBar::setPlaying(bool playing)
{
    if (playing == m_playing)
        return;
    m_playing = playing;
    m_playPause->setIcon(glyphIcon(playing ? Glyph::Pause : Glyph::Play));
    m_playPause->setToolTip(playing ? tr("Pause") : tr("Play"));
    m_playPause->setAccessibleName(m_playPause->toolTip());
}

void EngineControlBar::setVolume(int percent)
{
    m_volume->setValue(percent);
}

int EngineControlBar::sliderValue(double seconds, bool up) const
{
    const double steps = seconds * m_stepsPerSecond;
    return int(std::clamp(up ? std::ceil(steps) : std::round(steps), 0.0, sliderSteps));
}

void EngineControlBar::setTracks(const QList<MediaTrack> &tracks)
{
    m_audio->setTracks(tracks);
    m_subtitles->setTracks(tracks);
}

void EngineControlBar::setFullScreen(bool on)
{
    m_fullScreen->setIcon(glyphIcon(on ? Glyph::LeaveFullScreen : Glyph::FullScreen));
    m_fullScreen->setToolTip(on ? tr("Leave full screen") : tr("Full screen"));
}

void EngineControlBar::updateTimeText()
{
    const QString text = clockText(m_duration ? m_position.value_or(0.0) : m_position) +
                         QStringLiteral(" / ") + clockText(m_duration);
    if (text != m_time->text())
        m_time->setText(text);
}
