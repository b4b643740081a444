// Work that must stay near-linear in hostile files, at several sizes, each
// beside the unbounded way it was done before (measured in the same run):
// an XML element with many attributes, a MIDI file that resets the
// synthesiser again and again, and Load List on a list of tiny entries.
#include "BenchClock.h"
#include "core/PlayListText.h"
#include "core/XmlPlayList.h"
#include "engine/midi/MidiRenderer.h"
#include "widgets/PlayListBox.h"

#include <QApplication>
#include <QXmlStreamReader>
#include <cstdio>
#include <fluidsynth.h>
#include <memory>
#include <vector>

namespace {

double msSince(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

long peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

QByteArray manyAttributes(int count)
{
    QByteArray file = "<smil><body><seq><media src=\"/m/a.mp3\"";
    for (int i = 1; i < count; ++i)
        file += " a" + QByteArray::number(i) + "=\"x\"";
    return file + "/></seq></body></smil>\n";
}

void xmlAttributes()
{
    std::printf("XML element with N attributes: the player's reader, and Qt's reader alone "
                "(what the player did before the bound)\n");
    for (const int count : {2000, 20000, 60000, 100000, 300000}) {
        const QByteArray file = manyAttributes(count);
        QElapsedTimer clock;
        clock.start();
        const XmlPlayListResult result = readXmlPlayListData(file, QStringLiteral("/lists"));
        const double ours = msSince(clock);
        double bare = -1;
        if (count <= 100000) {
            clock.restart();
            QXmlStreamReader xml(file);
            while (!xml.atEnd())
                xml.readNext();
            bare = msSince(clock);
        }
        std::printf("  %7d attributes, %5.2f MB: ours %8.1f ms (%s); unbounded %s\n", count,
                    file.size() / 1e6, ours,
                    result.error.isEmpty() ? "read" : qPrintable(result.error),
                    bare < 0 ? "not run (minutes)"
                             : qPrintable(QStringLiteral("%1 ms").arg(bare, 0, 'f', 1)));
    }
    // The most work a file under the size cap can ask for now.
    QByteArray worst = "<smil><body><seq>\n";
    QByteArray extra;
    for (int i = 1; i < 32; ++i)
        extra += " a" + QByteArray::number(i) + "=\"x\"";
    for (int i = 0; i < 500000 / 32; ++i)
        worst += "<media src=\"/m/a.mp3\"" + extra + "/>\n";
    worst += "</seq></body></smil>\n";
    QElapsedTimer clock;
    clock.start();
    const XmlPlayListResult result = readXmlPlayListData(worst, QStringLiteral("/lists"));
    std::printf("  %.1f MB of elements with 32 attributes each, 500,000 in all (the worst "
                "accepted): %.1f ms, %lld entries\n",
                worst.size() / 1e6, msSince(clock), qint64(result.entries.size()));
    // A real list of many entries, with the two ids Windows writes.
    QByteArray big = "<smil><body><seq>\n";
    for (int i = 0; i < 100000; ++i)
        big += "<media src=\"/music/artist/album/" + QByteArray::number(i) +
               ".mp3\" tid=\"{6A1D3C2E-5B4F-4C1D-9E8F-0A1B2C3D4E5F}\" "
               "cid=\"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}\"/>\n";
    big += "</seq></body></smil>\n";
    clock.restart();
    const XmlPlayListResult real = readXmlPlayListData(big, QStringLiteral("/lists"));
    std::printf("  a list of 100,000 entries of 3 attributes, %.1f MB: %.1f ms, %lld entries\n",
                big.size() / 1e6, msSince(clock), qint64(real.entries.size()));
}

QByteArray varLength(quint32 value)
{
    QByteArray out(1, char(value & 0x7F));
    while (value >>= 7)
        out.prepend(char(0x80 | (value & 0x7F)));
    return out;
}

// A one-track song: `resets` GM resets at its start, then one note at 1 s;
// it lasts 10 s.
QByteArray resetSong(int resets)
{
    QByteArray track;
    for (int i = 0; i < resets; ++i)
        track += QByteArray("\x00\xF0\x05\x7E\x7F\x09\x01\xF7", 8);
    track += QByteArray("\x00\xC0\x28", 3);
    track += varLength(960) + QByteArray("\x90\x43\x64", 3);
    track += varLength(480) + QByteArray("\x80\x43\x40", 3);
    track += varLength(8160) + QByteArray("\xFF\x2F\x00", 3);
    const auto be32 = [](quint32 v) {
        const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    };
    return QByteArray("MThd", 4) + be32(6) + QByteArray("\x00\x00\x00\x01\x01\xE0", 6) +
           QByteArray("MTrk", 4) + be32(quint32(track.size())) + track;
}

void midiResets(const QString &soundFont)
{
    std::printf("MIDI song with N GM resets at its start: reading it, then to the first 0.1 s of "
                "audio, then a seek back; before, every reset went to the synthesiser, at the "
                "start and at each seek\n");
    for (const int count : {2000, 20000, 100000, 400000}) {
        const QByteArray file = resetSong(count);
        QElapsedTimer clock;
        clock.start();
        auto song = std::make_shared<MidiSong>(MidiSong::parse(file));
        const double parse = msSince(clock);
        MidiRenderer renderer(song, soundFont);
        std::vector<qint16> pcm(size_t(MidiRenderer::sampleRate) * 2);
        clock.restart();
        renderer.render(pcm.data(), MidiRenderer::sampleRate / 10);
        const double start = msSince(clock);
        renderer.render(pcm.data(), MidiRenderer::sampleRate);
        renderer.render(pcm.data(), MidiRenderer::sampleRate);
        clock.restart();
        renderer.seek(MidiRenderer::sampleRate / 2);
        renderer.render(pcm.data(), 4096);
        const double seek = msSince(clock);

        // The old way: each reset handed to a synthesiser of the same set-up.
        double before = -1;
        if (count <= 100000) {
            fluid_settings_t *settings = new_fluid_settings();
            fluid_settings_setnum(settings, "synth.sample-rate", MidiRenderer::sampleRate);
            fluid_synth_t *synth = new_fluid_synth(settings);
            const QByteArray &body = song->sysex().front();
            clock.restart();
            for (int i = 0; i < count; ++i)
                fluid_synth_sysex(synth, body.constData(), int(body.size()), nullptr, nullptr,
                                  nullptr, 0);
            before = msSince(clock);
            delete_fluid_synth(synth);
            delete_fluid_settings(settings);
        }
        std::printf("  %6d resets, %4.2f MB: read %6.1f ms, start %6.1f ms, seek %6.1f ms; "
                    "before: %s at the start and again at every seek\n",
                    count, file.size() / 1e6, parse, start, seek,
                    before < 0 ? "about 4 times the 100,000 figure"
                               : qPrintable(QStringLiteral("%1 ms").arg(before, 0, 'f', 1)));
    }
}

void loadList()
{
    std::printf("Load List of N one-letter entries (\"a,a,a,...\"): reading and filling PlayList1, "
                "peak memory of the process so far\n");
    PlayListBox box;
    for (const qsizetype count : {qsizetype(2000), qsizetype(20000), qsizetype(100000),
                                  qsizetype(1000000), qsizetype(10000000)}) {
        const QByteArray file = QByteArray("a,").repeated(count);
        QElapsedTimer clock;
        clock.start();
        const QStringList entries = PlayListText::read(file);
        const double read = msSince(clock);
        const bool refused = entries.size() > PlayListText::maxEntries;
        double fill = 0;
        if (!refused) {
            clock.restart();
            box.setUpdatesEnabled(false);
            box.clearEntries();
            for (const QString &entry : entries)
                box.addEntry(entry);
            box.setUpdatesEnabled(true);
            fill = msSince(clock);
        }
        std::printf("  %8lld entries, %5.1f MB: read %7.1f ms, %s; peak %ld MiB\n", qint64(count),
                    file.size() / 1e6, read,
                    refused ? "refused before the list is touched"
                            : qPrintable(QStringLiteral("filled in %1 ms").arg(fill, 0, 'f', 1)),
                    peakMiB());
    }
    box.clearEntries();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    xmlAttributes();
    const QString soundFont = MidiRenderer::findSoundFont();
    if (soundFont.isEmpty())
        std::printf("MIDI: no General MIDI sound font (run scripts/setup.sh)\n");
    else
        midiResets(soundFont);
    loadList();
    return 0;
}
