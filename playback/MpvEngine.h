#pragma once

#include "playback/MediaEngine.h"

// The real engine, on libmpv.
class MpvEngine : public MediaEngine
{
    Q_OBJECT
public:
    explicit MpvEngine(QObject *parent = nullptr);
    ~MpvEngine() override;

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

private:
    QString m_url;
    int m_volume = 50;
    QWidget *m_widget = nullptr;
};
