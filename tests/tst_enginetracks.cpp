// The real engine's tracks and messages on media made here, drawn in
// software on the offscreen platform: the menus' tracks of a clip with two
// audio tracks and a subtitle track, choosing among them, subtitle files
// beside a video and added to it (in UTF-8 and in a legacy code page), and a
// subtitle file dropped on the window. Each subtitle file has a colour of
// its own, so the picture tells which one is shown.
#include "desktop/DropHandler.h"
#include "desktop/MediaOpener.h"
#include "support/FormAccess.h"
#include "support/RealEngine.h"
#include "support/ScriptedDialog.h"
#include "support/TestMedia.h"
#include "widgets/PlayListBox.h"

#include <QBitArray>
#include <QDir>
#include <QMimeData>
#include <QtTest>
#include <sys/stat.h>

namespace {

constexpr int timeout = 20000;
constexpr auto Audio = MediaTrack::Type::Audio;
constexpr auto Subtitle = MediaTrack::Type::Subtitle;

// The colours of the subtitle files; none is near the clips' grey.
const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor yellow(255, 255, 0);
const QColor magenta(255, 0, 255);
const QColor cyan(0, 255, 255);
const QColor grey(48, 48, 48);

QByteArray srt(const QByteArray &text, const QColor &colour)
{
    return "1\n00:00:00,000 --> 00:01:00,000\n<font color=\"" + colour.name().toLatin1() + "\">" +
           text + "</font>\n\n";
}

// Text in Windows-1252: Latin-1 but for the letters it puts in 0x80-0x9F,
// of which these are the ones the tests use.
QByteArray windows1252(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        if (c == u'\u2019')
            bytes += '\x92';
        else if (c == u'\u20ac')
            bytes += '\x80';
        else if (c == u'\u0153')
            bytes += '\x9c';
        else
            bytes += char(c.toLatin1());
    }
    return bytes;
}

// The id of the track of this type that plays, 0 for none.
int selectedId(const MpvEngine &engine, MediaTrack::Type type)
{
    for (const MediaTrack &track : MediaTrack::ofType(engine.tracks(), type))
        if (track.selected)
            return track.id;
    return 0;
}

QStringList labels(const MpvEngine &engine, MediaTrack::Type type)
{
    QStringList all;
    for (const MediaTrack &track : MediaTrack::ofType(engine.tracks(), type))
        all << track.label();
    return all;
}

// An engine drawing in software into its own area, shown on its own.
std::unique_ptr<MpvEngine> shownEngine()
{
    MpvEngine::Options options;
    options.audio = false;
    options.videoOutput = VideoOutput::Software;
    std::unique_ptr<MpvEngine> engine = makeEngine(options);
    engine->widget()->resize(320, 300);
    engine->widget()->show();
    return engine;
}

// Where the engine's picture shows this colour: the letters of the subtitle
// file written in it. Letters blend into the grey and their black edges
// alike whatever their colour, so equal words make equal masks.
QBitArray inkOf(MpvEngine &engine, const QColor &colour)
{
    const QImage shot = engine.widget()->grab().toImage();
    QBitArray ink(shot.width() * shot.height());
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            ink.setBit(y * shot.width() + x, qAbs(c.red() - colour.red()) <= 60 &&
                                                 qAbs(c.green() - colour.green()) <= 60 &&
                                                 qAbs(c.blue() - colour.blue()) <= 60);
        }
    }
    return ink;
}

int inkCount(MpvEngine &engine, const QColor &colour)
{
    return int(inkOf(engine, colour).count(true));
}

} // namespace

Q_DECLARE_METATYPE(MediaTrack::Type)

class TestEngineTracks : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void tracksAreListed();
    void choosingSwitches_data();
    void choosingSwitches();
    void subtitleBesideTheVideoComesWithIt();
    void addedSubtitleIsShownInItsEncoding_data();
    void addedSubtitleIsShownInItsEncoding();
    void droppedSubtitleJoinsTheVideoNotTheList();
    void unfitSubtitleFilesAreNamed_data();
    void unfitSubtitleFilesAreNamed();
    void heavySubtitleIsLightened_data();
    void heavySubtitleIsLightened();

private:
    TestMedia m_media;
    QString m_clip;
    std::unique_ptr<MpvEngine> m_engine;
};

