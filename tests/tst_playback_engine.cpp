// The window's playback handlers on the real engine, with null audio and video
// outputs and media made during the run.
#include "app/Form1.h"
#include "commands/playback/PositionDisplay.h"
#include "support/FormAccess.h"
#include "support/PositionCounters.h"
#include "support/RealEngine.h"
#include "support/ScriptedDialog.h"
#include "support/TestMedia.h"
#include "widgets/PlayListBox.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// Bounds a hang only; never paces the test.
constexpr int timeout = 20000;

// Every text a field has shown, in order.
class TextHistory
{
public:
    explicit TextHistory(QLineEdit *field)
    {
        QObject::connect(field, &QLineEdit::textChanged,
                         [this](const QString &text) { texts << text; });
    }
    QStringList texts;
};

} // namespace

class TestPlaybackEngine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void playsToItsEndAndRepeatsFromTheStart();
    void finishedEntryOpensTheNextOne();
    void listFileStartsAgainFromItsFirstEntry_data();
    void listFileStartsAgainFromItsFirstEntry();

private:
    TestMedia m_media;
    QString m_clip;
    QString m_first;
    QString m_second;
};

void TestPlaybackEngine::initTestCase()
{
    m_clip = m_media.testPattern(QStringLiteral("clip.mp4"), 2.0, QSize(160, 120), true);
    m_first = m_media.wav(QStringLiteral("first.wav"), 1.0);
    m_second = m_media.wav(QStringLiteral("second.wav"), 1.0, 660.0);
    QVERIFY2(!m_clip.isEmpty() && !m_first.isEmpty() && !m_second.isEmpty(),
             qPrintable(m_media.lastError()));
}

void TestPlaybackEngine::playsToItsEndAndRepeatsFromTheStart()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *playList1 = controlOf<PlayListBox>(form, "PlayList1");
    auto *text1 = controlOf<QLineEdit>(form, "Text1");
    auto *text2 = controlOf<QLineEdit>(form, "Text2");
    auto *text4 = controlOf<QLineEdit>(form, "Text4");
    auto *cmdRepeat = controlOf<QPushButton>(form, "cmdRepeat");
    QTimer *timer1 = controlOf<QTimer>(form, "Timer1");
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    TextHistory elapsed(text1);
    TextHistory total(text2);
    TextHistory status(text4);

    // The user picks the one entry of the list: it opens and plays.
    playList1->addEntry(m_clip);
    playList1->setListIndex(0);
    QCOMPARE(engine.url(), m_clip);
    QVERIFY(timer1->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(elapsed.texts.contains(QStringLiteral("0 : 1")), timeout);
    // The total is read on the first tick, a second after the click; a machine
    // too busy to open the medium by then shows 0 : 0, as the display would.
    const qint64 firstTotal = PositionCounters(form).totalSeconds();
    QVERIFY(firstTotal == 2 || firstTotal == 0);
    QCOMPARE(text2->text(), PositionDisplay::timeText(0, firstTotal));
    form.grab().save(QStringLiteral("playback_playing.png"));

    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, timeout);
    QVERIFY(text1->text().isEmpty());
    QVERIFY(text2->text().isEmpty());
    QVERIFY(!timer1->isActive());
    QVERIFY(cmdRepeat->isEnabled());
    QCOMPARE(engine.status(), QStringLiteral("Stopped"));
    // The last entry finished: nothing else is opened.
    QCOMPARE(engine.url(), m_clip);
    QCOMPARE(playList1->listIndex(), 0);
    QTest::qWait(1500);
    QCOMPARE(ended.count(), 1);
    QVERIFY(text1->text().isEmpty());
    QVERIFY(status.texts.contains(QStringLiteral("Playing")));
    QVERIFY(dialog.messages.isEmpty());
    form.grab().save(QStringLiteral("playback_ended.png"));

    // Repeat plays the same medium again from its start with a fresh count.
    elapsed.texts.clear();
    total.texts.clear();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(cmdRepeat, Qt::LeftButton);
    QVERIFY(!cmdRepeat->isEnabled());
    QVERIFY(timer1->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(engine.position().value_or(-1) > 0.0, timeout);
    QVERIFY2(*engine.position() < 1.5, "Repeat must start from the beginning");
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, timeout);
    QVERIFY2(clock.elapsed() > 1500, "the whole medium must play again");
    // Repeat's own clearing does not show: the field was empty already.
    QCOMPARE(elapsed.texts.value(0), QStringLiteral("0 : 1"));
    QCOMPARE(elapsed.texts.last(), QString());
    QCOMPARE(total.texts.value(0), QStringLiteral("0 : 2"));
    QVERIFY(text1->text().isEmpty());
    QVERIFY(cmdRepeat->isEnabled());
    QCOMPARE(PositionCounters(form).totalSeconds(), 2);
    QVERIFY(dialog.messages.isEmpty());
}

