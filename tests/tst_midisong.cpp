// The MIDI file reader on songs written by the test: times from the tempo
// map, RMID files, and broken or hostile bytes that must end in an error.
#include "core/MidiSong.h"
#include "support/MidiWriter.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>
#include <initializer_list>

namespace {

// The times of the note-ons (velocity above 0), in order.
QList<double> noteTimes(const MidiSong &song)
{
    QList<double> times;
    for (const MidiEvent &event : song.events()) {
        if ((event.status & 0xF0) == 0x90 && event.data2 > 0)
            times << event.seconds;
    }
    return times;
}

bool near(double value, double expected)
{
    return qAbs(value - expected) < 1e-9;
}

// A short valid format 0 song.
QByteArray smallSong()
{
    MidiWriter song(96);
    song.track().program(0, 19).note(0, 96, 60).note(96, 96, 64).note(192, 96, 67);
    return song.file(0);
}

} // namespace

class TestMidiSong : public QObject
{
    Q_OBJECT
private slots:
    void format0TimesFollowTheDefaultTempo();
    void format1TempoMapAndTimeCode();
    void rmidAndContentRecognition();
    void brokenFilesGiveAReason();
    void hostileSizesEndQuickly();
    void everyCutAndFlipIsHandled();
};

void TestMidiSong::format0TimesFollowTheDefaultTempo()
{
    // 480 ticks a quarter at the default 120 beats a minute: 0.5 s a quarter.
    MidiWriter writer(480);
    writer.track().program(0, 0).note(0, 480, 60).note(480, 480, 62);
    // The third note by running status: no status byte of its own.
    writer.raw(960, QByteArray("\x90\x40\x50", 3)).raw(960, QByteArray("\x43\x50", 2));
    writer.raw(1440, QByteArray("\x80\x40\x00", 3)).raw(1440, QByteArray("\x43\x00", 2));
    writer.endAt(1680);
    const MidiSong song = MidiSong::parse(writer.file(0));
    QVERIFY2(song.isValid(), qPrintable(song.error()));
    QCOMPARE(song.format(), 0);
    QCOMPARE(song.trackCount(), 1);
    QVERIFY(near(song.duration(), 1.75));
    const QList<double> notes = noteTimes(song);
    QCOMPARE(notes.size(), 4);
    QVERIFY(near(notes[0], 0.0) && near(notes[1], 0.5) && near(notes[2], 1.0) &&
            near(notes[3], 1.0));
    // The running-status note kept its channel and key.
    const MidiEvent &runningNote = song.events()[song.events().size() - 1];
    QCOMPARE(runningNote.status, quint8(0x80));
    QCOMPARE(runningNote.data1, quint8(0x43));
    QVERIFY(near(runningNote.seconds, 1.5));
    QCOMPARE(song.events().front().status, quint8(0xC0));
}

void TestMidiSong::format1TempoMapAndTimeCode()
{
    // A conductor track halves the quarter's length at tick 960; the notes
    // are in the second track, a system-exclusive message in the third.
    MidiWriter writer(480);
    writer.track().tempo(0, 500000).tempo(960, 250000).program(1920, 5, 1);
    writer.track();
    for (quint32 tick = 0; tick <= 1920; tick += 480)
        writer.note(tick, 480, 60, 1);
    writer.track().raw(480, QByteArray("\xF0\x05\x7E\x7F\x09\x01\xF7", 7));
    const MidiSong song = MidiSong::parse(writer.file(1));
    QVERIFY2(song.isValid(), qPrintable(song.error()));
    QCOMPARE(song.format(), 1);
    QCOMPARE(song.trackCount(), 3);
    const QList<double> notes = noteTimes(song);
    const QList<double> expected{0.0, 0.5, 1.0, 1.25, 1.5};
    QCOMPARE(notes.size(), expected.size());
    for (int i = 0; i < notes.size(); ++i)
        QVERIFY2(near(notes[i], expected[i]), qPrintable(QString::number(notes[i])));
    QVERIFY2(near(song.duration(), 1.75), qPrintable(QString::number(song.duration())));

    // At equal times the earlier track comes first, and a note-off comes
    // before the next note-on of the same track.
    const auto &events = song.events();
    for (size_t i = 1; i < events.size(); ++i)
        QVERIFY(events[i - 1].seconds <= events[i].seconds);
    const auto program = std::find_if(events.begin(), events.end(),
                                      [](const MidiEvent &e) { return e.status == 0xC1; });
    QVERIFY(program != events.end());
    QCOMPARE((program + 1)->status, quint8(0x81));
    QVERIFY(near(program->seconds, 1.5));
    // The system-exclusive body lost its framing bytes.
    const auto sysex = std::find_if(events.begin(), events.end(),
                                    [](const MidiEvent &e) { return e.status == 0xF0; });
    QVERIFY(sysex != events.end());
    QVERIFY(near(sysex->seconds, 0.5));
    QCOMPARE(song.sysex().at(sysex->sysex), QByteArray("\x7E\x7F\x09\x01", 4));

    // Time code: 25 frames of 40 ticks a second, whatever the tempo says.
    MidiWriter timed(1);
    timed.track().tempo(0, 1000000).note(1500, 500, 60).endAt(2500);
    const MidiSong smpte = MidiSong::parse(timed.fileWithDivision(0, quint16(0xE728)));
    QVERIFY2(smpte.isValid(), qPrintable(smpte.error()));
    QVERIFY(near(noteTimes(smpte).value(0), 1.5));
    QVERIFY(near(smpte.duration(), 2.5));
}

