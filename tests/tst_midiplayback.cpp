// MIDI music in the real engine, with null audio and video outputs: songs
// written by the test play, time, pause, stop, seek and end like any other
// medium, alone and inside play lists; broken ones give an error status.
#include "engine/midi/MpvMidiProtocol.h"
#include "support/MidiWriter.h"
#include "support/RealEngine.h"
#include "support/TestFiles.h"
#include "support/TestMedia.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr int startTimeout = 15000;
constexpr int longTimeout = 40000;

double positionOf(const MpvEngine &engine)
{
    return engine.position().value_or(-1.0);
}

bool near(std::optional<double> value, double expected, double within = 0.1)
{
    return value && qAbs(*value - expected) < within;
}

// A tune of quarter notes at 120 a minute (0.5 s each) lasting seconds.
MidiWriter tune(double seconds)
{
    MidiWriter writer(480);
    writer.track().program(0, 0);
    const int quarters = int(seconds * 2);
    for (int i = 0; i < quarters; ++i)
        writer.note(quint32(i * 480), 400, 60 + (i % 12));
    writer.endAt(quint32(quarters * 480));
    return writer;
}

} // namespace

class TestMidiPlayback : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void songsOpenWithTheirLength();
    void transportWorksOnMusic();
    void endOfStreamOnceAndReplay();
    void brokenSongsAndMissingSoundFontGiveAnError();
    void playListsPlayMusicAndWaveInOrder();
    void privateAddressesCannotBeOpened();

private:
    TestMedia m_media;
    QString m_format0;   // 1.5 s
    QString m_format1;   // 2.625 s with a tempo change
    QString m_rmid;      // the format 0 song in an RMID file
    QString m_disguised; // the format 0 song named like an MP3
    QString m_long;      // 20 s
    QString m_wave;      // 1.0 s WAV
};

void TestMidiPlayback::initTestCase()
{
    const QByteArray short0 = tune(1.5).file(0);
    // Conductor track: 120 a minute, then 240 from tick 1920 (2 s) on; the
    // notes run in the second track up to tick 2880 (2.5 s), and the song
    // ends at tick 3120 (2.625 s).
    MidiWriter two(480);
    two.track().tempo(0, 500000).tempo(1920, 250000);
    two.track().program(0, 40, 1);
    for (quint32 tick = 0; tick < 2880; tick += 240)
        two.note(tick, 200, 70, 1);
    two.endAt(3120);

    m_format0 = m_media.path(QStringLiteral("short.mid"));
    m_format1 = m_media.path(QStringLiteral("tempo.midi"));
    m_rmid = m_media.path(QStringLiteral("wrapped.rmi"));
    m_disguised = m_media.path(QStringLiteral("disguised.mp3"));
    m_long = m_media.path(QStringLiteral("long.mid"));
    QVERIFY(writeBytes(m_format0, short0));
    QVERIFY(writeBytes(m_format1, two.file(1)));
    QVERIFY(writeBytes(m_rmid, MidiWriter::rmid(short0)));
    QVERIFY(writeBytes(m_disguised, short0));
    QVERIFY(writeBytes(m_long, tune(20.0).file(0)));
    m_wave = m_media.wav(QStringLiteral("tone.wav"), 1.0);
    QVERIFY2(!m_wave.isEmpty(), qPrintable(m_media.lastError()));
}

void TestMidiPlayback::songsOpenWithTheirLength()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    const QList<QPair<QString, double>> songs{
        {m_format0, 1.5}, {m_format1, 2.625}, {m_rmid, 1.5}, {m_disguised, 1.5}, {m_long, 20.0}};
    for (const auto &[path, length] : songs) {
        QElapsedTimer clock;
        clock.start();
        engine.setUrl(path);
        QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 0.1, startTimeout);
        qInfo("%s: sounding after %lld ms", qPrintable(QFileInfo(path).fileName()),
              clock.elapsed());
        QVERIFY2(near(engine.duration(), length), qPrintable(QStringLiteral("%1: %2").arg(path).arg(
                                                      engine.duration().value_or(-1))));
        QCOMPARE(engine.url(), path);
    }
}

