// The engine's area without any engine library: the control bar alone, and
// the area following and driving an engine through the seam only, with the
// engine double.
#include "engine/EngineControlBar.h"
#include "engine/EngineMessage.h"
#include "engine/EngineView.h"
#include "engine/TrackMenuButton.h"
#include "support/ControlBarParts.h"
#include "support/FakeEngine.h"

#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>
#include <limits>

namespace {

// What the user does with the bar in a row of controlsCallTheSeam.
enum class Gesture
{
    ClickPlayPause,
    ClickStop,
    ClickSeekThreeQuarters,
    VolumeEndKey,
    VolumeHomeKey
};

MediaTrack track(MediaTrack::Type type, int id, const char *language, const char *title,
                 bool selected)
{
    MediaTrack made;
    made.type = type;
    made.id = id;
    made.language = QString::fromUtf8(language);
    made.title = QString::fromUtf8(title);
    made.selected = selected;
    return made;
}

constexpr auto Audio = MediaTrack::Type::Audio;
constexpr auto Video = MediaTrack::Type::Video;
constexpr auto Subtitle = MediaTrack::Type::Subtitle;

// A menu as its texts, the checked one marked with "*".
QStringList menuTexts(const TrackMenuButton *button)
{
    QStringList texts;
    for (const QAction *action : button->trackMenu()->actions())
        texts << (action->isChecked() ? QStringLiteral("*") : QString()) + action->text();
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(Gesture)
Q_DECLARE_METATYPE(MediaTrack)

class TestEngineView : public QObject
{
    Q_OBJECT
private slots:
    void barShowsTimesAndRespectsTheUser();
    void barCoversAnyFiniteLength_data();
    void barCoversAnyFiniteLength();
    void barShowsWhatTheEngineHadBefore();
    void barFollowsTheEngine();
    void controlsCallTheSeam_data();
    void controlsCallTheSeam();
    void surfaceTakesThePlaceOfTheStandIn();
    void trackMenus_data();
    void trackMenus();
    void choosingATrackCallsTheEngine_data();
    void choosingATrackCallsTheEngine();
    void problemShowsOverThePicture();
};

void TestEngineView::barShowsTimesAndRespectsTheUser()
{
    EngineControlBar bar;
    const ControlBarParts parts(&bar);
    QVERIFY(parts.complete());
    QCOMPARE(parts.timeText(), QStringLiteral("--:-- / --:--"));
    bar.setDuration(3725.4);
    QVERIFY(parts.seek->isEnabled());
    bar.setPosition(61.9);
    QCOMPARE(parts.timeText(), QStringLiteral("1:01 / 1:02:05"));
    bar.setPosition(3725.4);
    QCOMPARE(parts.timeText(), QStringLiteral("1:02:05 / 1:02:05"));
    QCOMPARE(parts.seek->value(), parts.seek->maximum());

    // While the user holds the slider, playback does not pull it away.
    QSignalSpy asked(&bar, &EngineControlBar::seekRequested);
    parts.seek->setSliderDown(true);
    parts.seek->triggerAction(QAbstractSlider::SliderToMinimum);
    bar.setPosition(100.0);
    QCOMPARE(parts.seek->value(), 0);
    QCOMPARE(asked.count(), 1);
    QCOMPARE(asked.first().first().toDouble(), 0.0);
    parts.seek->setSliderDown(false);
    bar.setPosition(100.0);
    QCOMPARE(parts.seek->value(), 1000);

    // Without a medium there is nothing to seek in.
    bar.setDuration(std::nullopt);
    bar.setPosition(std::nullopt);
    QVERIFY(!parts.seek->isEnabled());
    QCOMPARE(parts.timeText(), QStringLiteral("--:-- / --:--"));

    bar.setPlaying(true);
    QCOMPARE(parts.playPause->toolTip(), QStringLiteral("Pause"));
    bar.setPlaying(false);
    QCOMPARE(parts.playPause->toolTip(), QStringLiteral("Play"));
}

void TestEngineView::barCoversAnyFiniteLength_data()
{
    QTest::addColumn<double>("duration");
    QTest::addColumn<QString>("total");
    QTest::newRow("an hour") << 3600.0 << QStringLiteral("1:00:00 / 1:00:00");
    // Tenths of these no longer fit the slider's int.
    QTest::newRow("seven years") << 2.2e8 << QStringLiteral("61111:06:40 / 61111:06:40");
    QTest::newRow("beyond a 64-bit count") << 1e19
                                           << QStringLiteral("27777777777:46:40 / "
                                                             "27777777777:46:40");
    QTest::newRow("the largest double") << std::numeric_limits<double>::max()
                                        << QStringLiteral("27777777777:46:40 / "
                                                          "27777777777:46:40");
}

void TestEngineView::barCoversAnyFiniteLength()
{
    QFETCH(double, duration);
    QFETCH(QString, total);
    EngineControlBar bar;
    const ControlBarParts parts(&bar);
    bar.setDuration(duration);
    QVERIFY(parts.seek->isEnabled());
    QVERIFY2(parts.seek->maximum() > 0, qPrintable(QString::number(parts.seek->maximum())));
    bar.setPosition(duration);
    QCOMPARE(parts.seek->value(), parts.seek->maximum());
    QCOMPARE(parts.timeText(), total);
    bar.setPosition(duration / 2);
    QVERIFY(qAbs(parts.seek->value() - parts.seek->maximum() / 2) <= 1);

    // The whole length stays reachable: the slider's end asks for the end.
    QSignalSpy asked(&bar, &EngineControlBar::seekRequested);
    parts.seek->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(asked.count(), 1);
    const double askedFor = asked.first().first().toDouble();
    QVERIFY2(std::isfinite(askedFor) && askedFor >= duration * 0.999999 &&
                 askedFor <= duration * 1.000001 + 0.1,
             qPrintable(QString::number(askedFor)));
}

void TestEngineView::barShowsWhatTheEngineHadBefore()
{
    FakeEngine engine;
    engine.setUrl(QStringLiteral("/media/a.mp3"));
    engine.announceDuration(90.0);
    engine.seek(30.0);
    engine.setVolume(20);
    EngineView view(engine);
    const ControlBarParts bar(&view);
    QVERIFY(bar.complete());
    QVERIFY(bar.seek->isEnabled());
    QCOMPARE(bar.seek->value(), 300);
    QCOMPARE(bar.timeText(), QStringLiteral("0:30 / 1:30"));
    QCOMPARE(bar.volume->value(), 20);
    QCOMPARE(bar.playPause->toolTip(), QStringLiteral("Pause"));
}

void TestEngineView::barFollowsTheEngine()
{
    FakeEngine engine;
    EngineView view(engine);
    const ControlBarParts bar(&view);
    QVERIFY(bar.complete());
    QVERIFY(!bar.seek->isEnabled());
    QCOMPARE(bar.volume->value(), 50);

    engine.setUrl(QStringLiteral("/media/a.mp3"));
    QCOMPARE(bar.playPause->toolTip(), QStringLiteral("Pause"));
    engine.announceDuration(120.0);
    QVERIFY(bar.seek->isEnabled());
    QCOMPARE(bar.seek->maximum(), 1200);
    engine.seek(60.0);
    QCOMPARE(bar.seek->value(), 600);
    QCOMPARE(bar.timeText(), QStringLiteral("1:00 / 2:00"));
    engine.pause();
    QCOMPARE(bar.playPause->toolTip(), QStringLiteral("Play"));
    engine.setVolume(30);
    QCOMPARE(bar.volume->value(), 30);
    engine.announceDuration(std::nullopt);
    QVERIFY(!bar.seek->isEnabled());

    // A failure stops playback: the button offers play again.
    engine.play();
    QCOMPARE(bar.playPause->toolTip(), QStringLiteral("Pause"));
    engine.fail(QStringLiteral("broken"));
    QCOMPARE(bar.playPause->toolTip(), QStringLiteral("Play"));
}

void TestEngineView::controlsCallTheSeam_data()
{
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<QString>("call");
    QTest::newRow("play/pause button") << Gesture::ClickPlayPause << QStringLiteral("playPause");
    QTest::newRow("stop button") << Gesture::ClickStop << QStringLiteral("stop");
    QTest::newRow("seek slider") << Gesture::ClickSeekThreeQuarters << QStringLiteral("seek=75");
    QTest::newRow("volume to the top") << Gesture::VolumeEndKey << QStringLiteral("volume=100");
    QTest::newRow("volume to the bottom") << Gesture::VolumeHomeKey << QStringLiteral("volume=0");
}

void TestEngineView::controlsCallTheSeam()
{
    QFETCH(Gesture, gesture);
    QFETCH(QString, call);
    FakeEngine engine;
    engine.announceDuration(100.0);
    EngineView view(engine);
    view.resize(721, 537);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const ControlBarParts bar(&view);
    QVERIFY(bar.complete());
    engine.calls.clear();

    switch (gesture) {
    case Gesture::ClickPlayPause:
        QTest::mouseClick(bar.playPause, Qt::LeftButton);
        break;
    case Gesture::ClickStop:
        QTest::mouseClick(bar.stop, Qt::LeftButton);
        break;
    case Gesture::ClickSeekThreeQuarters:
        QTest::mouseClick(bar.seek, Qt::LeftButton, {},
                          QPoint(bar.seek->width() * 3 / 4, bar.seek->height() / 2));
        break;
    case Gesture::VolumeEndKey:
    case Gesture::VolumeHomeKey:
        bar.volume->setFocus();
        QTest::keyClick(bar.volume, gesture == Gesture::VolumeEndKey ? Qt::Key_End : Qt::Key_Home);
        break;
    }
    QVERIFY2(engine.commands().size() == 1, qPrintable(engine.commands().join(u' ')));
    const QString made = engine.commands().first();
    if (gesture == Gesture::ClickSeekThreeQuarters) {
        // Near three quarters: the handle's width shifts the groove a little.
        QVERIFY2(made.startsWith(QLatin1String("seek=")), qPrintable(made));
        QVERIFY2(qAbs(made.mid(5).toDouble() - 75.0) < 3.0, qPrintable(made));
    } else {
        QCOMPARE(made, call);
    }
}

void TestEngineView::surfaceTakesThePlaceOfTheStandIn()
{
    FakeEngine engine;
    EngineView view(engine);
    view.resize(400, 300);
    const auto surfaces = [&view] {
        return view.findChildren<QWidget *>(QStringLiteral("videoSurface"));
    };
    QCOMPARE(surfaces().size(), 1);
    QPointer<QWidget> standIn = surfaces().first();

    auto *first = new QWidget;
    first->setObjectName(QStringLiteral("videoSurface"));
    view.setVideoSurface(first);
    QVERIFY(standIn.isNull());
    QCOMPARE(surfaces(), QList<QWidget *>{first});
    QCOMPARE(first->parentWidget(), &view);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // Above the bar and filling what the bar leaves.
    auto *bar = view.findChild<EngineControlBar *>(QStringLiteral("engineControlBar"));
    QVERIFY(bar && first->isVisible());
    QCOMPARE(first->geometry().bottom() + 1, bar->geometry().top());
    QCOMPARE(first->width(), view.width());

    // A later surface replaces the first one.
    QPointer<QWidget> replaced = first;
    auto *second = new QWidget;
    view.setVideoSurface(second);
    QVERIFY(replaced.isNull());
    QVERIFY(second->isVisible());
    QCOMPARE(second->geometry().bottom() + 1, bar->geometry().top());
}

void TestEngineView::trackMenus_data()
{
    QTest::addColumn<QList<MediaTrack>>("tracks");
    QTest::addColumn<QStringList>("audio");
    QTest::addColumn<QStringList>("subtitles");
    const QStringList hidden;

    QTest::newRow("no medium") << QList<MediaTrack>{} << hidden << hidden;
    QTest::newRow("one audio track is no choice")
        << QList<MediaTrack>{track(Audio, 1, "eng", "", true)} << hidden << hidden;
    QTest::newRow("two audio tracks by language and title")
        << QList<MediaTrack>{track(Video, 1, "", "", true), track(Audio, 1, "eng", "Main", true),
                             track(Audio, 2, "fre", "Commentary", false)}
        << QStringList{"*eng - Main", "fre - Commentary"} << hidden;
    QTest::newRow("the second one playing, one named by nothing")
        << QList<MediaTrack>{track(Audio, 1, "", "", false), track(Audio, 2, "", "Director", true)}
        << QStringList{"Track 1", "*Director"} << hidden;
    QTest::newRow("a subtitle shown")
        << QList<MediaTrack>{track(Audio, 1, "eng", "", true), track(Subtitle, 1, "eng", "", true)}
        << hidden << QStringList{"Off", "*eng"};
    QTest::newRow("subtitles off") << QList<MediaTrack>{track(Subtitle, 1, "deu", "", false),
                                                        track(Subtitle, 3, "", "SDH", false)}
                                   << hidden << QStringList{"*Off", "deu", "SDH"};
    QTest::newRow("a title that only repeats the language")
        << QList<MediaTrack>{track(Subtitle, 2, "eng", "ENG", true)} << hidden
        << QStringList{"Off", "*ENG"};
}

void TestEngineView::trackMenus()
{
    QFETCH(QList<MediaTrack>, tracks);
    QFETCH(QStringList, audio);
    QFETCH(QStringList, subtitles);
    FakeEngine engine;
    engine.setUrl(QStringLiteral("/media/film.mkv"));
    EngineView view(engine);
    const ControlBarParts bar(&view);
    QVERIFY(bar.complete());
    // Whatever stood there before is replaced, not added to.
    engine.announceTracks({track(Audio, 7, "x", "", true), track(Audio, 8, "y", "", false),
                           track(Subtitle, 9, "z", "", true)});
    engine.announceTracks(tracks);

    QCOMPARE(!bar.audio->isHidden(), !audio.isEmpty());
    QCOMPARE(!bar.subtitles->isHidden(), !subtitles.isEmpty());
    if (!audio.isEmpty())
        QCOMPARE(menuTexts(bar.audio), audio);
    if (!subtitles.isEmpty())
        QCOMPARE(menuTexts(bar.subtitles), subtitles);
    // Full screen is always on offer.
    QVERIFY(!bar.fullScreen->isHidden());

    // A new medium starts with no menus until it is read.
    engine.setUrl(QStringLiteral("/media/other.mkv"));
    QVERIFY(bar.audio->isHidden() && bar.subtitles->isHidden());
}

void TestEngineView::choosingATrackCallsTheEngine_data()
{
    QTest::addColumn<bool>("audioMenu");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QStringList>("menuAfter");
    QTest::newRow("second audio track")
        << true << 1 << QStringLiteral("audio=2") << QStringList{"eng - Main", "*fre - Commentary"};
    QTest::newRow("subtitles off")
        << false << 0 << QStringLiteral("subtitle=0") << QStringList{"*Off", "eng", "Forced"};
    QTest::newRow("another subtitle track")
        << false << 2 << QStringLiteral("subtitle=4") << QStringList{"Off", "eng", "*Forced"};
}

void TestEngineView::choosingATrackCallsTheEngine()
{
    QFETCH(bool, audioMenu);
    QFETCH(int, entry);
    QFETCH(QString, call);
    QFETCH(QStringList, menuAfter);
    FakeEngine engine;
    engine.setUrl(QStringLiteral("/media/film.mkv"));
    engine.announceTracks(
        {track(Audio, 1, "eng", "Main", true), track(Audio, 2, "fre", "Commentary", false),
         track(Subtitle, 1, "eng", "", true), track(Subtitle, 4, "", "Forced", false)});
    EngineView view(engine);
    const ControlBarParts bar(&view);
    TrackMenuButton *button = audioMenu ? bar.audio : bar.subtitles;
    engine.calls.clear();
    button->trackMenu()->actions().at(entry)->trigger();
    QCOMPARE(engine.commands(), QStringList{call});
    QCOMPARE(menuTexts(button), menuAfter);
}

void TestEngineView::problemShowsOverThePicture()
{
    FakeEngine engine;
    EngineView view(engine);
    view.resize(721, 537);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto *message = view.findChild<EngineMessage *>(QStringLiteral("engineMessage"));
    QVERIFY(message && !message->isVisible());

    engine.setUrl(QStringLiteral("/media/broken.wpl"));
    engine.fail(QStringLiteral("the play list cannot be read"));
    QVERIFY(message->isVisible());
    QCOMPARE(message->text(), QStringLiteral("Error: the play list cannot be read"));
    // Over the picture, not over the bar.
    const auto *barWidget = view.findChild<EngineControlBar *>(QStringLiteral("engineControlBar"));
    QVERIFY(message->geometry().bottom() < barWidget->geometry().top());
    QVERIFY(message->geometry().left() >= 0 && message->geometry().right() < view.width());

    // Clicked away, it stays away while the engine says the same.
    QTest::mouseClick(message, Qt::LeftButton);
    QVERIFY(!message->isVisible());
    engine.announceProblem(engine.problem());
    QVERIFY(!message->isVisible());

    // The next medium clears it; the same failure again is told again.
    engine.setUrl(QStringLiteral("/media/broken.wpl"));
    QVERIFY(!message->isVisible());
    engine.fail(QStringLiteral("the play list cannot be read"));
    QVERIFY(message->isVisible());

    // Skipped entries of a list that plays on are told the same way.
    engine.setUrl(QStringLiteral("/media/list.m3u"));
    engine.announceProblem(QStringLiteral("Skipped 1 entry: /etc/passwd"));
    QVERIFY(message->isVisible());
    QCOMPARE(message->text(), QStringLiteral("Skipped 1 entry: /etc/passwd"));

    // An area built after the failure shows it too.
    EngineView later(engine);
    QVERIFY(!later.findChild<EngineMessage *>(QStringLiteral("engineMessage"))->isHidden());
}

QTEST_MAIN(TestEngineView)
#include "tst_engineview.moc"
