#include "commands/playback/PositionDisplay.h"
#include "commands/playback/Transport.h"
#include "support/FormFixture.h"
#include "support/PositionCounters.h"
#include "widgets/PictureButton.h"
#include "widgets/PlayListBox.h"

#include <QtTest>
#include <stdexcept>

namespace {

// An engine that cannot open what it is given, as a real one with a broken
// file, and notes whether Timer1 still ran when it was told to pause or stop.
class WatchingEngine : public FakeEngine
{
public:
    QTimer *timer1 = nullptr;
    bool refuseUrl = false;
    QStringList timerWhen;

    void setUrl(const QString &url) override
    {
        FakeEngine::setUrl(url);
        if (refuseUrl)
            fail(QStringLiteral("the medium could not be opened"));
    }
    void pause() override
    {
        timerWhen << QStringLiteral("pause: timer %1").arg(timer1->isActive() ? "on" : "off");
        FakeEngine::pause();
    }
    void stop() override
    {
        timerWhen << QStringLiteral("stop: timer %1").arg(timer1->isActive() ? "on" : "off");
        FakeEngine::stop();
    }
};

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestTransport : public QObject
{
    Q_OBJECT
private slots:
    void playHandsSelectedEntryToEngine();
    void playIgnoresFailures();
    void pauseStopAndFastPlayback();
    void pauseAndStopStopTimerFirst();
    void unmuteAfterMuteGivesFullVolume();
    void repeatResetsAndRecomputes();
    void repeatDisabledUntilEndOfStream();
};

void TestTransport::playHandsSelectedEntryToEngine()
{
    FormFixture f;
    const PositionCounters display(f.form);
    auto *playList1 = f.get<PlayListBox>("PlayList1");
    playList1->addEntry(QStringLiteral("/media/a.mp4"));
    playList1->addEntry(QStringLiteral("/media/b b.mp4"));
    f.engine.scriptedDuration = 300.0;
    for (int tick = 0; tick < 7; ++tick)
        display.tick();
    playList1->setListIndex(1);
    f.timer1()->start();
    f.engine.calls.clear();

    click(f.get("cmdPlay"));
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("url=/media/b b.mp4")});
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/media/b b.mp4"));
    QVERIFY(!f.timer1()->isActive());
    // The display is only stopped, not reset.
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("0 : 7"));
    QCOMPARE(f.edit("Text2")->text(), QStringLiteral("5 : 0"));
    QCOMPARE(display.tickCount(), 7);

    // Pressed again, or after Pause, it reopens the entry rather than resuming.
    runHandler(f.form, "cmdPause_Click");
    f.engine.calls.clear();
    click(f.get("cmdPlay"));
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("url=/media/b b.mp4")});

    // With nothing selected the engine is left with nothing to play.
    playList1->setListIndex(-1);
    f.timer1()->start();
    f.engine.calls.clear();
    click(f.get("cmdPlay"));
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("url=")});
    QVERIFY(f.engine.url().isEmpty());
    QVERIFY(f.edit("pfname")->text().isEmpty());
    QVERIFY(!f.timer1()->isActive());
    QVERIFY(f.dialog.messages.isEmpty());
}

void TestTransport::playIgnoresFailures()
{
    WatchingEngine engine;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    auto *playList1 = controlOf<PlayListBox>(form, "PlayList1");
    playList1->addEntry(QStringLiteral("/media/broken.mp4"));
    playList1->setListIndex(0);
    controlOf<QTimer>(form, "Timer1")->start();
    engine.refuseUrl = true;

    click(controlOf(form, "cmdPlay"));
    QCOMPARE(controlOf<QLineEdit>(form, "pfname")->text(), QStringLiteral("/media/broken.mp4"));
    QVERIFY(!controlOf<QTimer>(form, "Timer1")->isActive());
    QVERIFY(engine.status().startsWith(QLatin1String("Error: ")));
    QVERIFY(dialog.messages.isEmpty());
}

void TestTransport::pauseStopAndFastPlayback()
{
    FormFixture f;
    f.edit("Text1")->setText(QStringLiteral("0 : 9"));
    f.edit("Text2")->setText(QStringLiteral("3 : 0"));

    click(f.get("cmdPause"));
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("pause")});
    QVERIFY(!f.timer1()->isActive());
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("0 : 9"));

    // Fast playback leaves the timer as it is, running or not.
    click(f.get("cmdFast"));
    QVERIFY(!f.timer1()->isActive());
    f.timer1()->start();
    click(f.get("cmdRev"));
    QVERIFY(f.timer1()->isActive());
    QCOMPARE(f.engine.commands(),
             (QStringList{QStringLiteral("pause"), QStringLiteral("fastForward"),
                          QStringLiteral("fastReverse")}));

    f.engine.calls.clear();
    click(f.get("cmdStop"));
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("stop")});
    QVERIFY(!f.timer1()->isActive());
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral(" "));
    QCOMPARE(f.edit("Text2")->text(), QString());
}

