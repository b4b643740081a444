#include "commands/playlist/PlayList.h"
#include "support/FormFixture.h"
#include "widgets/LabelButton.h"
#include "widgets/PlayListBox.h"

#include <QSignalSpy>
#include <QtTest>
#include <stdexcept>

namespace {

// An engine that notes what the window showed at each call, and can be told
// to reject paths the way a real engine rejects a broken one.
class WatchingEngine : public FakeEngine
{
public:
    std::function<QString()> watch;
    QStringList seen;
    QString rejectedPath;

    void setUrl(const QString &url) override
    {
        seen << QStringLiteral("url: ") + watch();
        FakeEngine::setUrl(url);
        if (!rejectedPath.isEmpty() && url == rejectedPath)
            fail(QStringLiteral("the medium could not be opened"));
    }
    void play() override
    {
        seen << QStringLiteral("play: ") + watch();
        FakeEngine::play();
    }
};

// The window built with the watching engine.
struct WatchedForm
{
    WatchingEngine engine;
    ScriptedDialog dialog;
    Form1 form{engine, dialog};

    QLineEdit *edit(const char *name) const { return controlOf<QLineEdit>(form, name); }
    PlayListBox *list() const { return controlOf<PlayListBox>(form, "PlayList1"); }
    QTimer *timer1() const { return controlOf<QTimer>(form, "Timer1"); }
};

PlayListBox *playList1(const FormFixture &f)
{
    return f.get<PlayListBox>("PlayList1");
}

void fill(PlayListBox *list, const QStringList &paths)
{
    for (const QString &path : paths)
        list->addEntry(path);
}

QStringList entries(const PlayListBox *list)
{
    QStringList all;
    for (int i = 0; i < list->listCount(); ++i)
        all << list->list(i);
    return all;
}

void clickLabel(const FormFixture &f, const char *name)
{
    QTest::mouseClick(f.get<LabelButton>(name), Qt::LeftButton);
}

// Puts the window in a known "something was playing" state.
void setTimes(const FormFixture &f)
{
    f.edit("Text1")->setText(QStringLiteral("1 : 5"));
    f.edit("Text2")->setText(QStringLiteral("3 : 0"));
}

const QStringList abc = {QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp4"),
                         QStringLiteral("/m/c.avi")};

} // namespace

class TestPlayList : public QObject
{
    Q_OBJECT
private slots:
    void listOrderSelectionAndClicks();
    void mouseAndKeysActivate();
    void activateStepsInOrder();
    void addAppendsChoiceOrNothing();
    void removeAndNewListLeavePlaybackAlone();
    void nextSteps();
    void previousSteps();
    void failingStepStillEndsWithTimerAndName();
};

void TestPlayList::listOrderSelectionAndClicks()
{
    FormFixture f;
    PlayListBox *list = playList1(f);
    QSignalSpy clicks(list, &PlayListBox::listClick);
    QCOMPARE(list->listIndex(), -1);
    QCOMPARE(list->text(), QString());

    // Append order, no sorting, duplicates kept; reading never selects.
    fill(list, {"/z/zeta.mp3", "/a/alpha.mp3", "/z/zeta.mp3"});
    QCOMPARE(entries(list), QStringList({"/z/zeta.mp3", "/a/alpha.mp3", "/z/zeta.mp3"}));
    QCOMPARE(list->list(3), QString());
    QCOMPARE(list->listIndex(), -1);

    // The click has run by the time the assignment returns, once.
    list->setListIndex(1);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(f.engine.commands(), QStringList({"url=/a/alpha.mp3", "play"}));
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/a/alpha.mp3"));
    QCOMPARE(list->text(), QStringLiteral("/a/alpha.mp3"));

    // The same entry again, no entry, a quiet selection, appending and a
    // bad position raise nothing.
    list->setListIndex(1);
    list->setListIndex(-1);
    QCOMPARE(list->listIndex(), -1);
    selectQuietly(*list, 2);
    QCOMPARE(list->listIndex(), 2);
    QCOMPARE(list->selectedItems().size(), 1);
    list->addEntry(QStringLiteral("/b/beta.mp3"));
    QCOMPARE(list->listIndex(), 2);
    list->setListIndex(4);
    list->setListIndex(-2);
    QCOMPARE(list->listIndex(), 2);
    list->removeEntry(0);
    list->clearEntries();
    QCOMPARE(list->listCount(), 0);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(f.engine.commands().size(), 2);
}

