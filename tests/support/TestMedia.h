#pragma once

#include <QColor>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>

// Media made during a test run, in a temporary folder that is removed with
// this object. Nothing is committed: a WAV is written here byte by byte, every
// other file is made by the ffmpeg command. Each maker returns the file's
// absolute path, or an empty string when it failed (lastError() says why).
//
//     TestMedia media;
//     const QString tone = media.wav("tone.wav", 2.0);
//     const QString red = media.colourClip("red.mp4", 3.0, {320, 240}, Qt::red);
//     QVERIFY2(!red.isEmpty(), qPrintable(media.lastError()));
class TestMedia
{
public:
    TestMedia();

    // The folder the files go to.
    QString folder() const { return m_dir.path(); }
    // The absolute path a file of this name would have in the folder.
    QString path(const QString &name) const;
    // Why the last maker failed.
    QString lastError() const { return m_lastError; }

    // A 16-bit mono PCM WAV at 44.1 kHz holding a sine tone of this length.
    QString wav(const QString &name, double seconds, double frequency = 440.0);

    // A clip of one solid colour at 25 frames a second; the container and
    // codecs follow the name's extension (.mp4, .mkv, .avi, .webm ...).
    QString colourClip(const QString &name, double seconds, QSize size, const QColor &colour,
                       bool withAudio = false);
    // ffmpeg's moving test pattern (a counter and colour bars), 25 frames a
    // second, optionally with a tone.
    QString testPattern(const QString &name, double seconds, QSize size, bool withAudio = false);
    // An audio-only file of a sine tone made by ffmpeg (.mp3, .ogg, .flac ...).
    QString tone(const QString &name, double seconds, double frequency = 440.0);

    // A file of this many pseudo-random bytes (the same bytes on every run).
    QString randomBytes(const QString &name, qint64 size);
    // A copy of the first keepBytes bytes of source.
    QString truncatedCopy(const QString &source, const QString &name, qint64 keepBytes);
    // A text file with this content, as UTF-8.
    QString textFile(const QString &name, const QString &content);
    // A file holding exactly these bytes (text in another encoding).
    QString bytesFile(const QString &name, const QByteArray &bytes);

    // A Matroska clip of dark grey (48, 48, 48), so that subtitles stand
    // out on it, with two tones as its audio
    // tracks (440 Hz "eng" titled "Main", 660 Hz "fre" titled "Commentary")
    // and this subtitle file as its one subtitle track ("eng").
    QString clipWithTracks(const QString &name, double seconds, const QString &subtitles);

    // Runs ffmpeg quietly with these arguments; true when it succeeded.
    bool runFfmpeg(const QStringList &arguments);

private:
    QString makeVideo(const QString &name, const QString &videoSource, double seconds,
                      bool withAudio);

    QTemporaryDir m_dir;
    QString m_lastError;
};
