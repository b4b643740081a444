#include "commands/playback/PositionDisplay.h"
#include "support/FormFixture.h"
#include "support/PositionCounters.h"
#include "widgets/PlayListBox.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include <cmath>
#include <limits>

namespace {

int countOf(const QStringList &calls, const char *call)
{
    return int(calls.count(QLatin1String(call)));
}

} // namespace

class TestPositionDisplay : public QObject
{
    Q_OBJECT
private slots:
    void firstTickWithoutMedium();
    void ticksCountMinutesAndReadStatus();
    void totalTimeAndStopMark_data();
    void totalTimeAndStopMark();
    void failedDurationReadKeepsLastDuration();
    void enablingKeepsARunningInterval_data();
    void enablingKeepsARunningInterval();
    void failedMediumShowsInStatus_data();
    void failedMediumShowsInStatus();
    void endOfStreamWithoutSelection();
    void endOfStreamMovesToNextEntry();
    void endOfStreamOfOtherMediumOpensNothing();
};

void TestPositionDisplay::firstTickWithoutMedium()
{
    FormFixture f;
    const PositionCounters display(f.form);
    QVERIFY(f.timer1()->isActive());

    display.tick();
    QCOMPARE(f.edit("Text2")->text(), QStringLiteral("0 : 0"));
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("0 : 1"));
    QCOMPARE(f.edit("Text4")->text(), QStringLiteral("Ready"));
    QVERIFY(!f.timer1()->isActive());
    QCOMPARE(display.tickCount(), 1);
    QCOMPARE(display.totalSeconds(), 0);
    QCOMPARE(display.mediaDuration(), 0.0);

    // Enabled again later (a file clicked, say), it counts on from there and
    // leaves the total alone until a reset.
    f.timer1()->start();
    f.engine.scriptedDuration = 30.0;
    f.engine.calls.clear();
    display.tick();
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("0 : 2"));
    QCOMPARE(f.edit("Text2")->text(), QStringLiteral("0 : 0"));
    QVERIFY(f.timer1()->isActive());
    QCOMPARE(countOf(f.engine.calls, "duration"), 0);
    QVERIFY(f.edit("Text3")->text().isEmpty());
}

void TestPositionDisplay::ticksCountMinutesAndReadStatus()
{
    FormFixture f;
    const PositionCounters display(f.form);
    f.engine.scriptedDuration = 3725.0;
    const QStringList expected = {QStringLiteral("0 : 58"), QStringLiteral("0 : 59"),
                                  QStringLiteral("1 : 0"), QStringLiteral("1 : 1"),
                                  QStringLiteral("1 : 2")};
    for (int tick = 1; tick <= 57; ++tick)
        display.tick();
    QCOMPARE(f.edit("Text2")->text(), QStringLiteral("62 : 5"));
    for (const QString &text : expected) {
        f.engine.scriptedStatus = QStringLiteral("Playing ") + text;
        display.tick();
        QCOMPARE(f.edit("Text1")->text(), text);
        QCOMPARE(f.edit("Text4")->text(), f.engine.scriptedStatus);
    }
    QCOMPARE(display.elapsedMin(), 1);
    QCOMPARE(display.elapsedSec(), qint16(2));
    QCOMPARE(display.tickCount(), 62);
    for (int tick = 63; tick <= 120; ++tick)
        display.tick();
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("2 : 0"));
    QCOMPARE(display.elapsedSec(), qint16(0));
    // The length is read once, the status every tick.
    QCOMPARE(countOf(f.engine.calls, "duration"), 1);
    QCOMPARE(countOf(f.engine.calls, "status"), 120);
    QVERIFY(f.timer1()->isActive());
}

void TestPositionDisplay::totalTimeAndStopMark_data()
{
    QTest::addColumn<double>("duration");
    QTest::addColumn<QString>("total");
    QTest::addColumn<qint64>("stopMark");
    QTest::addColumn<QString>("elapsedAtStop");

    QTest::newRow("59.99 s") << 59.99 << "0 : 59" << qint64(59) << "1 : 0";
    QTest::newRow("60 s") << 60.0 << "1 : 0" << qint64(60) << "1 : 1";
    QTest::newRow("245.4 s") << 245.4 << "4 : 5" << qint64(245) << "4 : 6";
    QTest::newRow("5000 s") << 5000.0 << "83 : 20" << qint64(5000) << "83 : 21";
    QTest::newRow("123456.7 s") << 123456.7 << "2057 : 36" << qint64(123456) << "2057 : 37";
    QTest::newRow("half a second") << 0.5 << "0 : 0" << qint64(0) << "0 : 1";
    QTest::newRow("negative") << -12.0 << "0 : 0" << qint64(0) << "0 : 1";
    QTest::newRow("not a number") << std::nan("") << "0 : 0" << qint64(0) << "0 : 1";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "0 : 0" << qint64(0)
                              << "0 : 1";
}

