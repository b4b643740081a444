// MIDI music in the real engine: the time from setting the URL to the first
// audio frame for a generated 10-minute song, the resident memory playing it
// adds, and how long seeks take; for the route the player uses (sound made
// while mpv reads it) beside rendering the whole song into a WAV first.
//
//     bench_midi            both routes, each in a fresh process
//     bench_midi stream     only the player's route
//     bench_midi wav        only the render-ahead route
#include "BenchClock.h"
#include "BenchEngine.h"

#include "core/MidiSong.h"
#include "engine/midi/MidiRenderer.h"
#include "engine/midi/MidiWaveStream.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// Bytes from a list of values 0 to 255.
QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

QTextStream out(stdout);

// Resident memory of this process in MiB.
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

QByteArray number(quint32 value)
{
    QByteArray bytes(1, char(value & 0x7F));
    while (value >>= 7)
        bytes.prepend(char(0x80 | (value & 0x7F)));
    return bytes;
}

QByteArray chunk(const char *id, const QByteArray &body)
{
    QByteArray bytes(id, 4);
    QDataStream(&bytes, QIODevice::Append) << quint32(body.size());
    return bytes + body;
}

// Ten minutes of a busy format 1 song at 120 a minute, 480 ticks a quarter:
// piano chords on every beat, a bass line in eighths, strings held over two
// bars and drums in sixteenths, about 40 notes a second.
QByteArray tenMinuteSong()
{
    constexpr quint32 quarter = 480;
    constexpr int beats = 10 * 60 * 2;
    struct Voice
    {
        int channel, program;
        quint32 step, length;
        QList<int> keys;
    };
    const QList<Voice> voices{{0, 0, quarter, quarter - 40, {60, 64, 67}},
                              {1, 33, quarter / 2, quarter / 2 - 20, {36}},
                              {2, 48, quarter * 8, quarter * 8 - 60, {55, 62, 67, 71}},
                              {9, 0, quarter / 4, quarter / 8, {42}},
                              {9, 0, quarter, quarter / 4, {36}}};
    QByteArray file = chunk("MThd", QByteArray("\0\1\0\6\1\xE0", 6));
    QByteArray conductor = number(0) + QByteArray("\xFF\x51\x03\x07\xA1\x20", 6);
    file += chunk("MTrk", conductor + number(0) + QByteArray("\xFF\x2F\x00", 3));
    for (const Voice &voice : voices) {
        QByteArray track = number(0) + bytesOf({char(0xC0 | voice.channel), char(voice.program)});
        quint32 now = 0;
        int turn = 0;
        for (quint32 at = 0; at < beats * quarter; at += voice.step, ++turn) {
            const int shift = (turn / 4) % 5;
            for (int i = 0; i < voice.keys.size(); ++i) {
                track += number(i == 0 ? at - now : 0) +
                         bytesOf({char(0x90 | voice.channel), char(voice.keys[i] + shift), 90});
                now = at;
            }
            for (int i = 0; i < voice.keys.size(); ++i) {
                track += number(i == 0 ? at + voice.length - now : 0) +
                         bytesOf({char(0x80 | voice.channel), char(voice.keys[i] + shift), 0});
                now = at + voice.length;
            }
        }
        track += number(beats * quarter - now) + QByteArray("\xFF\x2F\x00", 3);
        file += chunk("MTrk", track);
    }
    return file;
}

// Plays the file in a fresh headless engine and prints what it costs.
void play(const QString &path, const QString &route, double startedMs)
{
    const auto engineOwner = startEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    // mpv's own threads and buffers exist before the first medium.
    const double idle = residentMiB();
    QElapsedTimer clock;
    clock.start();
    engine.setUrl(path);
    if (!waitFor([&] { return engine.position().value_or(0) > 0; }, 120000, 1)) {
        out << route << ": did not start (" << engine.status() << ")\n";
        return;
    }
    const double first = double(clock.nsecsElapsed()) / 1e6;
    out << route << ": URL to first audio frame " << QString::number(first + startedMs, 'f', 0)
        << " ms";
    if (startedMs > 0)
        out << " (" << QString::number(startedMs, 'f', 0) << " ms of it rendering ahead)";
    out << ", duration " << QString::number(engine.duration().value_or(-1), 'f', 2) << " s\n";
    waitFor([] { return false; }, 3000, 1);
    out << route << ": resident memory added while playing "
        << QString::number(residentMiB() - idle, 'f', 1) << " MiB (engine idle "
        << QString::number(idle, 'f', 1) << " MiB)\n";

    for (double target : {300.0, 60.0, 590.0}) {
        clock.restart();
        engine.seek(target);
        const bool landed = waitFor(
            [&] {
                const double at = engine.position().value_or(-1);
                return at > target && at < target + 1.0;
            },
            30000, 1);
        out << route << ": seek to " << target << " s "
            << (landed ? QString::number(double(clock.nsecsElapsed()) / 1e6, 'f', 0) + " ms"
                       : QStringLiteral("did not land"))
            << "\n";
    }
    out.flush();
}

void renderAhead(const QString &midi, const QString &wav)
{
    QElapsedTimer clock;
    clock.start();
    auto song = std::make_shared<MidiSong>(MidiSong::readFile(midi));
    MidiWaveStream stream(std::make_unique<MidiRenderer>(song, MidiRenderer::findSoundFont()));
    QFile file(wav);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QByteArray buffer(1 << 20, 0);
    while (const qint64 got = stream.read(buffer.data(), buffer.size()))
        file.write(buffer.constData(), got);
    file.close();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    out << "wav: rendered " << QString::number(file.size() / 1048576.0, 'f', 0) << " MiB in "
        << QString::number(ms, 'f', 0) << " ms\n";
    out.flush();
    play(wav, QStringLiteral("wav"), ms);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (which.isEmpty()) {
        for (const char *route : {"stream", "wav"}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(QCoreApplication::applicationFilePath(), {QLatin1String(route)});
            child.waitForFinished(-1);
        }
        return 0;
    }

    QTemporaryDir dir;
    const QString midi = dir.filePath(QStringLiteral("ten-minutes.mid"));
    QFile file(midi);
    if (!file.open(QIODevice::WriteOnly) || file.write(tenMinuteSong()) < 0)
        return 1;
    file.close();
    QElapsedTimer clock;
    clock.start();
    const MidiSong song = MidiSong::readFile(midi);
    if (which == QLatin1String("stream")) {
        out << "song: " << QFileInfo(midi).size() / 1024 << " KiB, " << song.events().size()
            << " events, " << QString::number(song.duration(), 'f', 1) << " s, read in "
            << QString::number(double(clock.nsecsElapsed()) / 1e6, 'f', 1) << " ms ("
            << song.error() << ")\n";
        play(midi, QStringLiteral("stream"), 0);
    } else {
        renderAhead(midi, dir.filePath(QStringLiteral("ten-minutes.wav")));
    }
    return 0;
}