void TestMidiPlayback::transportWorksOnMusic()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    engine.setUrl(m_long);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 1.0, startTimeout);

    // Pause holds the place, play goes on from it.
    engine.pause();
    QCOMPARE(engine.status(), QStringLiteral("Paused"));
    QTest::qWait(400);
    const double stood = positionOf(engine);
    QTest::qWait(600);
    QCOMPARE(positionOf(engine), stood);
    engine.play();
    QCOMPARE(engine.status(), QStringLiteral("Playing"));
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > stood + 0.3, startTimeout);
    QVERIFY(positionOf(engine) < stood + 2.5);

    // Seeking (the engine's seek bar) lands where it was asked to.
    engine.seek(12.0);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 12.0, startTimeout);
    QVERIFY(positionOf(engine) < 13.5);
    engine.seek(3.0);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) < 4.0, startTimeout);
    QVERIFY(positionOf(engine) >= 3.0);

    // Fast forward runs several times as fast, until the next command.
    engine.fastForward();
    QCOMPARE(engine.status(), QStringLiteral("Fast Forward"));
    const double from = positionOf(engine);
    QTest::qWait(1200);
    QVERIFY2(positionOf(engine) - from > 2.5, qPrintable(QString::number(positionOf(engine))));
    engine.play();
    QCOMPARE(engine.status(), QStringLiteral("Playing"));

    // Fast reverse runs back to the start and stops there.
    engine.seek(8.0);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 8.0, startTimeout);
    engine.fastReverse();
    QCOMPARE(engine.status(), QStringLiteral("Fast Reverse"));
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) < 6.5, startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Stopped"), longTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(positionOf(engine)) < 0.05, startTimeout);

    // Stop rewinds; play starts again from the beginning.
    engine.play();
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 2.0, startTimeout);
    engine.stop();
    QCOMPARE(engine.status(), QStringLiteral("Stopped"));
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(positionOf(engine)) < 0.05, startTimeout);
    QTest::qWait(500);
    QVERIFY2(
        qAbs(positionOf(engine)) < 0.05,
        qPrintable(QStringLiteral("a stopped song must not move: %1").arg(positionOf(engine))));
    engine.play();
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 0.2, startTimeout);
    QVERIFY2(positionOf(engine) < 1.9, "play after stop starts from the beginning");

    // The volume reaches the engine whatever it plays.
    engine.setVolume(0);
    QCOMPARE(engine.volume(), 0);
    engine.setVolume(100);
    QCOMPARE(engine.volume(), 100);
    QCOMPARE(ended.count(), 0);
}

void TestMidiPlayback::endOfStreamOnceAndReplay()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    QElapsedTimer clock;
    clock.start();
    engine.setUrl(m_format0);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, startTimeout);
    // It played its whole length in real time.
    QVERIFY2(clock.elapsed() >= 1400, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(engine.status(), QStringLiteral("Media Ended"));
    QVERIFY(positionOf(engine) > 1.4);
    QTest::qWait(800);
    QCOMPARE(ended.count(), 1);

    // Stop then play, the way the window ends a medium and starts it again.
    engine.stop();
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(positionOf(engine)) < 0.05, startTimeout);
    engine.play();
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 0.2, startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, startTimeout);
    // Play after the end starts over as well.
    engine.play();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, startTimeout);
    QTest::qWait(800);
    QCOMPARE(ended.count(), 3);
}