void TestPlayList::mouseAndKeysActivate()
{
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    PlayListBox *list = playList1(f);
    fill(list, abc);
    QSignalSpy clicks(list, &PlayListBox::listClick);
    QWidget *viewport = list->viewport();
    const auto centreOf = [list](int row) {
        return list->visualItemRect(list->item(row)).center();
    };

    QTest::mouseClick(viewport, Qt::LeftButton, {}, centreOf(1));
    QCOMPARE(list->listIndex(), 1);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(f.engine.commands(), QStringList({"url=/m/b.mp4", "play"}));

    // A click on the entry that is selected plays it again.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, centreOf(1));
    QCOMPARE(clicks.size(), 2);
    QCOMPARE(f.engine.commands().size(), 4);
    // Ctrl does not clear the selection of a list box.
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, centreOf(1));
    QCOMPARE(list->listIndex(), 1);
    QCOMPARE(clicks.size(), 3);
    // A double-click plays once, not twice.
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, centreOf(0));
    QCOMPARE(list->listIndex(), 0);
    QCOMPARE(clicks.size(), 4);

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->listIndex(), 1);
    QCOMPARE(clicks.size(), 5);
    QCOMPARE(f.engine.url(), QStringLiteral("/m/b.mp4"));
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(list->listIndex(), 0);
    QCOMPARE(clicks.size(), 6);
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/m/a.mp3"));
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(list->listIndex(), 2);
    QTest::keyClick(list, Qt::Key_PageUp);
    QCOMPARE(list->listIndex(), 0);
    QCOMPARE(clicks.size(), 8);
}

void TestPlayList::activateStepsInOrder()
{
    WatchedForm w;
    w.engine.watch = [&w] {
        return QStringLiteral("timer %1, pfname '%2'")
            .arg(w.timer1()->isActive() ? "on" : "off", w.edit("pfname")->text());
    };
    fill(w.list(), abc);
    w.timer1()->stop();
    w.edit("pfname")->setText(QStringLiteral("/browsed/file.wav"));

    w.list()->setListIndex(2);
    // Timer first, then URL, then play, and only then the name.
    QCOMPARE(w.engine.seen, QStringList({"url: timer on, pfname '/browsed/file.wav'",
                                         "play: timer on, pfname '/browsed/file.wav'"}));
    QCOMPARE(w.engine.commands(), QStringList({"url=/m/c.avi", "play"}));
    QCOMPARE(w.edit("pfname")->text(), QStringLiteral("/m/c.avi"));
    QVERIFY(w.timer1()->isActive());

    // With nothing selected the engine is handed the empty path.
    w.list()->setListIndex(-1);
    w.engine.calls.clear();
    runHandler(w.form, "PlayList1_Click");
    QCOMPARE(w.engine.commands(), QStringList({"url=", "play"}));
    QCOMPARE(w.edit("pfname")->text(), QString());
}