void TestMidiSong::rmidAndContentRecognition()
{
    const QByteArray smf = smallSong();
    const QByteArray rmid = MidiWriter::rmid(smf);
    QVERIFY(MidiSong::looksLikeMidi(smf.left(12)));
    QVERIFY(MidiSong::looksLikeMidi(rmid.left(12)));
    QVERIFY(!MidiSong::looksLikeMidi(QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16)));
    QVERIFY(!MidiSong::looksLikeMidi(QByteArray("ID3\x04\0\0\0\0\0\0\0\0", 12)));
    QVERIFY(!MidiSong::looksLikeMidi(QByteArray("MTh")));

    const MidiSong bare = MidiSong::parse(smf);
    const MidiSong wrapped = MidiSong::parse(rmid);
    QVERIFY2(wrapped.isValid(), qPrintable(wrapped.error()));
    QCOMPARE(wrapped.events().size(), bare.events().size());
    QVERIFY(near(wrapped.duration(), bare.duration()));
    QVERIFY(near(bare.duration(), 1.5)); // 288 ticks of 96 at 120 a minute

    // An RMID without a data chunk, or with one longer than the file.
    QByteArray empty = rmid;
    empty.replace("data", "nope");
    QCOMPARE(MidiSong::parse(empty).error(), QStringLiteral("an RMID file without MIDI data"));
    QCOMPARE(MidiSong::parse(rmid.left(rmid.size() - 7)).error(),
             QStringLiteral("its MIDI data is cut short"));
}

void TestMidiSong::brokenFilesGiveAReason()
{
    const auto header = [](quint16 format, quint16 tracks, quint16 division) {
        QByteArray body;
        for (quint16 value : {format, tracks, division})
            body += MidiWriter::bytes({char(value >> 8), char(value & 0xFF)});
        return MidiWriter::chunk("MThd", body);
    };
    const auto track = [](const QByteArray &events) {
        return MidiWriter::chunk("MTrk", events + QByteArray("\x00\xFF\x2F\x00", 4));
    };
    const QByteArray note("\x00\x90\x3C\x40\x60\x80\x3C\x00", 8);
    const QByteArray song = smallSong();
    QByteArray absurd = song;
    absurd.replace(18, 4, QByteArray("\xFF\xFF\xFF\xF0", 4)); // the MTrk length

    const QList<QPair<QByteArray, QString>> cases{
        {QByteArray(), "not a Standard MIDI File"},
        {QByteArray("MThd\0\0\0\x06\0", 9), "its header is cut short"},
        {QByteArray("MThd\0\0\0\x02\0\0", 10) + QByteArray(6, 0), "its header is too short"},
        {header(2, 1, 96) + track(note), "MIDI format 2"},
        {header(7, 1, 96) + track(note), "an unknown MIDI format (7)"},
        {header(0, 0, 96), "holds no tracks"},
        {header(0, 1, 0) + track(note), "a time division of 0"},
        {header(0, 1, 0xE300) + track(note), "an unknown time division"},
        {song.left(song.size() - 5), "track 1 is cut short"},
        {absurd, "track 1 is cut short"},
        {header(1, 2, 96) + track(note), "holds 1 of its 2 tracks"},
        {header(1, 2, 96) + track(note) + "MTr", "track 2 is cut short"},
        {header(0, 1, 96) + track(QByteArray("\x00\xFF\x51\x03\x00\x00\x00", 7) + note),
         "track 1 sets a tempo of 0"},
        {header(0, 1, 96) + track(QByteArray("\x00\xFF\x51\x02\x07\xA1", 6) + note),
         "track 1 has a broken tempo change"},
        {header(0, 1, 96) + track(QByteArray("\x00\x3C\x40", 3)),
         "track 1 has an event without a status"},
        {header(0, 1, 96) + track(note + QByteArray("\x00\xF4", 2)),
         "track 1 holds an unknown status byte (0xf4)"},
        {header(0, 1, 96) + track(QByteArray("\x81\x82\x83\x84\x05\x90\x3C\x40", 8)),
         "track 1 has a number longer than four bytes"},
        {header(0, 1, 96) + MidiWriter::chunk("MTrk", QByteArray("\x00\xF0\x7F\x01", 4)),
         "track 1 is cut short"},
        {header(0, 1, 96) + track(QByteArray("\x00\x90\x3C\xC0", 4)), "track 1 has a broken event"},
        {header(0, 1, 96) + track(QByteArray("\x00\xC0\x05\x60\xB0\x07\x64", 7)),
         "holds no notes to play"},
        {header(0, 1, 96) + track(QByteArray("\x00\x90\x3C\x40", 4)), "lasts no time at all"},
        // One quarter of 16.7 s ticking 2^28 times: about 142 years.
        {header(0, 1, 1) + track(QByteArray("\x00\xFF\x51\x03\xFF\xFF\xFF", 7) + note +
                                 QByteArray("\xFF\xFF\xFF\x7F\x90\x3C\x40", 7)),
         "it would play for more than 6 hours"},
        {QByteArray(MidiSong::maxFileBytes + 1, 0), "larger than 16 MB"},
    };
    for (const auto &[bytes, reason] : cases) {
        const MidiSong broken = MidiSong::parse(bytes);
        QVERIFY2(!broken.isValid(), qPrintable(reason));
        QVERIFY2(broken.error().startsWith(reason), qPrintable(broken.error() + " / " + reason));
        QVERIFY(broken.events().empty());
    }

    // Chunks of unknown kinds between the header and the tracks are skipped.
    const QByteArray alien = header(0, 1, 96) + MidiWriter::chunk("XFIH", "junk") + track(note);
    QVERIFY2(MidiSong::parse(alien).isValid(), qPrintable(MidiSong::parse(alien).error()));
}