void TestTransport::pauseAndStopStopTimerFirst()
{
    WatchingEngine engine;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    engine.timer1 = controlOf<QTimer>(form, "Timer1");
    engine.timer1->start();
    click(controlOf(form, "cmdPause"));
    engine.timer1->start();
    click(controlOf(form, "cmdStop"));
    // The display rests before the engine is told, so no tick comes between.
    QCOMPARE(engine.timerWhen,
             (QStringList{QStringLiteral("pause: timer off"), QStringLiteral("stop: timer off")}));
    QVERIFY(!engine.timer1->isActive());
}

void TestTransport::unmuteAfterMuteGivesFullVolume()
{
    FormFixture f;
    QCOMPARE(f.engine.volume(), 50);
    click(f.get("cmdMute"));
    QCOMPARE(f.engine.volume(), 0);
    click(f.get("cmdUnMute"));
    QCOMPARE(f.engine.volume(), 100);
    click(f.get("cmdUnMute"));
    click(f.get("cmdMute"));
    QCOMPARE(f.engine.commands(),
             (QStringList{QStringLiteral("volume=0"), QStringLiteral("volume=100"),
                          QStringLiteral("volume=100"), QStringLiteral("volume=0")}));
    // No muted state: both stay usable.
    QVERIFY(f.get("cmdMute")->isEnabled() && f.get("cmdMute")->isVisibleTo(&f.form));
    QVERIFY(f.get("cmdUnMute")->isEnabled() && f.get("cmdUnMute")->isVisibleTo(&f.form));
}

void TestTransport::repeatResetsAndRecomputes()
{
    FormFixture f;
    const PositionCounters display(f.form);
    f.engine.scriptedDuration = 245.4;
    for (int tick = 0; tick < 75; ++tick)
        display.tick();
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("1 : 15"));
    click(f.get("cmdPause"));
    f.engine.calls.clear();
    f.engine.scriptedDuration = 90.0;

    click(f.get("cmdRepeat"));
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("play")});
    QCOMPARE(f.edit("Text1")->text(), QString());
    QCOMPARE(f.edit("Text2")->text(), QString());
    QCOMPARE(display.tickCount(), 0);
    QCOMPARE(display.elapsedSec(), qint16(0));
    QCOMPARE(display.elapsedMin(), 0);
    QVERIFY(f.timer1()->isActive());
    QCOMPARE(f.timer1()->interval(), 1000);
    QVERIFY(!f.get("cmdRepeat")->isEnabled());

    display.tick();
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("0 : 1"));
    QCOMPARE(f.edit("Text2")->text(), QStringLiteral("1 : 30"));
    QCOMPARE(display.totalSeconds(), 90);

    // Without a medium, Repeat works from the last length read.
    f.engine.scriptedDuration.reset();
    f.get("cmdRepeat")->setEnabled(true);
    click(f.get("cmdRepeat"));
    display.tick();
    QCOMPARE(f.edit("Text2")->text(), QStringLiteral("1 : 30"));
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("0 : 1"));
}

void TestTransport::repeatDisabledUntilEndOfStream()
{
    FormFixture f;
    QWidget *cmdRepeat = f.get("cmdRepeat");
    QVERIFY(cmdRepeat->isEnabled());
    click(cmdRepeat);
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("play")});
    QVERIFY(!cmdRepeat->isEnabled());

    runHandler(f.form, "Timer1_Timer");
    runHandler(f.form, "Timer1_Timer");
    click(f.get("cmdStop"));
    f.engine.calls.clear();
    click(cmdRepeat);
    QVERIFY(f.engine.calls.isEmpty());
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral(" "));
    QVERIFY(!f.timer1()->isActive());
    QCOMPARE(PositionCounters(f.form).tickCount(), 2);

    f.engine.raiseEndOfStream();
    QVERIFY(cmdRepeat->isEnabled());
    f.engine.calls.clear();
    click(cmdRepeat);
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("play")});
    QVERIFY(!cmdRepeat->isEnabled());
}

QTEST_MAIN(TestTransport)
#include "tst_transport.moc"
