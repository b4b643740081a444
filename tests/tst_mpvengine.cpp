// The real engine on media made during the run, with null audio and video
// outputs, so it runs on any machine without a display or a sound card.
#include "support/ControlBarParts.h"
#include "support/RealEngine.h"
#include "support/TestMedia.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Generous: these only bound a hang, they never pace the test.
constexpr int startTimeout = 15000;
constexpr int longTimeout = 40000;

double positionOf(const MpvEngine &engine)
{
    return engine.position().value_or(-1.0);
}

// Playback speed seen over about a second of wall time, in media seconds per
// second.
double observedRate(const MpvEngine &engine)
{
    QElapsedTimer clock;
    const double from = positionOf(engine);
    clock.start();
    QTest::qWait(1200);
    return (positionOf(engine) - from) / (double(clock.elapsed()) / 1000.0);
}

} // namespace

class TestMpvEngine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startsEmptyWithItsSettings();
    void openingAUrlStartsPlaying();
    void stopRewindsAndPlayStartsOver();
    void pauseThenPlayResumes();
    void endOfStreamOnceAtTheEndAndPlayReplays();
    void noEndOfStreamOnStopReplaceOrFailure();
    void fastForwardRunsFastUntilTheNextCommand();
    void fastReverseRunsBackToTheStart();
    void brokenMediaGiveAnErrorStatus();
    void eachFailureIsAnnouncedOnce_data();
    void eachFailureIsAnnouncedOnce();
    void m3uListPlaysWholeAndEndsOnce();
    void volumeIsKeptInRange();
    void controlBarFollowsAndDrivesTheEngine();

private:
    TestMedia m_media;
    QString m_tone;   // 1.5 s WAV
    QString m_short;  // 1.0 s WAV
    QString m_clip;   // 20 s video with sound
    QString m_noise;  // random bytes named like a video
    QString m_cut;    // an MP4 cut before its index
    QString m_folder; // a folder holding a playable file
};

void TestMpvEngine::initTestCase()
{
    m_tone = m_media.wav(QStringLiteral("tone.wav"), 1.5);
    m_short = m_media.wav(QStringLiteral("short.wav"), 1.0, 660.0);
    QVERIFY2(!m_tone.isEmpty() && !m_short.isEmpty(), qPrintable(m_media.lastError()));
    m_clip = m_media.testPattern(QStringLiteral("clip.mp4"), 20.0, QSize(160, 120), true);
    QVERIFY2(!m_clip.isEmpty(), qPrintable(m_media.lastError()));
    m_noise = m_media.randomBytes(QStringLiteral("noise.mp4"), 256 * 1024);
    QVERIFY2(!m_noise.isEmpty(), qPrintable(m_media.lastError()));
    // ffmpeg writes an MP4's index at its end, so the first half alone has none.
    m_cut = m_media.truncatedCopy(m_clip, QStringLiteral("cut.mp4"), QFileInfo(m_clip).size() / 2);
    QVERIFY2(!m_cut.isEmpty(), qPrintable(m_media.lastError()));
    m_folder = m_media.path(QStringLiteral("album.mp3"));
    QVERIFY(QDir().mkpath(m_folder));
    QVERIFY(QFile::copy(m_tone, m_folder + QStringLiteral("/inside.wav")));
}

void TestMpvEngine::startsEmptyWithItsSettings()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QCOMPARE(engine.status(), QStringLiteral("Ready"));
    QCOMPARE(engine.volume(), 50);
    QCOMPARE(engine.url(), QString());
    QVERIFY(!engine.duration());
    QVERIFY(!engine.position());

    // Transport calls without a medium change nothing and raise nothing.
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    engine.play();
    engine.pause();
    engine.fastForward();
    engine.fastReverse();
    engine.stop();
    QCOMPARE(engine.status(), QStringLiteral("Ready"));
    QTest::qWait(300);
    QCOMPARE(ended.count(), 0);
    QCOMPARE(engine.status(), QStringLiteral("Ready"));
}

