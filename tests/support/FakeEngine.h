#pragma once

#include "playback/MediaEngine.h"

#include <QStringList>
#include <QWidget>
#include <memory>

// An engine double: records every call in order, answers with scripted
// durations and status texts, and raises endOfStream on demand.
class FakeEngine : public MediaEngine
{
    Q_OBJECT
public:
    FakeEngine();
    ~FakeEngine() override;

    QWidget *widget() override;
    void setUrl(const QString &url) override;
    QString url() const override { return m_url; }
    void play() override;
    void pause() override;
    void stop() override;
    void fastForward() override;
    void fastReverse() override;
    void setVolume(int percent) override;
    int volume() const override { return m_volume; }
    std::optional<double> duration() const override;
    QString status() const override;

    // Every call, in order: "url=<path>", "play", "pause", "stop",
    // "fastForward", "fastReverse", "volume=<n>", "duration", "status".
    QStringList calls;
    // What duration() answers; empty makes the read fail.
    std::optional<double> scriptedDuration;
    QString scriptedStatus = QStringLiteral("Ready");

    void raiseEndOfStream() { emit endOfStream(8); }
    // Calls that change the engine's state, without the reads.
    QStringList commands() const;

private:
    QString m_url;
    int m_volume = 50;
    QWidget *m_widget = nullptr;
    std::unique_ptr<QWidget> m_ownedWidget;
};