void TestPlayList::addAppendsChoiceOrNothing()
{
    FormFixture f;
    PlayListBox *list = playList1(f);
    fill(list, {"/m/first.mp3"});
    f.edit("pfname")->setText(QStringLiteral("/m/first.mp3"));
    f.dialog.setCancelError(true);

    f.dialog.answerOpen(QStringLiteral("/m/new.mp4"));
    clickLabel(f, "cmdAdd");
    QCOMPARE(f.dialog.openShown.size(), 1);
    QCOMPARE(f.dialog.openShown.at(0).filter, PlayList::addFilter);
    QCOMPARE(f.dialog.openShown.at(0).initialName, QString());
    QVERIFY(!f.dialog.cancelError());
    QCOMPARE(entries(list), QStringList({"/m/first.mp3", "/m/new.mp4"}));
    QCOMPARE(f.dialog.fileName(), QString());
    // Added, not played.
    QCOMPARE(list->listIndex(), -1);
    QVERIFY(f.engine.calls.isEmpty());
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/m/first.mp3"));

    // A cancel returns normally and adds nothing.
    f.dialog.cancelOpen();
    clickLabel(f, "cmdAdd");
    QCOMPARE(f.dialog.openShown.size(), 2);
    QCOMPARE(list->listCount(), 2);
    QVERIFY(f.dialog.messages.isEmpty());

    // The same file twice is two entries; either plays it.
    f.dialog.answerOpen(QStringLiteral("/m/new.mp4"));
    clickLabel(f, "cmdAdd");
    QCOMPARE(entries(list), QStringList({"/m/first.mp3", "/m/new.mp4", "/m/new.mp4"}));
    list->setListIndex(2);
    list->setListIndex(1);
    QCOMPARE(f.engine.commands(),
             QStringList({"url=/m/new.mp4", "play", "url=/m/new.mp4", "play"}));

    // A name another command left behind is shown, and a cancel returns it.
    f.dialog.setFileName(QStringLiteral("/lists/left.wpl"));
    f.dialog.cancelOpen();
    clickLabel(f, "cmdAdd");
    QCOMPARE(f.dialog.openShown.last().initialName, QStringLiteral("/lists/left.wpl"));
    QCOMPARE(list->list(3), QStringLiteral("/lists/left.wpl"));
    QCOMPARE(f.dialog.fileName(), QString());
}

void TestPlayList::removeAndNewListLeavePlaybackAlone()
{
    FormFixture f;
    PlayListBox *list = playList1(f);
    fill(list, abc);

    // Nothing selected: nothing happens.
    clickLabel(f, "cmdRemove");
    QCOMPARE(entries(list), abc);
    QVERIFY(f.dialog.messages.isEmpty());

    list->setListIndex(1);
    f.engine.calls.clear();
    clickLabel(f, "cmdRemove");
    QCOMPARE(entries(list), QStringList({"/m/a.mp3", "/m/c.avi"}));
    QCOMPARE(list->listIndex(), -1);
    // The removed entry goes on playing.
    QVERIFY(f.engine.calls.isEmpty());
    QCOMPARE(f.engine.url(), QStringLiteral("/m/b.mp4"));
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/m/b.mp4"));

    list->setListIndex(1);
    f.engine.calls.clear();
    clickLabel(f, "cmdNewList");
    QCOMPARE(list->listCount(), 0);
    QCOMPARE(list->listIndex(), -1);
    QVERIFY(f.engine.calls.isEmpty());
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/m/c.avi"));
}

void TestPlayList::nextSteps()
{
    FormFixture f;
    PlayListBox *list = playList1(f);
    auto *next = f.get<QPushButton>("cmdNext");

    // Empty list: only the timer and the name change.
    f.timer1()->stop();
    setTimes(f);
    f.edit("pfname")->setText(QStringLiteral("/browsed/x.wav"));
    next->click();
    QVERIFY(f.timer1()->isActive());
    QCOMPARE(f.edit("pfname")->text(), QString());
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("1 : 5"));
    QVERIFY(f.engine.calls.isEmpty());

    // Nothing selected: the first entry plays.
    fill(list, abc);
    next->click();
    QCOMPARE(list->listIndex(), 0);
    QCOMPARE(f.engine.commands(), QStringList({"url=/m/a.mp3", "play"}));
    QCOMPARE(f.edit("Text1")->text(), QString());
    QCOMPARE(f.edit("Text2")->text(), QString());
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/m/a.mp3"));

    // In the middle: the next one, played once.
    setTimes(f);
    f.engine.calls.clear();
    next->click();
    next->click();
    QCOMPARE(list->listIndex(), 2);
    QCOMPARE(f.engine.commands(), QStringList({"url=/m/b.mp4", "play", "url=/m/c.avi", "play"}));
    QCOMPARE(f.edit("Text2")->text(), QString());

    // At the last: nothing new, no wrap-around, but the name is the entry's.
    setTimes(f);
    f.engine.calls.clear();
    f.timer1()->stop();
    f.edit("pfname")->setText(QStringLiteral("/browsed/x.wav"));
    next->click();
    QCOMPARE(list->listIndex(), 2);
    QVERIFY(f.engine.calls.isEmpty());
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("1 : 5"));
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/m/c.avi"));
    QVERIFY(f.timer1()->isActive());
    QVERIFY(f.dialog.messages.isEmpty());
}