void TestMidiPlayback::brokenSongsAndMissingSoundFontGiveAnError()
{
    const QByteArray song = tune(1.5).file(0);
    QByteArray tempoZero = song;
    tempoZero.insert(22, QByteArray("\x00\xFF\x51\x03\x00\x00\x00", 7));
    tempoZero[21] = char(tempoZero[21] + 7);
    const QString cut = m_media.path(QStringLiteral("cut.mid"));
    const QString zero = m_media.path(QStringLiteral("zero.mid"));
    const QString noise = m_media.randomBytes(QStringLiteral("noise.mid"), 4096);
    QVERIFY(writeBytes(cut, song.left(song.size() / 2)));
    QVERIFY(writeBytes(zero, tempoZero));
    QVERIFY(!noise.isEmpty());

    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    const QList<QPair<QString, QString>> broken{
        {cut, QStringLiteral("Error: cut.mid is not MIDI music that can be played: track 1 is "
                             "cut short")},
        {zero, QStringLiteral("Error: zero.mid is not MIDI music that can be played: track 1 "
                              "sets a tempo of 0")},
        {noise, QStringLiteral("Error: ")}};
    for (const auto &[path, status] : broken) {
        engine.setUrl(path);
        QTRY_VERIFY_WITH_TIMEOUT(engine.status().startsWith(QLatin1String("Error: ")),
                                 startTimeout);
        QVERIFY2(engine.status().startsWith(status), qPrintable(engine.status()));
        QVERIFY(!engine.duration());
        engine.play();
        QTest::qWait(300);
        QVERIFY(engine.status().startsWith(QLatin1String("Error: ")));
    }
    // Afterwards a good song plays.
    engine.setUrl(m_format0);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, startTimeout);

    // Without a sound font MIDI music says what is missing; the rest plays.
    MpvEngine::Options options = MpvEngine::Options::headless();
    options.soundFonts = QStringList{m_media.path(QStringLiteral("none.sf2"))};
    const auto bareOwner = makeEngine(options);
    MpvEngine &bare = *bareOwner;
    QSignalSpy bareEnded(&bare, &MediaEngine::endOfStream);
    bare.setUrl(m_format0);
    QTRY_VERIFY_WITH_TIMEOUT(bare.status().startsWith(QLatin1String("Error: ")), startTimeout);
    QVERIFY2(bare.status().contains(QLatin1String("sound font")), qPrintable(bare.status()));
    QVERIFY(bare.status().contains(QLatin1String("short.mid")));
    bare.setUrl(m_wave);
    QTRY_COMPARE_WITH_TIMEOUT(bareEnded.count(), 1, startTimeout);

    // A sound font that cannot be read is named in the error.
    const QString junk = m_media.randomBytes(QStringLiteral("junk.sf2"), 2048);
    options.soundFonts = QStringList{junk};
    const auto spoiltOwner = makeEngine(options);
    MpvEngine &spoilt = *spoiltOwner;
    spoilt.setUrl(m_format0);
    QTRY_VERIFY_WITH_TIMEOUT(spoilt.status().startsWith(QLatin1String("Error: ")), startTimeout);
    QVERIFY2(spoilt.status().contains(QLatin1String("junk.sf2")), qPrintable(spoilt.status()));
    QCOMPARE(ended.count(), 1);
}

void TestMidiPlayback::playListsPlayMusicAndWaveInOrder()
{
    const QString m3u = m_media.textFile(
        QStringLiteral("mixed.m3u"), QStringLiteral("#EXTM3U\n%1\n%2\n").arg(m_format0, m_wave));
    const QString wpl = m_media.textFile(
        QStringLiteral("mixed.wpl"),
        QStringLiteral("<?wpl version=\"1.0\"?><smil><body><seq><media src=\"%1\"/>"
                       "<media src=\"%2\"/></seq></body></smil>")
            .arg(QFileInfo(m_wave).fileName(), QFileInfo(m_rmid).fileName()));
    QVERIFY(!m3u.isEmpty() && !wpl.isEmpty());

    // The m3u lists the song first, the wpl last; lengths tell them apart.
    const QList<QPair<QString, QList<double>>> lists{{m3u, {1.5, 1.0}}, {wpl, {1.0, 1.5}}};
    for (const auto &[list, lengths] : lists) {
        const auto engineOwner = makeEngine(MpvEngine::Options::headless());
        MpvEngine &engine = *engineOwner;
        QSignalSpy ended(&engine, &MediaEngine::endOfStream);
        QElapsedTimer clock;
        clock.start();
        engine.setUrl(list);
        QTRY_VERIFY2_WITH_TIMEOUT(near(engine.duration(), lengths[0], 0.05),
                                  qPrintable(engine.status()), startTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(near(engine.duration(), lengths[1], 0.05), startTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, longTimeout);
        QVERIFY2(clock.elapsed() >= 2300, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(engine.status(), QStringLiteral("Media Ended"));
        QTest::qWait(700);
        QCOMPARE(ended.count(), 1);
    }
}

void TestMidiPlayback::privateAddressesCannotBeOpened()
{
    const QString address =
        QStringLiteral("%1://0123456789abcdef").arg(QLatin1String(MpvMidiProtocol::scheme()));
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    engine.setUrl(address);
    QVERIFY2(engine.status().startsWith(QLatin1String("Error: ")) &&
                 engine.status().contains(address),
             qPrintable(engine.status()));

    // Inside a list mpv reads itself, the address is skipped and named;
    // the song after it plays.
    const QString m3u = m_media.textFile(QStringLiteral("private.m3u"),
                                         QStringLiteral("%1\n%2\n").arg(address, m_format0));
    engine.setUrl(m3u);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, longTimeout);
    QVERIFY2(engine.status().startsWith(QLatin1String("Media Ended - Skipped 1 entry: ") + address),
             qPrintable(engine.status()));
    QVERIFY(near(engine.duration(), 1.5));
}

QTEST_MAIN(TestMidiPlayback)
#include "tst_midiplayback.moc"