void TestMidiSong::hostileSizesEndQuickly()
{
    // A track of two million note events by running status (3 bytes each).
    QByteArray events("\x00\x90\x3C\x40", 4);
    events.reserve(6000010);
    for (int i = 0; i < 2000000; ++i)
        events.append("\x01\x3C\x40", 3);
    const QByteArray header("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    QByteArray bytes = header + MidiWriter::chunk("MTrk", events);
    QElapsedTimer clock;
    clock.start();
    const MidiSong huge = MidiSong::parse(bytes);
    qInfo("two million events refused after %lld ms", clock.elapsed());
    QCOMPARE(huge.error(), QStringLiteral("holds more than 1000000 events"));
    QVERIFY(huge.events().empty());

    // Just below the limit it is a song like any other.
    events.truncate(4 + 3 * (MidiSong::maxEvents - 2));
    bytes = header + MidiWriter::chunk("MTrk", events);
    const MidiSong full = MidiSong::parse(bytes);
    QVERIFY2(full.isValid(), qPrintable(full.error()));
    QCOMPARE(full.events().size(), size_t(MidiSong::maxEvents - 1));
    QVERIFY(qAbs(full.duration() - (MidiSong::maxEvents - 2) * 0.5 / 96) < 1e-6);
}

void TestMidiSong::everyCutAndFlipIsHandled()
{
    MidiWriter writer(96);
    writer.track().tempo(0, 600000).tempo(96, 300000);
    writer.track().program(0, 3).note(0, 96, 60).raw(48, QByteArray("\xF0\x03\x7E\x7F\xF7", 5));
    writer.note(96, 96, 62);
    const QByteArray song = MidiWriter::rmid(writer.file(1));
    QVERIFY(MidiSong::parse(song).isValid());
    // Each cut before the end of the last track is an error, never a crash.
    for (int size = 0; size < song.size() - 1; ++size) {
        const MidiSong cut = MidiSong::parse(song.left(size));
        QVERIFY2(!cut.isValid(), qPrintable(QString::number(size)));
    }
    // Random bytes changed: whatever the answer, it is consistent.
    QRandomGenerator random(1234);
    for (int round = 0; round < 20000; ++round) {
        QByteArray changed = song;
        for (int flips = 1 + random.bounded(4); flips > 0; --flips)
            changed[random.bounded(int(changed.size()))] = char(random.bounded(256));
        const MidiSong result = MidiSong::parse(changed);
        if (!result.isValid()) {
            QVERIFY(result.events().empty());
            continue;
        }
        QVERIFY(result.duration() >= 0.0 && result.duration() <= MidiSong::maxSeconds);
        for (const MidiEvent &event : result.events()) {
            QVERIFY(event.seconds >= 0.0 && event.seconds <= result.duration() + 1e-6);
            if (event.status == 0xF0)
                QVERIFY(event.sysex < result.sysex().size());
        }
    }
}

QTEST_MAIN(TestMidiSong)
#include "tst_midisong.moc"
