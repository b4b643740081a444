#include "support/TestMedia.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QtMath>

namespace {

QString number(double value)
{
    return QString::number(value, 'f', 3);
}

// Encoder arguments that suit the container and stay fast on a busy machine.
QStringList encoderArguments(const QString &name, bool withAudio)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    QStringList args;
    if (suffix == QLatin1String("mp4") || suffix == QLatin1String("mov") ||
        suffix == QLatin1String("m4v") || suffix == QLatin1String("mkv")) {
        args << "-c:v"
             << "libx264"
             << "-preset"
             << "ultrafast";
        if (withAudio)
            args << "-c:a"
                 << "aac";
    } else if (suffix == QLatin1String("webm")) {
        args << "-c:v"
             << "libvpx"
             << "-deadline"
             << "realtime"
             << "-cpu-used"
             << "8";
    }
    args << "-pix_fmt"
         << "yuv420p";
    return args;
}

} // namespace

TestMedia::TestMedia()
{
    if (!m_dir.isValid())
        m_lastError = m_dir.errorString();
}

QString TestMedia::path(const QString &name) const
{
    return QDir(m_dir.path()).filePath(name);
}

QString TestMedia::wav(const QString &name, double seconds, double frequency)
{
    constexpr quint32 rate = 44100;
    const quint32 frames = quint32(qMax(0.0, seconds) * rate);
    const quint32 dataBytes = frames * 2;

    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly)) {
        m_lastError = file.errorString();
        return {};
    }
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (quint32 i = 0; i < frames; ++i)
        out << qint16(qRound(12000.0 * qSin(2.0 * M_PI * frequency * i / rate)));
    if (out.status() != QDataStream::Ok || !file.flush()) {
        m_lastError = file.errorString();
        return {};
    }
    return file.fileName();
}

QString TestMedia::colourClip(const QString &name, double seconds, QSize size, const QColor &colour,
                              bool withAudio)
{
    const QString source = QStringLiteral("color=c=0x%1:s=%2x%3:r=25")
                               .arg(colour.name().mid(1))
                               .arg(size.width())
                               .arg(size.height());
    return makeVideo(name, source, seconds, withAudio);
}

QString TestMedia::testPattern(const QString &name, double seconds, QSize size, bool withAudio)
{
    const QString source =
        QStringLiteral("testsrc=s=%1x%2:r=25").arg(size.width()).arg(size.height());
    return makeVideo(name, source, seconds, withAudio);
}

QString TestMedia::makeVideo(const QString &name, const QString &videoSource, double seconds,
                             bool withAudio)
{
    QStringList args{"-f", "lavfi", "-i", videoSource};
    if (withAudio)
        args << "-f"
             << "lavfi"
             << "-i" << QStringLiteral("sine=frequency=440:sample_rate=44100");
    args << "-t" << number(seconds) << encoderArguments(name, withAudio) << path(name);
    return runFfmpeg(args) ? path(name) : QString();
}

QString TestMedia::tone(const QString &name, double seconds, double frequency)
{
    const QStringList args{
        "-f",      "lavfi",
        "-i",      QStringLiteral("sine=frequency=%1:sample_rate=44100").arg(frequency),
        "-t",      number(seconds),
        path(name)};
    return runFfmpeg(args) ? path(name) : QString();
}

QString TestMedia::randomBytes(const QString &name, qint64 size)
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly)) {
        m_lastError = file.errorString();
        return {};
    }
    QRandomGenerator generator(20240611);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    if (file.write(bytes) != size) {
        m_lastError = file.errorString();
        return {};
    }
    return file.fileName();
}

QString TestMedia::truncatedCopy(const QString &source, const QString &name, qint64 keepBytes)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        m_lastError = in.errorString();
        return {};
    }
    QFile out(path(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(in.read(keepBytes)) < 0) {
        m_lastError = out.errorString();
        return {};
    }
    return out.fileName();
}

QString TestMedia::textFile(const QString &name, const QString &content)
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content.toUtf8()) < 0) {
        m_lastError = file.errorString();
        return {};
    }
    return file.fileName();
}

QString TestMedia::bytesFile(const QString &name, const QByteArray &bytes)
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        m_lastError = file.errorString();
        return {};
    }
    return file.fileName();
}

QString TestMedia::clipWithTracks(const QString &name, double seconds, const QString &subtitles)
{
    const QString inputs = QStringLiteral("-f lavfi -i color=c=0x303030:s=320x240:r=25 "
                                          "-f lavfi -i sine=frequency=440:sample_rate=44100 "
                                          "-f lavfi -i sine=frequency=660:sample_rate=44100");
    const QString output = QStringLiteral(
        "-map 0:v -map 1:a -map 2:a -map 3:s -c:v libx264 -preset ultrafast -pix_fmt yuv420p "
        "-c:a aac -c:s srt -metadata:s:a:0 language=eng -metadata:s:a:0 title=Main "
        "-metadata:s:a:1 language=fre -metadata:s:a:1 title=Commentary "
        "-metadata:s:s:0 language=eng");
    const QStringList args = inputs.split(u' ') +
                             QStringList{"-i", subtitles, "-t", number(seconds)} +
                             output.split(u' ') + QStringList{path(name)};
    return runFfmpeg(args) ? path(name) : QString();
}

bool TestMedia::runFfmpeg(const QStringList &arguments)
{
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{"-hide_banner", "-nostdin", "-loglevel", "error", "-y"} + arguments);
    // Encoding a few seconds of small video takes well under a second; the
    // long limit only guards against a machine that is very busy.
    if (!ffmpeg.waitForStarted(10000)) {
        m_lastError = QStringLiteral("ffmpeg could not be started: ") + ffmpeg.errorString();
        return false;
    }
    if (!ffmpeg.waitForFinished(120000)) {
        ffmpeg.kill();
        ffmpeg.waitForFinished();
        m_lastError = QStringLiteral("ffmpeg did not finish");
        return false;
    }
    if (ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
        m_lastError = QStringLiteral("ffmpeg failed: ") + QString::fromLocal8Bit(ffmpeg.readAll());
        return false;
    }
    return true;
}