void TestEngineTracks::initTestCase()
{
    const QString subtitles =
        m_media.bytesFile(QStringLiteral("muxed.srt"), srt("Muxed words", yellow));
    m_clip = m_media.clipWithTracks(QStringLiteral("tracks.mkv"), 30.0, subtitles);
    QVERIFY2(!m_clip.isEmpty(), qPrintable(m_media.lastError()));
    m_engine = shownEngine();
    m_engine->setUrl(m_clip);
    QTRY_VERIFY_WITH_TIMEOUT(m_engine->tracks().size() == 4, timeout);
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->status(), QStringLiteral("Playing"), timeout);
}

void TestEngineTracks::tracksAreListed()
{
    QCOMPARE(labels(*m_engine, Audio), QStringList({"eng - Main", "fre - Commentary"}));
    QCOMPARE(labels(*m_engine, Subtitle), QStringList{"eng"});
    QVERIFY(MediaTrack::has(m_engine->tracks(), MediaTrack::Type::Video));
    // mpv lists the tracks before it says which one it chose.
    QTRY_COMPARE_WITH_TIMEOUT(selectedId(*m_engine, Audio), 1, timeout);
}

void TestEngineTracks::choosingSwitches_data()
{
    QTest::addColumn<MediaTrack::Type>("type");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("audio");
    QTest::addColumn<int>("subtitle");
    QTest::addColumn<bool>("shown");
    // In order, on the one clip playing.
    QTest::newRow("subtitle on") << Subtitle << 1 << 1 << 1 << true;
    QTest::newRow("second audio track") << Audio << 2 << 2 << 1 << true;
    QTest::newRow("subtitles off") << Subtitle << 0 << 2 << 0 << false;
    QTest::newRow("first audio track again") << Audio << 1 << 1 << 0 << false;
    QTest::newRow("no such track") << Audio << 9 << 1 << 0 << false;
    QTest::newRow("audio cannot be turned off") << Audio << 0 << 1 << 0 << false;
}

void TestEngineTracks::choosingSwitches()
{
    QFETCH(MediaTrack::Type, type);
    QFETCH(int, id);
    QFETCH(int, audio);
    QFETCH(int, subtitle);
    QFETCH(bool, shown);
    QSignalSpy changed(m_engine.get(), &MediaEngine::tracksChanged);
    m_engine->selectTrack(type, id);
    QTRY_COMPARE_WITH_TIMEOUT(selectedId(*m_engine, Audio), audio, timeout);
    QTRY_COMPARE_WITH_TIMEOUT(selectedId(*m_engine, Subtitle), subtitle, timeout);
    QTRY_COMPARE_WITH_TIMEOUT(inkCount(*m_engine, yellow) > 0, shown, timeout);
    QCOMPARE(m_engine->status(), QStringLiteral("Playing"));
}

void TestEngineTracks::subtitleBesideTheVideoComesWithIt()
{
    const QString video =
        m_media.colourClip(QStringLiteral("beside.mp4"), 10.0, QSize(160, 120), grey);
    QVERIFY2(!video.isEmpty(), qPrintable(m_media.lastError()));
    QVERIFY(!m_media.bytesFile(QStringLiteral("beside.srt"), srt("Found beside", red)).isEmpty());
    // Another name is not the video's.
    QVERIFY(!m_media.bytesFile(QStringLiteral("besides.srt"), srt("Not this", green)).isEmpty());
    const auto engine = shownEngine();
    engine->setUrl(video);
    QTRY_COMPARE_WITH_TIMEOUT(MediaTrack::ofType(engine->tracks(), Subtitle).size(), 1, timeout);
    QVERIFY(MediaTrack::ofType(engine->tracks(), Subtitle).first().external);
    QTRY_VERIFY_WITH_TIMEOUT(inkCount(*engine, red) > 0, timeout);
    QCOMPARE(inkCount(*engine, green), 0);
}

