#pragma once

#include "engine/MediaEngine.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

// An engine that the window can be built on before the real one exists: it
// answers as an engine with no medium (or one still opening), remembers
// every request in order, and once attach() hands it the real engine,
// replays them there and from then on passes everything through. Its area
// is the engine's usual one (black, with the control bar) until the real
// engine's area takes its place.
class DeferredEngine : public MediaEngine
{
    Q_OBJECT
public:
    explicit DeferredEngine(QObject *parent = nullptr);
    // The real engine goes with it; its area belongs to whoever placed ours.
    ~DeferredEngine() override;

    // Takes the real engine over and replays what was asked before; only
    // the first call counts.
    void attach(std::unique_ptr<MediaEngine> engine);

    QWidget *widget() override;
    void setUrl(const QString &url) override;
    QString url() const override;
    void play() override;
    void pause() override;
    void stop() override;
    void fastForward() override;
    void fastReverse() override;
    void playPause() override;
    void seek(double seconds) override;
    void seekBy(double seconds) override;
    void setVolume(int percent) override;
    int volume() const override;
    std::optional<double> duration() const override;
    QString status() const override;
    PlaybackState playbackState() const override;
    std::optional<double> position() const override;
    QString problem() const override;
    QList<MediaTrack> tracks() const override;
    void selectTrack(MediaTrack::Type type, int id) override;
    void addSubtitleFile(const QString &path) override;
    bool fullScreen() const override;
    void setFullScreen(bool on) override;

private:
    // Runs the request on the real engine, or keeps it for attach().
    void request(std::function<void(MediaEngine &)> call);
    void placeTargetWidget();
    void announceStatus();

    std::unique_ptr<MediaEngine> m_target;
    std::vector<std::function<void(MediaEngine &)>> m_pending;
    QPointer<QWidget> m_area;
    QPointer<QWidget> m_standIn;
    QString m_url;
    int m_volume = 50;
    QString m_lastStatus;
};
