// The synthesiser and the WAV bytes made of its sound, on songs written by
// the test, with the General MIDI sound font the set-up script installs.
#include "engine/midi/MidiRenderer.h"
#include "engine/midi/MidiWaveStream.h"
#include "support/MidiWriter.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {

constexpr int rate = MidiRenderer::sampleRate;

// 480 ticks a quarter at 120 a minute: 960 ticks a second. A piano note
// from 0.5 s to 1.0 s and the same note again from 1.6 s to 1.9 s; the song
// ends at 2.5 s.
std::shared_ptr<const MidiSong> twoNotes()
{
    MidiWriter writer(480);
    writer.track().program(0, 0).note(480, 480, 60).note(1536, 288, 60).endAt(2400);
    auto song = std::make_shared<MidiSong>(MidiSong::parse(writer.file(0)));
    return song->isValid() ? song : nullptr;
}

// The first frame at or after from that is louder than this (by default,
// than the synthesiser's dither); -1 when there is none.
qint64 firstSound(const std::vector<qint16> &pcm, qint64 from = 0, int above = 8)
{
    for (qint64 frame = from; frame * 2 < qint64(pcm.size()); ++frame) {
        if (qAbs(pcm[size_t(frame * 2)]) > above || qAbs(pcm[size_t(frame * 2 + 1)]) > above)
            return frame;
    }
    return -1;
}

int peak(const std::vector<qint16> &pcm, qint64 fromFrame, qint64 toFrame)
{
    int loudest = 0;
    for (qint64 i = fromFrame * 2; i < toFrame * 2 && i < qint64(pcm.size()); ++i)
        loudest = qMax(loudest, qAbs(int(pcm[size_t(i)])));
    return loudest;
}

std::vector<qint16> renderAll(MidiRenderer &renderer)
{
    std::vector<qint16> pcm(size_t(renderer.frameCount() + 1000) * 2);
    qint64 done = 0;
    while (const int got = renderer.render(pcm.data() + done * 2, 1000))
        done += got;
    pcm.resize(size_t(done) * 2);
    return pcm;
}

} // namespace

class TestMidiRenderer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void soundFontsAreFoundInOrder();
    void notesSoundAtTheirTimes();
    void seekingLandsOnTheMusic();
    void waveBytesReadLikeAFile();
    void floodsOfSettingsSoundAsTheirLastWord_data();
    void floodsOfSettingsSoundAsTheirLastWord();

private:
    QString m_soundFont;
};

void TestMidiRenderer::initTestCase()
{
    m_soundFont = MidiRenderer::findSoundFont();
    QVERIFY2(!m_soundFont.isEmpty(), "no General MIDI sound font (run scripts/setup.sh)");
    QVERIFY(twoNotes());
}