void TestEngineTracks::addedSubtitleIsShownInItsEncoding_data()
{
    // The words in the file's encoding, and as they must read.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    const QString words = QStringLiteral("Le café crème était déjà très brûlant, à côté du gâteau");
    QTest::newRow("UTF-8") << words.toUtf8() << words;
    QTest::newRow("Windows-1252") << windows1252(words) << words;
    // The letters Windows-1252 has and Latin-1 lacks: read as Latin-1, they
    // would be control characters.
    const QString more =
        QStringLiteral("L\u2019été coûte 5 \u20ac, c\u2019est l\u2019\u0153uvre d\u2019un "
                       "garçon très doué, à ce qu\u2019on dit.");
    QTest::newRow("Windows-1252 beyond Latin-1") << windows1252(more) << more;
}

void TestEngineTracks::addedSubtitleIsShownInItsEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    // What the words look like, from a file that says it is UTF-8 (its
    // byte-order mark) in another colour.
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QString reference = m_media.bytesFile(QStringLiteral("reference %1.srt").arg(tag),
                                                "\xEF\xBB\xBF" + srt(shown.toUtf8(), green));
    m_engine->addSubtitleFile(reference);
    QTRY_VERIFY_WITH_TIMEOUT(inkCount(*m_engine, green) > 0, timeout);
    const QBitArray letters = inkOf(*m_engine, green);

    const QString file =
        m_media.bytesFile(QStringLiteral("added %1.srt").arg(tag), srt(bytes, red));
    QVERIFY(!file.isEmpty());
    const int before = MediaTrack::ofType(m_engine->tracks(), Subtitle).size();
    m_engine->addSubtitleFile(file);
    QTRY_COMPARE_WITH_TIMEOUT(MediaTrack::ofType(m_engine->tracks(), Subtitle).size(), before + 1,
                              timeout);
    const MediaTrack added = MediaTrack::ofType(m_engine->tracks(), Subtitle).last();
    QVERIFY(added.external);
    QTRY_COMPARE_WITH_TIMEOUT(selectedId(*m_engine, Subtitle), added.id, timeout);
    QTRY_VERIFY_WITH_TIMEOUT(inkCount(*m_engine, red) > 0, timeout);
    const QBitArray ink = inkOf(*m_engine, red);
    QVERIFY2(ink == letters, qPrintable(QStringLiteral("%1 of %2 pixels differ")
                                            .arg((ink ^ letters).count(true))
                                            .arg(letters.count(true))));
    QVERIFY(m_engine->problem().isEmpty());
}

void TestEngineTracks::droppedSubtitleJoinsTheVideoNotTheList()
{
    const auto engine = shownEngine();
    ScriptedDialog dialog;
    Form1 form(*engine, dialog);
    form.show();
    MediaOpener opener(form.commands(), dialog);
    DropHandler drops(form, opener, *engine);
    engine->setUrl(m_clip);
    QTRY_VERIFY_WITH_TIMEOUT(MediaTrack::has(engine->tracks(), MediaTrack::Type::Video), timeout);

    const QString file =
        m_media.bytesFile(QStringLiteral("dropped.srt"), srt("Dropped words", magenta));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    const QPoint at(300, 200);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    QVERIFY(drop.isAccepted());

    QTRY_VERIFY_WITH_TIMEOUT(inkCount(*engine, magenta) > 0, timeout);
    QTRY_COMPARE_WITH_TIMEOUT(MediaTrack::ofType(engine->tracks(), Subtitle).size(), 2, timeout);
    QCOMPARE(form.playList().listCount(), 0);
    QVERIFY(dialog.messages.isEmpty());
}

void TestEngineTracks::unfitSubtitleFilesAreNamed_data()
{
    // Where it goes (mpv loads one named after the video by itself), and
    // whether it is a pipe or a sparse file of 11 MB.
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("pipe");
    QTest::newRow("dropped, a pipe") << "dropped.srt" << true;
    QTest::newRow("dropped, 11 MB") << "dropped.srt" << false;
    QTest::newRow("beside the video, 11 MB") << "clip.srt" << false;
}

