#include "engine/EngineControlBar.h"

#include "engine/SeekSlider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The slider counts tenths of a second: fine enough to follow playback and
// coarse enough to cover days of media in an int.
constexpr double slidersPerSecond = 10.0;

QString clockText(std::optional<double> seconds)
{
    if (!seconds || !std::isfinite(*seconds) || *seconds < 0)
        return QStringLiteral("--:--");
    const qint64 whole = qint64(*seconds);
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
    Stop
};

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
    }
    return QIcon(pixmap);
}

QToolButton *barButton(Glyph glyph, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setIcon(glyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tip);
    // An icon alone gives a screen reader nothing to say.
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFixedSize(28, 28);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

EngineControlBar::EngineControlBar(QWidget *parent)
    : QWidget(parent), m_seek(new SeekSlider(this)),
      m_playPause(barButton(Glyph::Play, tr("Play"), this)),
      m_stop(barButton(Glyph::Stop, tr("Stop"), this)), m_time(new QLabel(this)),
      m_volume(new QSlider(Qt::Horizontal, this))
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
    connect(m_seek, &SeekSlider::seekRequested, this, [this](int value) {
        m_position = value / slidersPerSecond;
        updateTimeText();
        emit seekRequested(value / slidersPerSecond);
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
    m_seek->setRange(0, seconds ? int(std::ceil(*seconds * slidersPerSecond)) : 0);
    updateTimeText();
}

void EngineControlBar::setPosition(std::optional<double> seconds)
{
    if (m_seek->isSliderDown())
        return;
    m_position = seconds;
    m_seek->setValue(seconds ? int(std::lround(*seconds * slidersPerSecond)) : 0);
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

void EngineControlBar::updateTimeText()
{
    const QString text = clockText(m_duration ? m_position.value_or(0.0) : m_position) +
                         QStringLiteral(" / ") + clockText(m_duration);
    if (text != m_time->text())
        m_time->setText(text);
}