void TestPlayList::previousSteps()
{
    FormFixture f;
    PlayListBox *list = playList1(f);
    auto *back = f.get<QPushButton>("cmdBack");

    // Empty list.
    f.timer1()->stop();
    f.edit("pfname")->setText(QStringLiteral("/browsed/x.wav"));
    back->click();
    QVERIFY(f.timer1()->isActive());
    QCOMPARE(f.edit("pfname")->text(), QString());
    QVERIFY(f.engine.calls.isEmpty());

    // Nothing selected in a full list: no wrap-around to the last.
    fill(list, abc);
    setTimes(f);
    f.edit("pfname")->setText(QStringLiteral("/browsed/x.wav"));
    back->click();
    QCOMPARE(list->listIndex(), -1);
    QVERIFY(f.engine.calls.isEmpty());
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("1 : 5"));
    QCOMPARE(f.edit("pfname")->text(), QString());

    // In the middle: the one before, played once.
    list->setListIndex(2);
    f.engine.calls.clear();
    back->click();
    QCOMPARE(list->listIndex(), 1);
    QCOMPARE(f.engine.commands(), QStringList({"url=/m/b.mp4", "play"}));
    QCOMPARE(f.edit("Text1")->text(), QString());
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/m/b.mp4"));

    // At the first: nothing selected, the engine gets the empty path.
    back->click();
    QCOMPARE(list->listIndex(), 0);
    setTimes(f);
    f.engine.calls.clear();
    back->click();
    QCOMPARE(list->listIndex(), -1);
    QCOMPARE(f.engine.commands(), QStringList({"url=", "play"}));
    QCOMPARE(f.edit("Text1")->text(), QString());
    QCOMPARE(f.edit("Text2")->text(), QString());
    QCOMPARE(f.edit("pfname")->text(), QString());
    QCOMPARE(list->listCount(), 3);
}

void TestPlayList::failingStepStillEndsWithTimerAndName()
{
    WatchedForm w;
    w.engine.watch = [] { return QString(); };
    w.engine.rejectedPath = QStringLiteral("/m/b.mp4");
    fill(w.list(), abc);
    w.list()->setListIndex(0);
    w.edit("Text1")->setText(QStringLiteral("0 : 9"));
    w.timer1()->stop();

    // The engine cannot open b: it says so in its status, and Next and
    // Previous go through every step as for any entry.
    controlOf<QPushButton>(w.form, "cmdNext")->click();
    QCOMPARE(w.list()->listIndex(), 1);
    QCOMPARE(w.edit("Text1")->text(), QString());
    QVERIFY(w.timer1()->isActive());
    QCOMPARE(w.edit("pfname")->text(), QStringLiteral("/m/b.mp4"));
    QVERIFY(w.engine.status().startsWith(QLatin1String("Error: ")));
    QVERIFY(w.dialog.messages.isEmpty());

    selectQuietly(*w.list(), 2);
    w.edit("Text1")->setText(QStringLiteral("0 : 9"));
    w.timer1()->stop();
    controlOf<QPushButton>(w.form, "cmdBack")->click();
    QCOMPARE(w.list()->listIndex(), 1);
    QCOMPARE(w.edit("Text1")->text(), QString());
    QVERIFY(w.timer1()->isActive());
    QVERIFY(w.dialog.messages.isEmpty());

    // A click by the user on the broken entry shows no box either.
    selectQuietly(*w.list(), 0);
    w.list()->setListIndex(1);
    QCOMPARE(w.edit("pfname")->text(), QStringLiteral("/m/b.mp4"));
    QVERIFY(w.dialog.messages.isEmpty());
}

QTEST_MAIN(TestPlayList)
#include "tst_playlist.moc"