void TestEngineTracks::unfitSubtitleFilesAreNamed()
{
    QFETCH(QString, name);
    QFETCH(bool, pipe);
    const QString folder = m_media.path(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder) && QFile::copy(m_clip, folder + QStringLiteral("/clip.mkv")));
    const QString subtitle = folder + u'/' + name;
    QFile file(subtitle);
    QVERIFY(pipe ? ::mkfifo(QFile::encodeName(subtitle).constData(), 0644) == 0
                 : file.open(QIODevice::WriteOnly) && file.resize(11 << 20));
    const auto engine = shownEngine();
    engine->setUrl(folder + QStringLiteral("/clip.mkv"));
    if (name.startsWith(QLatin1String("dropped")))
        engine->addSubtitleFile(subtitle);
    const QString why = pipe ? QStringLiteral("a pipe") : QStringLiteral("more than 10 MB");
    QTRY_VERIFY2_WITH_TIMEOUT(engine->problem().contains(subtitle + QStringLiteral(" was not ")) &&
                                  engine->problem().contains(why),
                              qPrintable(engine->problem()), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(engine->status(), QStringLiteral("Playing"), timeout);
    // mpv still takes requests: a fit file is added after it.
    engine->addSubtitleFile(m_media.bytesFile(QStringLiteral("fit.srt"), srt("Fit words", cyan)));
    QTRY_VERIFY_WITH_TIMEOUT(inkCount(*engine, cyan) > 0, timeout);
}

void TestEngineTracks::heavySubtitleIsLightened_data()
{
    // Where it goes, and its lines' words in its own code page.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("words");
    const QString words = QStringLiteral("D\u00e9j\u00e0 l\u2019\u0153uvre");
    QTest::newRow("dropped") << "dropped.ass" << words.toUtf8();
    QTest::newRow("beside the video") << "clip.ass" << words.toUtf8();
    QTest::newRow("dropped, Windows-1252") << "dropped.ass" << windows1252(words);
    QTest::newRow("plain cues, dropped") << "dropped.srt" << words.toUtf8();
    QTest::newRow("dropped, UTF-16") << "dropped.ass" << words.toUtf8();
}

void TestEngineTracks::heavySubtitleIsLightened()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, words);
    const QString folder = m_media.path(QLatin1String("heavy ") + QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder) && QFile::copy(m_clip, folder + QStringLiteral("/clip.mkv")));
    // Drawn as written, these take gigabytes.
    const bool styled = name.endsWith(QLatin1String(".ass"));
    QByteArray script = styled ? "[Script Info]\nPlayResY: 360\n\n[Events]\nFormat: Layer, "
                                 "Start, End, Style, Text\n"
                               : "";
    for (int i = 0; i < 3000; ++i)
        script += (styled ? "Dialogue: 0,0:00:00.00,0:01:00.00,Default,{\\blur80\\fs900\\c&HFF00FF&}"
                          : QByteArray::number(i + 1) + "\n00:00:00,000 --> 00:01:00,000\n"
                                                        "<font size=\"900\" color=\"#ff00ff\">") +
                  words + ' ' + QByteArray::number(i) + (styled ? "\n" : "\n\n");
    if (QByteArray(QTest::currentDataTag()).contains("UTF-16")) {
        const QString text = QChar(QChar::ByteOrderMark) + QString::fromUtf8(script);
        script = QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    }
    const QString subtitle = folder + u'/' + name;
    QFile file(subtitle);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(script) == script.size());
    file.close();
    // A light file beside it still comes along.
    QVERIFY(!m_media
                 .bytesFile(QLatin1String("heavy ") + QTest::currentDataTag() +
                                QStringLiteral("/clip.en.srt"),
                            srt("Light", green))
                 .isEmpty());
    const auto engine = shownEngine();
    engine->setUrl(folder + QStringLiteral("/clip.mkv"));
    if (name.startsWith(QLatin1String("dropped")))
        engine->addSubtitleFile(subtitle);
    QTRY_COMPARE_WITH_TIMEOUT(labels(*engine, Subtitle).size(), 3, timeout);
    QTRY_VERIFY2_WITH_TIMEOUT(
        engine->problem().contains(subtitle + QStringLiteral(" was too heavy")) &&
            engine->problem().contains(QStringLiteral("lines left out")),
        qPrintable(engine->problem()), timeout);
    // The lightened file is the one on the picture.
    QTRY_VERIFY_WITH_TIMEOUT(inkCount(*engine, magenta) > 0, timeout);
    // The track keeps the file's name.
    const auto shownTitle = [&] {
        for (const MediaTrack &track : MediaTrack::ofType(engine->tracks(), Subtitle))
            if (track.selected && track.external)
                return track.title;
        return QString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(shownTitle(), name, timeout);
}

QTEST_MAIN(TestEngineTracks)
#include "tst_enginetracks.moc"
