// Thousands of random user actions on the window (engine and dialog
// doubles), checking after each one that the play list's selection is
// within the list and that the list changed only as the action may change
// it. The seed is printed; CORVEL_RANDOM_SEED replays a run, and
// CORVEL_RANDOM_STEPS makes it longer.
#include "commands/playback/PositionDisplay.h"
#include "core/PlayListText.h"
#include "support/FormFixture.h"
#include "support/TestFiles.h"
#include "widgets/FileListBox.h"
#include "widgets/LabelButton.h"
#include "widgets/PictureButton.h"
#include "widgets/PlayListBox.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

constexpr int defaultSteps = 20000;

QStringList entriesOf(const PlayListBox &list)
{
    QStringList all;
    all.reserve(list.listCount());
    for (int i = 0; i < list.listCount(); ++i)
        all << list.list(i);
    return all;
}

quint32 seedFromEnvironment()
{
    bool ok = false;
    const quint32 given = qEnvironmentVariable("CORVEL_RANDOM_SEED").toUInt(&ok);
    return ok ? given : QRandomGenerator::global()->generate();
}

} // namespace

class TestRandomForm : public QObject
{
    Q_OBJECT
private slots:
    void randomActionsKeepTheListConsistent();
};

void TestRandomForm::randomActionsKeepTheListConsistent()
{
    const quint32 seed = seedFromEnvironment();
    const int steps = qMax(defaultSteps, qEnvironmentVariableIntValue("CORVEL_RANDOM_STEPS"));
    qInfo("seed %u (replay with CORVEL_RANDOM_SEED=%u), %d steps", seed, seed, steps);
    QRandomGenerator random(seed);

    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    auto restore = qScopeGuard([&] { QDir::setCurrent(before); });
    QVERIFY(QDir(work.path()).mkpath(QStringLiteral("media")));
    QVERIFY(QDir(work.path()).mkpath(QStringLiteral("folder.txt")));
    for (const char *name : {"a.mp3", "b c.mp4", "d,e.wav", "Привет.wmv"})
        QVERIFY(writeBytes(work.filePath(QStringLiteral("media/") + QLatin1String(name)), "x"));

    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    auto *list = f.get<PlayListBox>("PlayList1");
    auto *fileList = f.get<FileListBox>("FileList");
    fileList->setPath(work.filePath(QStringLiteral("media")));
    QCOMPARE(fileList->listCount(), 4);

    // What the Open dialog may answer: media (some missing, some oddly
    // named), saved lists, things that are no list at all, or a cancel.
    const QStringList media = {work.filePath(QStringLiteral("media/a.mp3")),
                               work.filePath(QStringLiteral("media/b c.mp4")),
                               QStringLiteral("/nowhere/missing.mp4"),
                               QStringLiteral("/m/say \"hi\", you.mp3"),
                               QStringLiteral("/m/Привет & <мир>.wav"),
                               QStringLiteral("relative.wav")};
    const QStringList lists = {
        work.filePath(QStringLiteral("PlayList1.txt")), work.filePath(QStringLiteral("other.txt")),
        work.filePath(QStringLiteral("never-saved.txt")),
        work.filePath(QStringLiteral("folder.txt")), work.filePath(QStringLiteral("media/a.mp3"))};
    const auto pick = [&random](const QStringList &from) {
        return from.at(int(random.bounded(quint32(from.size()))));
    };
    // An answer for the next Open dialog; empty for a cancel.
    QString answer;
    const auto answerFrom = [&](const QStringList &from) {
        if (random.bounded(5) == 0) {
            answer.clear();
            f.dialog.cancelOpen();
        } else {
            answer = pick(from);
            f.dialog.answerOpen(answer);
        }
    };

    // Only what a user can reach: Full mode hides most controls, and a
    // disabled one takes no click.
    const auto reachable = [&f](const char *name) {
        const QWidget *control = controlOf(f.form, name);
        return control->isVisible() && control->isEnabled();
    };
    const auto click = [&f, &reachable](const char *name) {
        if (!reachable(name))
            return;
        QWidget *control = controlOf(f.form, name);
        if (auto *button = qobject_cast<QPushButton *>(control))
            button->click();
        else
            QTest::mouseClick(control, Qt::LeftButton);
    };
    // A dialog command: an answer is queued only when the click can happen.
    bool dialogExpected = false;
    const auto withDialog = [&](const char *name, const QStringList &from) {
        if (!reachable(name))
            return;
        answerFrom(from);
        dialogExpected = true;
        click(name);
    };

    // How each action may change the list, given the list before it.
    enum class Change
    {
        None,
        Add,
        Remove,
        Clear,
        Open,
        Load
    };
    struct Action
    {
        const char *name;
        Change change;
        std::function<void()> run;
    };
    const auto button = [&](const char *name, Change change = Change::None) {
        return Action{name, change, [&click, name] { click(name); }};
    };
    const QList<Action> actions = {
        {"cmdAdd", Change::Add, [&] { withDialog("cmdAdd", media); }},
        button("cmdRemove", Change::Remove),
        button("cmdNewList", Change::Clear),
        button("cmdNext"),
        button("cmdBack"),
        {"cmdOpen", Change::Open, [&] { withDialog("cmdOpen", media); }},
        {"cmdSaveList", Change::None, [&] { withDialog("cmdSaveList", lists); }},
        {"cmdLoadList", Change::Load, [&] { withDialog("cmdLoadList", lists); }},
        {"cmdPLLoad", Change::None, [&] { withDialog("cmdPLLoad", lists + media); }},
        button("cmdGenerate"),
        button("cmdPlsi"),
        button("cmdPlay"),
        button("cmdPause"),
        button("cmdStop"),
        button("cmdFast"),
        button("cmdRev"),
        button("cmdMute"),
        button("cmdUnMute"),
        button("cmdRepeat"),
        button("cmdFullScreen"),
        button("cmdMedium"),
        button("cmdSmallScreen"),
        button("cmdOriginal"),
        button("cmdResize"),
        {"cmdChangeBackground", Change::None,
         [&] {
             if (!reachable("cmdChangeBackground"))
                 return;
             if (random.bounded(3) == 0)
                 f.dialog.cancelColor();
             else
                 f.dialog.answerColor(QColor::fromRgb(random.generate() & 0xFFFFFF));
             click("cmdChangeBackground");
         }},
        {"PlayList1 click", Change::None,
         [&] {
             if (list->listCount() == 0 || !list->isVisible())
                 return;
             QListWidgetItem *item = list->item(int(random.bounded(list->listCount())));
             list->scrollToItem(item);
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                               list->visualItemRect(item).center());
         }},
        {"PlayList1 arrow key", Change::None,
         [&] {
             if (list->isVisible())
                 QTest::keyClick(list, random.bounded(2) ? Qt::Key_Down : Qt::Key_Up);
         }},
        {"FileList click", Change::None,
         [&] {
             if (fileList->isVisible())
                 fileList->setListIndex(int(random.bounded(fileList->listCount())));
         }},
        {"Timer1 tick", Change::None,
         [&] {
             if (f.timer1()->isActive())
                 f.run("Timer1_Timer");
         }},
        {"EndOfStream", Change::None,
         [&] {
             if (!f.engine.url().isEmpty())
                 f.engine.raiseEndOfStream();
         }},
    };
    // Exit and Minimise end or hide the window a user would go on with.

    QStringList recent;
    int unreached = 0, listChanges = 0, longest = 0;
    for (int step = 0; step < steps; ++step) {
        // Timer ticks and lengths as often as everything else together.
        const bool tick = random.bounded(2) == 0;
        const Action &action = tick ? actions.at(actions.size() - 2 + int(random.bounded(2)))
                                    : actions.at(int(random.bounded(quint32(actions.size() - 2))));
        f.engine.scriptedDuration =
            random.bounded(4) == 0 ? std::nullopt : std::optional<double>(random.bounded(5.0));

        const QStringList was = entriesOf(*list);
        const int selectedWas = list->listIndex();
        const int shownWas = int(f.dialog.openShown.size());
        answer.clear();
        dialogExpected = false;
        // A command whose control cannot be clicked now changes nothing.
        const bool reached = !controlOf(f.form, action.name) || reachable(action.name);
        action.run();
        const QStringList now = entriesOf(*list);
        const int selected = list->listIndex();
        unreached += reached ? 0 : 1;
        listChanges += now != was ? 1 : 0;
        longest = qMax(longest, int(now.size()));

        recent << QStringLiteral("%1: %2%3")
                      .arg(step)
                      .arg(QLatin1String(action.name),
                           answer.isEmpty() ? QString() : QStringLiteral(" ") + answer);
        if (recent.size() > 12)
            recent.removeFirst();
        const QString where =
            QStringLiteral("seed %1, after\n  %2\nlist %3 selected %4")
                .arg(seed)
                .arg(recent.join(QLatin1String("\n  ")), now.join(QLatin1String(" | ")))
                .arg(selected);

        QVERIFY2(selected >= -1 && selected < now.size(), qPrintable(where));
        QVERIFY2(list->selectedItems().size() == (selected >= 0 ? 1 : 0), qPrintable(where));
        QVERIFY2(list->text() == (selected >= 0 ? now.at(selected) : QString()), qPrintable(where));

        QStringList allowed{was};
        switch (reached ? action.change : Change::None) {
        case Change::None:
            break;
        case Change::Add:
            if (!answer.isEmpty())
                allowed = QStringList{was} << answer;
            break;
        case Change::Remove:
            if (selectedWas >= 0)
                allowed.removeAt(selectedWas);
            break;
        case Change::Clear:
            allowed.clear();
            break;
        case Change::Open:
            if (!answer.isEmpty())
                allowed = QStringList{answer};
            break;
        case Change::Load:
            // Anything but a file leaves the list as it was.
            if (!answer.isEmpty() && QFileInfo(answer).isFile())
                allowed = PlayListText::read(readBytes(answer));
            break;
        }
        QVERIFY2(now == allowed, qPrintable(where + QStringLiteral("\nexpected ") +
                                            allowed.join(QLatin1String(" | "))));

        // Every dialog shown was one the action meant to show.
        QVERIFY2(f.dialog.openShown.size() == shownWas + (dialogExpected ? 1 : 0),
                 qPrintable(where));
        QVERIFY2(!f.dialog.messages.join(u'\n').contains(QLatin1String("no answer queued")),
                 qPrintable(where));
        QVERIFY2(!f.dialog.messages.join(u'\n').contains(QLatin1String("unexpected")),
                 qPrintable(where));
        // Keep the record of messages short; only new ones matter.
        if (f.dialog.messages.size() > 50)
            f.dialog.messages.clear();
    }
    qInfo("%d steps: %d on a control out of reach, %d changed the list, longest list %d", steps,
          unreached, listChanges, longest);
    // The run went through the list's commands, not only around them.
    QVERIFY(listChanges > steps / 100);
}

QTEST_MAIN(TestRandomForm)
#include "tst_randomform.moc"
