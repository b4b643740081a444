#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

class EngineCommands;
class MediaEngine;
class PositionDisplay;
class PositionStore;

// Where a long video was left, and the offer to go back there. A local
// medium with a video track lasting at least 3 minutes that stops being
// played (Stop, another medium, Exit, the window or the session closing)
// more than a minute in and more than 30 s before its end is remembered;
// one that plays to its end or stops within its first minute is forgotten.
// When a remembered medium opens again it plays from its start as ever, and
// the engine's message offers for 10 s to resume there: a click on it,
// Enter while it shows, or the key of acceptOffer() takes it.
class PositionMemory : public QObject
{
    Q_OBJECT
public:
    // Media shorter than this (in seconds) are never remembered.
    static constexpr double shortestMedium = 180;
    // A stop this far in (seconds) or sooner forgets the medium.
    static constexpr double firstStretch = 60;
    // A stop this close to the end (seconds) or closer forgets it too.
    static constexpr double lastStretch = 30;
    // How long the offer shows, in milliseconds.
    static constexpr int offerTime = 10000;

    // What a stop means for a medium's remembered position.
    enum class Verdict
    {
        // Nothing changes: not a video, or too short.
        Keep,
        Remember,
        Forget
    };

    // Follows engine; without a store it neither remembers nor offers.
    // Accepting seeks through seeker and shows the place on display.
    PositionMemory(MediaEngine &engine, PositionStore *store, EngineCommands &seeker,
                   PositionDisplay &display, QObject *parent = nullptr);
    // The window closing stops the medium too.
    ~PositionMemory() override;

    // What stopping a medium of this kind and length at this position means.
    static Verdict verdict(bool video, double duration, double position);
    // The offer's words: "Resume from 2:10", "Resume from 1:02:03".
    static QString offerText(double seconds);

    // Takes the offer shown now, seeking there; nothing without one.
    void acceptOffer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow();
    void ended();
    void settle();
    void offer();
    void withdraw();
    void taken();

    MediaEngine &m_engine;
    PositionStore *m_store;
    EngineCommands &m_seeker;
    PositionDisplay &m_display;
    QTimer m_offerTimer;

    // The medium followed: what the engine played, its key in the store
    // (empty when it is no local video file), and what was seen of it.
    QString m_url;
    QByteArray m_key;
    bool m_video = false;
    bool m_playing = false;
    bool m_offerChecked = false;
    std::optional<double> m_duration;
    // Where it was last seen playing or paused; empty once settled.
    std::optional<double> m_position;
    // The place the offer shown now leads to.
    double m_offered = 0;
};