void TestMpvEngine::openingAUrlStartsPlaying()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    engine.setUrl(m_clip);
    QCOMPARE(engine.url(), m_clip);
    QCOMPARE(engine.status(), QStringLiteral("Opening"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 0.3, startTimeout);
    QVERIFY(engine.duration());
    QVERIFY(qAbs(*engine.duration() - 20.0) < 0.2);

    // An empty URL leaves no medium, and play() then has nothing to start.
    engine.setUrl(QString());
    QCOMPARE(engine.status(), QStringLiteral("Ready"));
    QVERIFY(!engine.duration());
    engine.play();
    QTest::qWait(500);
    QCOMPARE(engine.status(), QStringLiteral("Ready"));
    QVERIFY(!engine.position());
    QVERIFY(!engine.duration());

    // A WAV opens and reports its length too.
    engine.setUrl(m_tone);
    QTRY_VERIFY_WITH_TIMEOUT(engine.duration().has_value(), startTimeout);
    QVERIFY(qAbs(*engine.duration() - 1.5) < 0.05);
}

void TestMpvEngine::stopRewindsAndPlayStartsOver()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    engine.setUrl(m_clip);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 2.0, startTimeout);

    engine.stop();
    QCOMPARE(engine.status(), QStringLiteral("Stopped"));
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(positionOf(engine)) < 0.05, startTimeout);
    QTest::qWait(500);
    QVERIFY2(qAbs(positionOf(engine)) < 0.05, "a stopped medium must not move");
    QCOMPARE(engine.url(), m_clip);
    QVERIFY(engine.duration());

    engine.play();
    QCOMPARE(engine.status(), QStringLiteral("Playing"));
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 0.2, startTimeout);
    QVERIFY2(positionOf(engine) < 1.9, "play after stop must start from the beginning");

    // Pause on a stopped medium keeps it stopped.
    engine.stop();
    engine.pause();
    QCOMPARE(engine.status(), QStringLiteral("Stopped"));
    QCOMPARE(ended.count(), 0);
}

void TestMpvEngine::pauseThenPlayResumes()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    engine.setUrl(m_clip);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 1.5, startTimeout);

    engine.pause();
    QCOMPARE(engine.status(), QStringLiteral("Paused"));
    QTest::qWait(400);
    const double stood = positionOf(engine);
    QTest::qWait(600);
    QCOMPARE(positionOf(engine), stood);
    QVERIFY(stood > 1.5);

    engine.play();
    QCOMPARE(engine.status(), QStringLiteral("Playing"));
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > stood + 0.3, startTimeout);
    QVERIFY2(positionOf(engine) < stood + 2.5, "resume must go on from where it stood");
}

void TestMpvEngine::endOfStreamOnceAtTheEndAndPlayReplays()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    engine.setUrl(m_tone);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, startTimeout);
    QCOMPARE(engine.status(), QStringLiteral("Media Ended"));
    // The medium stays loaded at its end.
    QVERIFY(engine.duration());
    QVERIFY(positionOf(engine) > 1.3);
    QTest::qWait(700);
    QCOMPARE(ended.count(), 1);

    // Play after the end plays it again from its start, and it ends again.
    engine.play();
    QCOMPARE(engine.status(), QStringLiteral("Playing"));
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) < 1.0, startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, startTimeout);

    // The window's own end-of-stream handling stops, then plays again.
    engine.stop();
    QCOMPARE(engine.status(), QStringLiteral("Stopped"));
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(positionOf(engine)) < 0.05, startTimeout);
    engine.play();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, startTimeout);

    // A medium opened after an end plays, though mpv was left paused there.
    engine.setUrl(m_clip);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 0.5, startTimeout);

    // Fast forward to the end is an end too.
    engine.seek(17.0);
    engine.fastForward();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 4, longTimeout);
    QCOMPARE(engine.status(), QStringLiteral("Media Ended"));
}

