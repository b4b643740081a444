// The engine the window starts on while the real one loads: nothing asked
// meanwhile is lost, and once the real engine is there it is the engine.
#include "app/Form1.h"
#include "commands/Commands.h"
#include "engine/DeferredEngine.h"
#include "engine/EngineView.h"
#include "support/FakeEngine.h"
#include "support/ScriptedDialog.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// Runs one word of a test row on the engine: "url=<path>", "play",
// "pause", "stop", "fastForward", "fastReverse", "playPause", "seek=<s>",
// "volume=<n>".
void perform(MediaEngine &engine, const QString &step)
{
    const QString name = step.section(u'=', 0, 0);
    const QString value = step.section(u'=', 1);
    if (name == u"url")
        engine.setUrl(value);
    else if (name == u"play")
        engine.play();
    else if (name == u"pause")
        engine.pause();
    else if (name == u"stop")
        engine.stop();
    else if (name == u"fastForward")
        engine.fastForward();
    else if (name == u"fastReverse")
        engine.fastReverse();
    else if (name == u"playPause")
        engine.playPause();
    else if (name == u"seek")
        engine.seek(value.toDouble());
    else if (name == u"volume")
        engine.setVolume(value.toInt());
    else
        QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
}

} // namespace

class TestDeferredEngine : public QObject
{
    Q_OBJECT
private slots:
    void requestsBeforeTheEngineAreReplayedInOrder_data();
    void requestsBeforeTheEngineAreReplayedInOrder();
    void answersAsAnEngineWithoutMediumUntilThen_data();
    void answersAsAnEngineWithoutMediumUntilThen();
    void passesEverythingThroughOnceAttached();
    void realAreaTakesTheStandInsPlace();
    void windowRequestsWaitForTheEngine_data();
    void windowRequestsWaitForTheEngine();
};

void TestDeferredEngine::requestsBeforeTheEngineAreReplayedInOrder_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("reached");
    QTest::newRow("nothing asked") << QStringList() << QStringList();
    QTest::newRow("a file from the command line")
        << QStringList{"url=/m/a.mkv", "play"} << QStringList{"url=/m/a.mkv", "play"};
    QTest::newRow("a second click replaces the first")
        << QStringList{"url=/m/a.mkv", "play", "url=/m/b.mkv", "play"}
        << QStringList{"url=/m/a.mkv", "play", "url=/m/b.mkv", "play"};
    QTest::newRow("mute then unmute")
        << QStringList{"volume=0", "volume=100"} << QStringList{"volume=0", "volume=100"};
    QTest::newRow("transport in the first moment")
        << QStringList{"url=/m/a.ogg", "pause",     "fastForward", "seek=3.5",
                       "fastReverse",  "playPause", "stop"}
        << QStringList{"url=/m/a.ogg", "pause",     "fastForward", "seek=3.5",
                       "fastReverse",  "playPause", "stop"};
    QTest::newRow("volume out of range is bounded")
        << QStringList{"volume=250", "volume=-4"} << QStringList{"volume=100", "volume=0"};
}

void TestDeferredEngine::requestsBeforeTheEngineAreReplayedInOrder()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, reached);
    DeferredEngine engine;
    for (const QString &step : std::as_const(steps))
        perform(engine, step);
    auto fake = std::make_unique<FakeEngine>();
    FakeEngine *real = fake.get();
    engine.attach(std::move(fake));
    QCOMPARE(real->commands(), reached);
    // Nothing is replayed twice, and later requests go straight through.
    engine.stop();
    QCOMPARE(real->commands(), reached + QStringList{"stop"});
}

void TestDeferredEngine::answersAsAnEngineWithoutMediumUntilThen_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("volume");
    QTest::addColumn<QString>("status");
    QTest::newRow("just started") << QStringList() << QString() << 50 << "Ready";
    QTest::newRow("file asked for")
        << QStringList{"url=/m/a.mkv", "play"} << "/m/a.mkv" << 50 << "Opening";
    QTest::newRow("file then none")
        << QStringList{"url=/m/a.mkv", "url="} << QString() << 50 << "Ready";
    QTest::newRow("muted") << QStringList{"volume=0"} << QString() << 0 << "Ready";
}

