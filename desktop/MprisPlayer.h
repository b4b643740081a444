#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QTimer>
#include <QVariantMap>
#include <optional>

class MediaEngine;
class PlayListBox;
class QDBusMessage;

// The MPRIS player object (org.mpris.MediaPlayer2.Player), which the media
// keys and the desktop's media controls use. It shows what the engine and the
// play list say and only asks for what its callers want done: Play and
// PlayPause resume where the medium stood, as the engine's own control bar
// does, Pause and Stop are the window's, Next and Previous its ">" and "<".
// Changes of the status, the current medium, the volume and what Next and
// Previous can do are sent as PropertiesChanged; a jump of the position, by
// a seek of anyone's or otherwise, as Seeked.
class MprisPlayer : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ canPause)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ canControl)

public:
    // The object path both MPRIS interfaces live at.
    static const QString objectPath;

    // Shows this engine and play list on this bus; the adaptor belongs to
    // exported.
    MprisPlayer(const MediaEngine &engine, const PlayListBox &playList, const QDBusConnection &bus,
                QObject *exported);

    // "Playing", "Paused" or "Stopped", as the engine stands.
    QString playbackStatus() const;
    // Playback runs at its normal rate; fast playback is the window's own.
    double rate() const { return 1.0; }
    void setRate(double) {}
    // mpris:trackid, xesam:title (the file name), xesam:url and, when known,
    // mpris:length in microseconds.
    QVariantMap metadata() const;
    // The engine's volume as 0.0 to 1.0.
    double volume() const;
    void setVolume(double volume);
    // The engine's position in microseconds, read when asked.
    qlonglong position() const;
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canPlay() const;
    bool canPause() const { return canPlay(); }
    // While a medium with a known length is loaded.
    bool canSeek() const;
    bool canControl() const { return true; }

public slots:
    // Ask for a click on ">", or on "<".
    void Next();
    void Previous();
    // Ask to pause what plays.
    void Pause();
    // Asks to pause what plays, otherwise to play.
    void PlayPause();
    // Asks to stop and rewind.
    void Stop();
    // Asks to play the current medium, resuming a pause.
    void Play();
    // Asks to move by offset microseconds: to the start at most, and past
    // the end means Next. Nothing while CanSeek is false.
    void Seek(qlonglong offset);
    // Asks to move to this position of the current track; a stale track id
    // or a position outside the medium is ignored, as MPRIS asks.
    void SetPosition(const QDBusObjectPath &trackId, qlonglong position);
    // Asks to open a file, folder or stream as the command line does; what
    // the command line would refuse is answered with an error naming why.
    void OpenUri(const QString &uri, const QDBusMessage &message);

signals:
    void Seeked(qlonglong position);

    // What the desktop asked for.
    void nextRequested();
    void previousRequested();
    void playRequested();
    void pauseRequested();
    void stopRequested();
    // A volume in percent, 0 to 100.
    void volumeRequested(int percent);
    // A position in seconds.
    void seekRequested(double seconds);
    // An address that passed the command line's rule.
    void openRequested(const QString &address);

private:
    // Looks at everything PropertiesChanged reports, once the current event
    // has been handled, so that one command sends one signal.
    void scheduleCheck();
    void sendChanges();
    QVariantMap signalledProperties() const;
    void requestSeek(double seconds);
    // Sends Seeked when the position did not move as playback moves it.
    void followPosition(std::optional<double> seconds);

    const MediaEngine &m_engine;
    const PlayListBox &m_playList;
    QDBusConnection m_bus;
    QTimer m_check;
    QVariantMap m_sent;
    // The medium the track id was given for; a new one gets the next id.
    mutable QString m_trackUrl;
    mutable int m_trackNumber = 0;
    // The last position seen, of which medium, and since when.
    std::optional<double> m_lastPosition;
    QString m_positionUrl;
    QElapsedTimer m_sincePosition;
    // Where a seek asked for here should land, and in which medium.
    std::optional<double> m_seekTarget;
    QString m_seekUrl;
};