void TestMpvEngine::noEndOfStreamOnStopReplaceOrFailure()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);

    // Replaced shortly before its end.
    engine.setUrl(m_tone);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 1.1, startTimeout);
    engine.setUrl(m_clip);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);

    // Stopped shortly before its end, then left alone.
    engine.seek(19.5);
    engine.stop();
    QTest::qWait(1500);
    QCOMPARE(engine.status(), QStringLiteral("Stopped"));

    // Emptied, and handed files that fail.
    engine.setUrl(m_short);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 0.5, startTimeout);
    engine.setUrl(QString());
    engine.setUrl(m_noise);
    QTRY_VERIFY_WITH_TIMEOUT(engine.status().startsWith(QLatin1String("Error: ")), startTimeout);
    engine.setUrl(m_cut);
    QTRY_VERIFY_WITH_TIMEOUT(engine.status().startsWith(QLatin1String("Error: ")), startTimeout);
    QTest::qWait(1500);
    QCOMPARE(ended.count(), 0);

    // Media handed over one right after the other: only the last one plays,
    // and only its end counts.
    engine.setUrl(m_noise);
    engine.setUrl(m_clip);
    engine.play();
    engine.setUrl(m_short);
    engine.play();
    engine.setUrl(m_tone);
    engine.play();
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, startTimeout);
    QVERIFY(qAbs(*engine.duration() - 1.5) < 0.05);
    QCOMPARE(engine.url(), m_tone);
}

void TestMpvEngine::fastForwardRunsFastUntilTheNextCommand()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    engine.setUrl(m_clip);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 0.5, startTimeout);

    engine.fastForward();
    QCOMPARE(engine.status(), QStringLiteral("Fast Forward"));
    const double fast = observedRate(engine);
    QVERIFY2(fast > 2.5 && fast < 6.0, qPrintable(QString::number(fast)));

    engine.play();
    QCOMPARE(engine.status(), QStringLiteral("Playing"));
    QTest::qWait(300);
    const double normal = observedRate(engine);
    QVERIFY2(normal > 0.5 && normal < 1.6, qPrintable(QString::number(normal)));

    // Pause also ends fast playback: resuming is at normal speed.
    engine.fastForward();
    engine.pause();
    QCOMPARE(engine.status(), QStringLiteral("Paused"));
    engine.play();
    QTest::qWait(300);
    const double resumed = observedRate(engine);
    QVERIFY2(resumed < 1.6, qPrintable(QString::number(resumed)));
}

void TestMpvEngine::fastReverseRunsBackToTheStart()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    engine.setUrl(m_clip);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    engine.seek(15.0);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 15.0, startTimeout);

    engine.fastReverse();
    QCOMPARE(engine.status(), QStringLiteral("Fast Reverse"));
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) < 14.0, startTimeout);
    const double backwards = -observedRate(engine);
    QVERIFY2(backwards > 2.5 && backwards < 7.0, qPrintable(QString::number(backwards)));

    // It stops cleanly at the start, raising no end of stream.
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Stopped"), longTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(positionOf(engine)) < 0.05, startTimeout);
    QTest::qWait(500);
    QVERIFY(qAbs(positionOf(engine)) < 0.05);
    QCOMPARE(ended.count(), 0);
    engine.play();
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 0.2, startTimeout);

    // The next transport call ends it: pause holds the place it reached.
    engine.seek(10.0);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 10.0, startTimeout);
    engine.fastReverse();
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) < 8.0, startTimeout);
    engine.pause();
    QCOMPARE(engine.status(), QStringLiteral("Paused"));
    QTest::qWait(500);
    const double held = positionOf(engine);
    QTest::qWait(500);
    QCOMPARE(positionOf(engine), held);
    QVERIFY(held > 0.0);

    // From the end of a medium it runs back as well.
    engine.setUrl(m_tone);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, startTimeout);
    engine.fastReverse();
    QCOMPARE(engine.status(), QStringLiteral("Fast Reverse"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Stopped"), startTimeout);
    QCOMPARE(ended.count(), 1);
}

void TestMpvEngine::brokenMediaGiveAnErrorStatus()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    const QString missing = m_media.path(QStringLiteral("gone.mp4"));
    for (const QString &bad : {m_noise, m_cut, m_folder, missing}) {
        engine.setUrl(bad);
        QTRY_VERIFY_WITH_TIMEOUT(engine.status().startsWith(QLatin1String("Error: ")),
                                 startTimeout);
        QVERIFY2(engine.status().size() > 8, qPrintable(engine.status()));
        QVERIFY(!engine.duration());
        // Nothing to play: the error stays and nothing starts, not even the
        // file inside the folder.
        engine.play();
        QTest::qWait(400);
        QVERIFY2(engine.status().startsWith(QLatin1String("Error: ")), qPrintable(bad));
        QVERIFY(!engine.position());
    }
    QVERIFY(engine.status().contains(QLatin1String("gone.mp4")));
    engine.setUrl(m_folder);
    QVERIFY(engine.status().contains(QLatin1String("folder")));
    QCOMPARE(ended.count(), 0);

    // The engine is still fine afterwards.
    engine.setUrl(m_short);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, startTimeout);
}