void TestDeferredEngine::answersAsAnEngineWithoutMediumUntilThen()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, url);
    QFETCH(int, volume);
    QFETCH(QString, status);
    DeferredEngine engine;
    QSignalSpy statuses(&engine, &MediaEngine::statusChanged);
    QSignalSpy volumes(&engine, &MediaEngine::volumeChanged);
    for (const QString &step : std::as_const(steps))
        perform(engine, step);
    QCOMPARE(engine.url(), url);
    QCOMPARE(engine.volume(), volume);
    QCOMPARE(engine.status(), status);
    QCOMPARE(engine.playbackState(), MediaEngine::PlaybackState::Stopped);
    QCOMPARE(engine.duration(), std::nullopt);
    QCOMPARE(engine.position(), std::nullopt);
    // Whoever shows the status or the volume hears of each change.
    if (status != u"Ready" || !statuses.isEmpty())
        QCOMPARE(statuses.last().at(0).toString(), status);
    QCOMPARE(volumes.isEmpty(), volume == 50);
}

void TestDeferredEngine::passesEverythingThroughOnceAttached()
{
    DeferredEngine engine;
    engine.setUrl(QStringLiteral("/m/a.mkv"));
    auto fake = std::make_unique<FakeEngine>();
    FakeEngine *real = fake.get();
    real->scriptedStatus = QStringLiteral("Playing");
    QSignalSpy statuses(&engine, &MediaEngine::statusChanged);
    QSignalSpy ends(&engine, &MediaEngine::endOfStream);
    QSignalSpy failures(&engine, &MediaEngine::failed);
    QSignalSpy durations(&engine, &MediaEngine::durationChanged);
    engine.attach(std::move(fake));
    // The status moved on from "Opening" as the real engine took over.
    QVERIFY(!statuses.isEmpty());
    QCOMPARE(statuses.last().at(0).toString(), QStringLiteral("Playing"));

    real->scriptedPosition = 12.5;
    real->announceDuration(60.0);
    QCOMPARE(durations.count(), 1);
    QCOMPARE(engine.duration(), std::optional<double>(60.0));
    QCOMPARE(engine.position(), std::optional<double>(12.5));
    real->raiseEndOfStream();
    QCOMPARE(ends.count(), 1);
    real->fail(QStringLiteral("broken file"));
    QCOMPARE(failures.count(), 1);
    QCOMPARE(failures.last().at(0).toString(), QStringLiteral("broken file"));
    QCOMPARE(engine.status(), real->status());
    QCOMPARE(engine.playbackState(), real->playbackState());

    // A second engine changes nothing: requests still reach the first.
    engine.attach(std::make_unique<FakeEngine>());
    real->calls.clear();
    engine.pause();
    QCOMPARE(real->commands(), QStringList{QStringLiteral("pause")});
}

void TestDeferredEngine::realAreaTakesTheStandInsPlace()
{
    QWidget window;
    DeferredEngine engine;
    QWidget *area = engine.widget();
    area->setParent(&window);
    QCOMPARE(engine.widget(), area);
    // Until then the area is the engine's usual one, control bar and all.
    QCOMPARE(area->findChildren<EngineView *>().size(), 1);

    auto fake = std::make_unique<FakeEngine>();
    QWidget *realArea = fake->widget();
    engine.attach(std::move(fake));
    QCOMPARE(realArea->parentWidget(), area);
    QVERIFY(area->findChildren<EngineView *>().isEmpty());
    // It fills the area wherever the screen modes put it.
    window.resize(800, 600);
    area->setGeometry(10, 10, 640, 360);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(realArea->geometry(), QRect(0, 0, 640, 360));
}

void TestDeferredEngine::windowRequestsWaitForTheEngine_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("reached");
    QTest::newRow("command line or drop") << "replace" << QStringList{"url=/m/one.mkv", "play"};
    QTest::newRow("play-list file") << "listFile" << QStringList{"url=/m/list.m3u"};
    QTest::newRow("append only") << "append" << QStringList();
}

void TestDeferredEngine::windowRequestsWaitForTheEngine()
{
    QFETCH(QString, source);
    QFETCH(QStringList, reached);
    DeferredEngine engine;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    const QStringList files{QStringLiteral("/m/one.mkv"), QStringLiteral("/m/two.mkv")};
    if (source == u"replace")
        form.commands().replaceList(files, true);
    else if (source == u"append")
        form.commands().appendToList(files);
    else
        form.commands().loadPlayListFile(QStringLiteral("/m/list.m3u"));
    auto fake = std::make_unique<FakeEngine>();
    FakeEngine *real = fake.get();
    engine.attach(std::move(fake));
    QStringList commands = real->commands();
    // Only what reached the engine: the handlers' own volume and stop calls
    // are theirs to choose.
    commands.removeIf([](const QString &c) { return !c.startsWith(u"url=") && c != u"play"; });
    QCOMPARE(commands, reached);
}

QTEST_MAIN(TestDeferredEngine)
#include "tst_deferredengine.moc"