void TestPlaybackEngine::finishedEntryOpensTheNextOne()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    auto *playList1 = controlOf<PlayListBox>(form, "PlayList1");
    auto *pfname = controlOf<QLineEdit>(form, "pfname");
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    QSignalSpy clicks(playList1, &PlayListBox::listClick);
    playList1->addEntry(m_first);
    playList1->addEntry(m_second);

    playList1->setListIndex(0);
    QCOMPARE(clicks.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, timeout);
    // Selected as a user would select it: its click plays it, once.
    QCOMPARE(playList1->listIndex(), 1);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(pfname->text(), m_second);
    QCOMPARE(engine.url(), m_second);
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), timeout);

    // The second, last entry ends and the list stays where it is.
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, timeout);
    QCOMPARE(engine.status(), QStringLiteral("Stopped"));
    QCOMPARE(engine.url(), m_second);
    QCOMPARE(playList1->listIndex(), 1);
    QCOMPARE(clicks.count(), 2);
    QVERIFY(dialog.messages.isEmpty());
}

void TestPlaybackEngine::listFileStartsAgainFromItsFirstEntry_data()
{
    QTest::addColumn<bool>("stopFirst");
    QTest::addColumn<QByteArray>("restart");
    QTest::newRow("Repeat") << false << QByteArray("cmdRepeat_Click");
    QTest::newRow("Repeat after Stop") << true << QByteArray("cmdRepeat_Click");
    // The engine's own Play, as its control bar and MPRIS give it.
    QTest::newRow("Play after Stop") << true << QByteArray();
}

void TestPlaybackEngine::listFileStartsAgainFromItsFirstEntry()
{
    QFETCH(bool, stopFirst);
    QFETCH(QByteArray, restart);
    // Entries of different lengths tell which one the engine holds.
    const QString longFirst = m_media.wav(QStringLiteral("long-first.wav"), 2.0);
    const QString list = m_media.textFile(
        QStringLiteral("two.m3u"), longFirst + QLatin1Char('\n') + m_first + QLatin1Char('\n'));
    QVERIFY2(!longFirst.isEmpty() && !list.isEmpty(), qPrintable(m_media.lastError()));
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    const auto near = [&engine](double seconds) {
        return qAbs(engine.duration().value_or(-1) - seconds) < 0.2;
    };

    dialog.answerOpen(list);
    QVERIFY(runHandler(form, "cmdPLLoad_Click"));
    QTRY_VERIFY_WITH_TIMEOUT(near(2.0), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(near(1.0), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, timeout);
    QCOMPARE(engine.status(), QStringLiteral("Stopped"));

    if (stopFirst)
        QVERIFY(runHandler(form, "cmdStop_Click"));
    if (restart.isEmpty())
        engine.play();
    else
        QVERIFY(runHandler(form, restart.constData()));
    // The whole list again: its first entry, then its second, then the end.
    QTRY_VERIFY_WITH_TIMEOUT(near(2.0), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(engine.position().value_or(-1) > 0.0, timeout);
    QTRY_VERIFY_WITH_TIMEOUT(near(1.0), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, timeout);
    QVERIFY(dialog.messages.isEmpty());
}

QTEST_MAIN(TestPlaybackEngine)
#include "tst_playback_engine.moc"