void TestPositionDisplay::totalTimeAndStopMark()
{
    QFETCH(double, duration);
    QFETCH(QString, total);
    QFETCH(qint64, stopMark);
    QFETCH(QString, elapsedAtStop);

    FormFixture f;
    const PositionCounters display(f.form);
    f.engine.scriptedDuration = duration;
    display.tick();
    QCOMPARE(f.edit("Text2")->text(), total);
    QCOMPARE(display.totalSeconds(), stopMark);
    // The tick whose count before it ends equals the mark is the last one.
    for (qint64 tick = 2; tick <= stopMark + 1; ++tick) {
        QVERIFY2(f.timer1()->isActive(), qPrintable(QString::number(tick)));
        display.tick();
    }
    QVERIFY(!f.timer1()->isActive());
    QCOMPARE(f.edit("Text1")->text(), elapsedAtStop);
    QCOMPARE(display.tickCount(), stopMark + 1);
    QCOMPARE(f.edit("Text2")->text(), total);
}

void TestPositionDisplay::enablingKeepsARunningInterval_data()
{
    QTest::addColumn<QByteArray>("handler");
    QTest::newRow("an entry clicked") << QByteArray("PlayList1_Click");
    QTest::newRow("Next") << QByteArray("cmdNext_Click");
    QTest::newRow("Previous") << QByteArray("cmdBack_Click");
    QTest::newRow("a file clicked") << QByteArray("FileList_Click");
    QTest::newRow("Repeat") << QByteArray("cmdRepeat_Click");
}

void TestPositionDisplay::enablingKeepsARunningInterval()
{
    QFETCH(QByteArray, handler);
    FormFixture f;
    auto *playList1 = f.get<PlayListBox>("PlayList1");
    for (const char *entry : {"/media/a.mp4", "/media/b.mp4", "/media/c.mp4"})
        playList1->addEntry(QLatin1String(entry));
    selectQuietly(*playList1, 1);

    // Part of the running interval has gone by; a handler that enabled the
    // timer afresh would start a whole new one, and clicks quicker than a
    // second would never let it tick.
    QTimer *timer1 = f.timer1();
    timer1->start();
    QThread::msleep(400);
    f.run(handler.constData());
    QVERIFY(timer1->isActive());
    QVERIFY2(timer1->remainingTime() <= 700, qPrintable(QString::number(timer1->remainingTime())));

    // A timer that was off starts a whole interval. (Repeat disables itself
    // and a disabled control's command does not run: enable it again.)
    timer1->stop();
    f.get<QWidget>("cmdRepeat")->setEnabled(true);
    f.run(handler.constData());
    QVERIFY(timer1->isActive());
    QVERIFY2(timer1->remainingTime() > 700, qPrintable(QString::number(timer1->remainingTime())));
}

void TestPositionDisplay::failedDurationReadKeepsLastDuration()
{
    FormFixture f;
    const PositionCounters display(f.form);
    auto *text1 = f.edit("Text1");
    auto *text2 = f.edit("Text2");

    f.engine.scriptedDuration = 245.4;
    display.tick();
    QCOMPARE(text2->text(), QStringLiteral("4 : 5"));

    // The medium is gone: the read gives nothing, the last length stands.
    f.engine.scriptedDuration.reset();
    display.reset();
    text2->clear();
    display.tick();
    QCOMPARE(display.mediaDuration(), 245.4);
    QCOMPARE(display.totalSeconds(), 245);
    QCOMPARE(text2->text(), QStringLiteral("4 : 5"));
    QCOMPARE(text1->text(), QStringLiteral("0 : 1"));
    QVERIFY(f.timer1()->isActive());

    // A medium that failed to open has no length either.
    f.engine.setUrl(QStringLiteral("/media/broken.mp4"));
    f.engine.fail(QStringLiteral("the medium could not be opened"));
    display.reset();
    text2->clear();
    display.tick();
    QCOMPARE(display.mediaDuration(), 245.4);
    QCOMPARE(text2->text(), QStringLiteral("4 : 5"));
    QCOMPARE(text1->text(), QStringLiteral("0 : 1"));
    QCOMPARE(display.tickCount(), 1);
    QVERIFY(f.dialog.messages.isEmpty());
}

void TestPositionDisplay::failedMediumShowsInStatus_data()
{
    QTest::addColumn<std::optional<double>>("length");
    QTest::newRow("while the timer runs") << std::optional<double>(30.0);
    // Its first tick found no length, and so stopped the timer.
    QTest::newRow("after the timer stopped") << std::optional<double>();
}