void TestMidiRenderer::soundFontsAreFoundInOrder()
{
    QTemporaryDir dir;
    const QString second = dir.filePath(QStringLiteral("b.sf2"));
    const QString third = dir.filePath(QStringLiteral("c.sf2"));
    QVERIFY(writeBytes(second, "x") && writeBytes(third, "y"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.sf2")));
    const QStringList candidates{dir.filePath(QStringLiteral("a.sf2")),
                                 dir.filePath(QStringLiteral("folder.sf2")), second, third};
    QCOMPARE(MidiRenderer::findSoundFont(candidates), second);
    QCOMPARE(MidiRenderer::findSoundFont({candidates[0]}), QString());
    QVERIFY(MidiRenderer::knownSoundFonts().first().endsWith(QLatin1String("/default-GM.sf2")));

    // A file that is no sound font is an error, and renders nothing.
    MidiRenderer broken(twoNotes(), second);
    QVERIFY(broken.error().contains(QLatin1String("sound font")));
    qint16 out[64];
    QCOMPARE(broken.render(out, 32), 0);
}

void TestMidiRenderer::notesSoundAtTheirTimes()
{
    MidiRenderer renderer(twoNotes(), m_soundFont);
    QVERIFY2(renderer.error().isEmpty(), qPrintable(renderer.error()));
    QCOMPARE(renderer.frameCount(), qint64(2.5 * rate));
    const std::vector<qint16> pcm = renderAll(renderer);
    QCOMPARE(qint64(pcm.size()), renderer.frameCount() * 2);
    QCOMPARE(renderer.position(), renderer.frameCount());

    // Silence, then the first note within 5 ms of 0.5 s (the piano sample
    // starts softly), clearly heard but not clipped.
    const qint64 first = firstSound(pcm);
    QVERIFY2(first >= rate / 2 && first - rate / 2 < rate * 5 / 1000,
             qPrintable(QString::number(first)));
    const int loud = peak(pcm, rate / 2, rate);
    QVERIFY2(loud > 1000 && loud < 32767, qPrintable(QString::number(loud)));
    // The first note has faded when the second one sounds, at 1.6 s.
    const int fading = peak(pcm, qint64(1.5 * rate), qint64(1.595 * rate));
    QVERIFY2(fading < loud / 4, qPrintable(QString::number(fading)));
    QVERIFY(peak(pcm, qint64(1.61 * rate), qint64(1.8 * rate)) > loud / 2);

    // At the end it stops.
    qint16 out[64];
    QCOMPARE(renderer.render(out, 32), 0);
}

void TestMidiRenderer::seekingLandsOnTheMusic()
{
    MidiRenderer renderer(twoNotes(), m_soundFont);
    QVERIFY(renderer.error().isEmpty());
    const std::vector<qint16> straight = renderAll(renderer);

    // Back to 1.2 s, after the end: the first note is not heard again, the
    // second one starts exactly as late after its time as the first did.
    renderer.seek(qint64(1.2 * rate));
    QCOMPARE(renderer.position(), qint64(1.2 * rate));
    std::vector<qint16> after(size_t(rate) * 2);
    QCOMPARE(renderer.render(after.data(), rate), rate);
    const qint64 second = firstSound(after) - qint64(0.4 * rate);
    const qint64 first = firstSound(straight) - rate / 2;
    QVERIFY2(qAbs(second - first) <= 64,
             qPrintable(QStringLiteral("%1 %2").arg(second).arg(first)));

    // Back to the start: the same music as the first time. Only the echo
    // of the room (reverb) of the place left behind fades out meanwhile.
    renderer.seek(0);
    const int soon = int(0.55 * rate);
    std::vector<qint16> again(size_t(soon) * 2);
    QCOMPARE(renderer.render(again.data(), soon), soon);
    QVERIFY(peak(again, 0, rate / 2) < 200);
    QVERIFY(qAbs(firstSound(again, 0, 1000) - firstSound(straight, 0, 1000)) <= 64);
    QVERIFY(qAbs(peak(again, 0, rate) - peak(straight, 0, rate)) < 500);

    // A short jump forward plays through: the note sounding goes on as
    // without the jump (but for the fading echo and the dither).
    renderer.seek(qint64(0.6 * rate));
    std::vector<qint16> within(size_t(rate / 10) * 2);
    QCOMPARE(renderer.render(within.data(), rate / 10), rate / 10);
    const int loud = peak(within, 0, rate / 10);
    QVERIFY(loud > 1000);
    int difference = 0;
    for (size_t i = 0; i < within.size(); ++i)
        difference = qMax(difference, qAbs(within[i] - straight[size_t(0.6 * rate) * 2 + i]));
    QVERIFY2(difference < loud / 10, qPrintable(QString::number(difference)));

    // Out of range is clamped.
    renderer.seek(-5);
    QCOMPARE(renderer.position(), qint64(0));
    renderer.seek(renderer.frameCount() * 3);
    QCOMPARE(renderer.position(), renderer.frameCount());
}

namespace {

const QByteArray gmReset = MidiWriter::bytes({0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7});

QByteArray controller(int number, int value, int channel = 0)
{
    return MidiWriter::bytes({0xB0 | channel, number, value});
}

// How a song sets its channel up before its notes: with one event of a
// kind, or buried in a flood of them that leaves the same settings.
enum class SetUp
{
    Resets,
    ProgramsAndVolumes,
    ParametersAndBends,
    ResetAllControllers
};

// The set-up from tick `from` (a flood spread over `spread` ticks), then a
// violin note from 1.5 s to 2.0 s; the song ends at 2.5 s.
std::shared_ptr<const MidiSong> setUpSong(SetUp setUp, int repeats, quint32 from, quint32 spread)
{
    MidiWriter writer(480);
    writer.track();
    const auto at = [&](int i) {
        return from + quint32(qint64(spread) * i / std::max(repeats, 1));
    };
    for (int i = 0; i < repeats; ++i) {
        switch (setUp) {
        case SetUp::Resets:
            writer.raw(at(i), gmReset);
            break;
        case SetUp::ProgramsAndVolumes:
            writer.program(at(i), i % 100).raw(at(i), controller(7, i % 128));
            break;
        case SetUp::ParametersAndBends:
            // Fine tuning and bend range by data entry, and bends between.
            writer.raw(at(i), controller(101, 0)).raw(at(i), controller(100, 1));
            writer.raw(at(i), controller(6, (repeats - 1 - i) % 128));
            writer.raw(at(i), controller(101, 0)).raw(at(i), controller(100, 0));
            writer.raw(at(i), controller(6, i % 24));
            writer.raw(at(i), MidiWriter::bytes({0xE0, 0, i % 128}));
            break;
        case SetUp::ResetAllControllers:
            writer.raw(at(i), controller(1, 127)).raw(at(i), controller(11, 20));
            writer.raw(at(i), controller(121, 0));
            break;
        }
    }
    // The last word, the same in the plain song.
    const quint32 last = from + spread;
    writer.program(last, 40).raw(last, controller(7, 110));
    writer.raw(last, controller(101, 0)).raw(last, controller(100, 0)).raw(last, controller(6, 12));
    writer.raw(last, MidiWriter::bytes({0xE0, 0, 80})).raw(last, controller(11, 90));
    writer.note(1440, 480, 67).endAt(2400);
    auto song = std::make_shared<MidiSong>(MidiSong::parse(writer.file(0)));
    return song->isValid() ? song : nullptr;
}

} // namespace

Q_DECLARE_METATYPE(SetUp)

void TestMidiRenderer::floodsOfSettingsSoundAsTheirLastWord_data()
{
    QTest::addColumn<SetUp>("setUp");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<quint32>("spread");
    QTest::newRow("400,000 resets at the start") << SetUp::Resets << 400000 << 0u;
    QTest::newRow("400,000 resets spread before the note") << SetUp::Resets << 400000 << 1000u;
    QTest::newRow("100,000 programs and volumes") << SetUp::ProgramsAndVolumes << 100000 << 0u;
    QTest::newRow("50,000 tunings, bend ranges and bends")
        << SetUp::ParametersAndBends << 50000 << 1000u;
    QTest::newRow("100,000 resets of all controllers")
        << SetUp::ResetAllControllers << 100000 << 0u;
}

void TestMidiRenderer::floodsOfSettingsSoundAsTheirLastWord()
{
    QFETCH(SetUp, setUp);
    QFETCH(int, repeats);
    QFETCH(quint32, spread);
    const auto plain = setUpSong(setUp, 1, spread, 0);
    const auto flooded = setUpSong(setUp, repeats, 0, spread);
    QVERIFY(plain && flooded);
    QVERIFY(flooded->events().size() > size_t(repeats));

    // Played from the start, and after a seek back from 1.7 s to 1.2 s, the
    // flooded song sounds as the plain one: the same violin, as loud, at the
    // same pitch. A generous bound only keeps a regression from hanging.
    QElapsedTimer clock;
    clock.start();
    for (const bool back : {false, true}) {
        MidiRenderer one(plain, m_soundFont);
        MidiRenderer other(flooded, m_soundFont);
        QVERIFY2(other.error().isEmpty(), qPrintable(other.error()));
        std::vector<qint16> a(size_t(rate) * 2), b(size_t(rate) * 2);
        const qint64 start = qint64(1.2 * rate);
        for (const qint64 until : {start, back ? qint64(1.7 * rate) : start}) {
            while (one.position() < until)
                one.render(a.data(), int(std::min<qint64>(rate, until - one.position())));
            while (other.position() < until)
                other.render(b.data(), int(std::min<qint64>(rate, until - other.position())));
        }
        one.seek(start);
        other.seek(start);
        QCOMPARE(one.render(a.data(), rate), rate);
        QCOMPARE(other.render(b.data(), rate), rate);
        const int loud = peak(a, 0, rate);
        QVERIFY2(loud > 1000, qPrintable(QString::number(loud)));
        int difference = 0;
        for (size_t i = 0; i < a.size(); ++i)
            difference = qMax(difference, qAbs(a[i] - b[i]));
        QVERIFY2(difference < loud / 20,
                 qPrintable(QStringLiteral("%1 of %2").arg(difference).arg(loud)));
    }
    QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
}

void TestMidiRenderer::waveBytesReadLikeAFile()
{
    auto renderer = std::make_unique<MidiRenderer>(twoNotes(), m_soundFont);
    const qint64 frames = renderer->frameCount();
    MidiWaveStream stream(std::move(renderer));
    QCOMPARE(stream.size(), 44 + frames * 4);

    // All of it in odd-sized reads.
    QByteArray whole;
    char buffer[7777];
    while (const qint64 got = stream.read(buffer, sizeof buffer))
        whole.append(buffer, int(got));
    QCOMPARE(qint64(whole.size()), stream.size());
    QVERIFY(whole.startsWith("RIFF"));
    QCOMPARE(whole.mid(8, 8), QByteArray("WAVEfmt "));
    const auto le32 = [&whole](int at) {
        quint32 value = 0;
        std::memcpy(&value, whole.constData() + at, 4);
        return value;
    };
    QCOMPARE(le32(4), quint32(stream.size() - 8));
    QCOMPARE(le32(24), quint32(rate));
    QCOMPARE(le32(28), quint32(rate * 4));
    QCOMPARE(whole.mid(36, 4), QByteArray("data"));
    QCOMPARE(le32(40), quint32(frames * 4));

    // Reads from anywhere ahead, even between the bytes of a frame, give
    // the same bytes as reading through; past the end there is nothing.
    MidiWaveStream fresh(std::make_unique<MidiRenderer>(twoNotes(), m_soundFont));
    QCOMPARE(fresh.seek(1001), qint64(1001));
    QCOMPARE(fresh.read(buffer, 100), qint64(100));
    QCOMPARE(QByteArray(buffer, 100), whole.mid(1001, 100));
    const qint64 at = 44 + qint64(0.55 * rate) * 4 + 2;
    QCOMPARE(fresh.seek(at), at);
    QByteArray middle;
    while (middle.size() < 50000) {
        const qint64 got = fresh.read(buffer, qMin<qint64>(sizeof buffer, 50000 - middle.size()));
        QVERIFY(got > 0);
        middle.append(buffer, int(got));
    }
    QCOMPARE(middle, whole.mid(int(at), 50000));
    // Back to the header.
    QCOMPARE(fresh.seek(2), qint64(2));
    QCOMPARE(fresh.read(buffer, 100), qint64(42));
    QCOMPARE(QByteArray(buffer, 42), whole.mid(2, 42));
    QCOMPARE(stream.seek(stream.size()), stream.size());
    QCOMPARE(stream.read(buffer, 10), qint64(0));
    QCOMPARE(stream.seek(stream.size() + 1), qint64(-1));
    QCOMPARE(stream.seek(-1), qint64(-1));
}

QTEST_MAIN(TestMidiRenderer)
#include "tst_midirenderer.moc"