void TestMpvEngine::eachFailureIsAnnouncedOnce_data()
{
    // Some are refused before mpv sees them, some fail inside mpv later.
    QTest::addColumn<QString>("which");
    QTest::newRow("random bytes") << QStringLiteral("noise");
    QTest::newRow("cut short") << QStringLiteral("cut");
    QTest::newRow("a folder") << QStringLiteral("folder");
    QTest::newRow("missing") << QStringLiteral("missing");
    QTest::newRow("a refused source") << QStringLiteral("lavfi");
}

void TestMpvEngine::eachFailureIsAnnouncedOnce()
{
    QFETCH(QString, which);
    const QHash<QString, QString> paths{{QStringLiteral("noise"), m_noise},
                                        {QStringLiteral("cut"), m_cut},
                                        {QStringLiteral("folder"), m_folder},
                                        {QStringLiteral("missing"), m_media.path("gone.mp4")},
                                        {QStringLiteral("lavfi"), QStringLiteral("lavfi://sine")}};
    const auto engine = makeEngine(MpvEngine::Options::headless());
    QSignalSpy failed(engine.get(), &MediaEngine::failed);

    // Replaced at once, a failure is no longer the engine's news.
    engine->setUrl(paths[which]);
    engine->setUrl(m_short);
    QTRY_COMPARE_WITH_TIMEOUT(engine->status(), QStringLiteral("Playing"), startTimeout);

    engine->setUrl(paths[which]);
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, startTimeout);
    QVERIFY2(engine->status().startsWith(QLatin1String("Error: ")), qPrintable(engine->status()));
    QCOMPARE(QStringLiteral("Error: ") + failed.first().first().toString(), engine->status());
    QCOMPARE(engine->playbackState(), MediaEngine::PlaybackState::Stopped);
    // Nothing more comes of it, not even when asked to play.
    engine->play();
    QTest::qWait(400);
    QCOMPARE(failed.count(), 1);

    // The same failure again is a new one.
    engine->setUrl(paths[which]);
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 2, startTimeout);
}

void TestMpvEngine::m3uListPlaysWholeAndEndsOnce()
{
    const QString list = m_media.textFile(QStringLiteral("two.m3u"),
                                          QStringLiteral("#EXTM3U\n%1\n%2\n").arg(m_short, m_tone));
    QVERIFY(!list.isEmpty());
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    QElapsedTimer clock;
    clock.start();
    engine.setUrl(list);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, longTimeout);
    // Both entries played (1.0 s and 1.5 s), and the last one stays open.
    QVERIFY2(clock.elapsed() >= 2400, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(engine.duration());
    QVERIFY(qAbs(*engine.duration() - 1.5) < 0.05);
    QTest::qWait(700);
    QCOMPARE(ended.count(), 1);

    // Play after the end starts the list over.
    engine.play();
    QTRY_VERIFY_WITH_TIMEOUT(engine.duration() && qAbs(*engine.duration() - 1.0) < 0.05,
                             startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, longTimeout);
}

