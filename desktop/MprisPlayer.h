#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QTimer>
#include <QVariantMap>

class Form1;
class QDBusMessage;

// The MPRIS player object (org.mpris.MediaPlayer2.Player), which the media
// keys and the desktop's media controls use. Play, Pause, PlayPause and Stop
// act as the engine's own control bar does (resume where it stood); Next and
// Previous run the window's ">" and "<" commands. Changes of the status, the
// current medium, the volume and what Next and Previous can do are sent as
// PropertiesChanged.
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

    // Serves the window on this bus; the adaptor belongs to exported.
    MprisPlayer(Form1 &window, const QDBusConnection &bus, QObject *exported);

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
    // The engine's position in microseconds.
    qlonglong position() const;
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canPlay() const;
    bool canPause() const { return canPlay(); }
    bool canSeek() const { return false; }
    bool canControl() const { return true; }

public slots:
    // As a click on ">".
    void Next();
    // As a click on "<".
    void Previous();
    // Pauses what plays.
    void Pause();
    // Pauses what plays; otherwise plays, resuming a pause.
    void PlayPause();
    // Stops and rewinds.
    void Stop();
    // Plays the current medium, resuming a pause.
    void Play();
    // CanSeek is false: both do nothing, as MPRIS asks.
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath &trackId, qlonglong position);
    // Opening by address is not offered (SupportedUriSchemes names what the
    // command line takes); the caller gets NotSupported.
    void OpenUri(const QString &uri, const QDBusMessage &message);

signals:
    void Seeked(qlonglong position);

private:
    // Looks at everything PropertiesChanged reports, once the current event
    // has been handled, so that one command sends one signal.
    void scheduleCheck();
    void sendChanges();
    QVariantMap signalledProperties() const;

    Form1 &m_window;
    QDBusConnection m_bus;
    QTimer m_check;
    // The length of a medium often becomes known a moment after it opens.
    QTimer m_lengthWatch;
    QVariantMap m_sent;
    // The medium the track id was given for; a new one gets the next id.
    mutable QString m_trackUrl;
    mutable int m_trackNumber = 0;
};
