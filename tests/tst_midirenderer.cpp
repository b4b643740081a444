// The synthesiser and the WAV bytes made of its sound, on songs written by
// the test, with the General MIDI sound font the set-up script installs.
#include "engine/midi/MidiRenderer.h"
#include "engine/midi/MidiWaveStream.h"
#include "support/MidiWriter.h"
#include "support/TestFiles.h"

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
    QVERIFY2(qAbs(second - first) <= 64, qPrintable(QStringLiteral("%1 %2").arg(second).arg(first)));

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