void TestPositionDisplay::failedMediumShowsInStatus()
{
    QFETCH(std::optional<double>, length);
    FormFixture f;
    const PositionCounters display(f.form);
    f.engine.scriptedDuration = length;
    f.engine.setUrl(QStringLiteral("/media/clip.mp4"));
    display.tick();
    QCOMPARE(f.edit("Text4")->text(), QStringLiteral("Ready"));
    QCOMPARE(f.timer1()->isActive(), length.has_value());

    // The engine reports the failure in its status, which shows at once;
    // the display goes on counting, and nothing else tells the user.
    const QString error = QStringLiteral("Error: not a medium this player can read");
    f.engine.fail(QStringLiteral("not a medium this player can read"));
    QCOMPARE(f.edit("Text4")->text(), error);
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("0 : 1"));
    if (length) {
        display.tick();
        QCOMPARE(f.edit("Text1")->text(), QStringLiteral("0 : 2"));
        QCOMPARE(f.edit("Text4")->text(), error);
        QCOMPARE(display.tickCount(), 2);
    }
    QVERIFY(f.dialog.messages.isEmpty());
}

void TestPositionDisplay::endOfStreamWithoutSelection()
{
    FormFixture f;
    const PositionCounters display(f.form);
    auto *playList1 = f.get<PlayListBox>("PlayList1");
    auto *cmdRepeat = f.get<QPushButton>("cmdRepeat");
    playList1->addEntry(QStringLiteral("/media/a.mp4"));
    playList1->addEntry(QStringLiteral("/media/b.mp4"));
    f.engine.setUrl(QStringLiteral("/media/a.mp4"));
    f.engine.scriptedDuration = 90.0;
    display.tick();
    display.tick();
    cmdRepeat->setEnabled(false);
    f.edit("pfname")->setText(QStringLiteral("/media/a.mp4"));
    f.engine.calls.clear();

    f.engine.raiseEndOfStream();
    QCOMPARE(f.engine.calls, QStringList{QStringLiteral("stop")});
    QVERIFY(!f.timer1()->isActive());
    QVERIFY(cmdRepeat->isEnabled());
    QVERIFY(f.edit("Text1")->text().isEmpty());
    QVERIFY(f.edit("Text2")->text().isEmpty());
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/media/a.mp4"));
    QCOMPARE(playList1->listIndex(), -1);
    // Only Repeat resets the counters.
    QCOMPARE(display.tickCount(), 2);
    QCOMPARE(display.elapsedSec(), qint16(2));
    QVERIFY(f.dialog.messages.isEmpty());
}

void TestPositionDisplay::endOfStreamMovesToNextEntry()
{
    FormFixture f;
    auto *playList1 = f.get<PlayListBox>("PlayList1");
    const QStringList entries = {QStringLiteral("/media/a.mp4"), QStringLiteral("/media/b.mp4"),
                                 QStringLiteral("/media/c.mp4")};
    for (const QString &entry : entries)
        playList1->addEntry(entry);
    playList1->setListIndex(1);
    f.engine.setUrl(entries[1]);
    f.edit("pfname")->setText(entries[1]);
    f.engine.calls.clear();
    QSignalSpy clicks(playList1, &PlayListBox::listClick);

    // The second entry ends in the middle of the list: the third follows,
    // opened once, through the list's own click.
    f.engine.raiseEndOfStream();
    QCOMPARE(f.engine.commands(),
             (QStringList{QStringLiteral("stop"), "url=" + entries[2], QStringLiteral("play")}));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(playList1->listIndex(), 2);
    QCOMPARE(playList1->selectedItems().size(), 1);
    QCOMPARE(f.edit("pfname")->text(), entries[2]);
    QCOMPARE(f.engine.url(), entries[2]);
    QVERIFY(!f.timer1()->isActive());
    QVERIFY(f.edit("Text1")->text().isEmpty());
    QVERIFY(f.edit("Text2")->text().isEmpty());

    // The last entry ends: nothing more is opened.
    f.engine.calls.clear();
    f.engine.raiseEndOfStream();
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("stop")});
    QCOMPARE(playList1->listIndex(), 2);
    QCOMPARE(f.edit("pfname")->text(), entries[2]);
    QCOMPARE(clicks.count(), 1);
}

void TestPositionDisplay::endOfStreamOfOtherMediumOpensNothing()
{
    FormFixture f;
    auto *playList1 = f.get<PlayListBox>("PlayList1");
    playList1->addEntry(QStringLiteral("/media/a.mp4"));
    playList1->addEntry(QStringLiteral("/media/b.mp4"));
    playList1->setListIndex(0);
    // A file clicked in the browser plays while the first entry stays selected.
    f.engine.setUrl(QStringLiteral("/music/other.mp3"));
    f.edit("pfname")->setText(QStringLiteral("/media/a.mp4"));
    f.engine.calls.clear();
    f.get<QPushButton>("cmdRepeat")->setEnabled(false);

    f.engine.raiseEndOfStream();
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("stop")});
    QCOMPARE(playList1->listIndex(), 0);
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/media/a.mp4"));
    QVERIFY(f.get<QPushButton>("cmdRepeat")->isEnabled());
}

QTEST_MAIN(TestPositionDisplay)
#include "tst_positiondisplay.moc"