void TestMpvEngine::volumeIsKeptInRange()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    const ControlBarParts bar(engine.widget());
    QVERIFY(bar.volume);
    QCOMPARE(bar.volume->value(), 50);
    engine.setVolume(0);
    QCOMPARE(engine.volume(), 0);
    QCOMPARE(bar.volume->value(), 0);
    engine.setVolume(100);
    QCOMPARE(engine.volume(), 100);
    engine.setVolume(250);
    QCOMPARE(engine.volume(), 100);
    engine.setVolume(-5);
    QCOMPARE(engine.volume(), 0);
}

void TestMpvEngine::controlBarFollowsAndDrivesTheEngine()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QWidget *player = engine.widget();
    const ControlBarParts bar(player);
    QVERIFY(bar.complete());
    QCOMPARE(engine.widget(), player);
    // The size the window gives MPlayer1 at start.
    player->resize(721, 537);
    player->show();
    QVERIFY(QTest::qWaitForWindowExposed(player));
    QVERIFY(!bar.seek->isEnabled());

    // The window's transport buttons cover the lowest 33 px on the left
    // 370 px: the seek slider stays above them, the bar's buttons right of them.
    const QRect seek(bar.seek->mapTo(player, QPoint(0, 0)), bar.seek->size());
    QVERIFY2(seek.bottom() < 537 - 33, qPrintable(QString::number(seek.bottom())));
    QVERIFY(seek.width() > 600);
    for (QWidget *inRow : {static_cast<QWidget *>(bar.playPause), static_cast<QWidget *>(bar.stop),
                           static_cast<QWidget *>(bar.volume)}) {
        QVERIFY2(inRow->mapTo(player, QPoint(0, 0)).x() > 370, qPrintable(inRow->objectName()));
        QVERIFY(inRow->mapTo(player, QPoint(0, inRow->height())).y() <= 537);
    }

    engine.setUrl(m_clip);
    QTRY_VERIFY_WITH_TIMEOUT(bar.seek->isEnabled(), startTimeout);
    QCOMPARE(bar.seek->maximum(), 200);
    QTRY_VERIFY_WITH_TIMEOUT(bar.seek->value() >= 10, startTimeout);
    QVERIFY(bar.timeText().endsWith(QLatin1String(" / 0:20")));

    // A click three quarters along the slider moves the true position there.
    const QPoint at(bar.seek->width() * 3 / 4, bar.seek->height() / 2);
    QTest::mouseClick(bar.seek, Qt::LeftButton, {}, at);
    QTRY_VERIFY_WITH_TIMEOUT(positionOf(engine) > 13.5, startTimeout);
    QVERIFY2(positionOf(engine) < 17.0, qPrintable(QString::number(positionOf(engine))));
    QTRY_VERIFY(bar.timeText().startsWith(QLatin1String("0:1")));

    // Its own buttons pause, resume and stop the engine.
    QTest::mouseClick(bar.playPause, Qt::LeftButton);
    QCOMPARE(engine.status(), QStringLiteral("Paused"));
    QTest::mouseClick(bar.playPause, Qt::LeftButton);
    QCOMPARE(engine.status(), QStringLiteral("Playing"));
    QTest::mouseClick(bar.stop, Qt::LeftButton);
    QCOMPARE(engine.status(), QStringLiteral("Stopped"));
    QTRY_COMPARE_WITH_TIMEOUT(bar.seek->value(), 0, startTimeout);
    QTest::mouseClick(bar.playPause, Qt::LeftButton);
    QCOMPARE(engine.status(), QStringLiteral("Playing"));

    // The volume slider sets the engine's volume.
    bar.volume->setFocus();
    QTest::keyClick(bar.volume, Qt::Key_End);
    QCOMPARE(engine.volume(), 100);
    QTest::keyClick(bar.volume, Qt::Key_Home);
    QCOMPARE(engine.volume(), 0);
}

QTEST_MAIN(TestMpvEngine)
#include "tst_mpvengine.moc"
