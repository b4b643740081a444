#include "commands/browse/OpenCommand.h"
#include "support/FormFixture.h"
#include "widgets/PlayListBox.h"

#include <QtTest>

namespace {

struct OpenFixture : FormFixture
{
    PlayListBox *list() const { return get<PlayListBox>("PlayList1"); }
    QPushButton *repeat() const { return get<QPushButton>("cmdRepeat"); }
    void open() const { get<QPushButton>("cmdOpen")->click(); }

    // A list of several entries, the second one playing, the time showing.
    void playSomething()
    {
        for (const char *path : {"/m/a.mp3", "/m/b.mp4", "/m/c.avi"})
            list()->addEntry(QLatin1String(path));
        list()->setListIndex(1);
        edit("Text1")->setText(QStringLiteral("0 : 42"));
        edit("Text2")->setText(QStringLiteral("3 : 5"));
        repeat()->setEnabled(true);
        engine.calls.clear();
    }
};

QStringList entries(const PlayListBox *list)
{
    QStringList all;
    for (int i = 0; i < list->listCount(); ++i)
        all << list->list(i);
    return all;
}

} // namespace

class TestOpenCommand : public QObject
{
    Q_OBJECT
private slots:
    void choiceReplacesListAndPlays();
    void cancelChangesNothing();
    void leftOverNameIsOpened();
};

void TestOpenCommand::choiceReplacesListAndPlays()
{
    OpenFixture f;
    f.playSomething();
    f.timer1()->stop();
    f.dialog.setCancelError(true);

    f.dialog.answerOpen(QStringLiteral("/media/New Clip.mkv"));
    f.open();
    QCOMPARE(f.dialog.openShown.size(), 1);
    QCOMPARE(f.dialog.openShown.at(0).filter, OpenCommand::mediaFilter);
    QCOMPARE(f.dialog.openShown.at(0).filter.size(), 881);
    QVERIFY(!f.dialog.cancelError());

    QCOMPARE(entries(f.list()), QStringList({"/media/New Clip.mkv"}));
    QCOMPARE(f.list()->listIndex(), 0);
    // Played through the list's click, once.
    QCOMPARE(f.engine.commands(), QStringList({"url=/media/New Clip.mkv", "play"}));
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/media/New Clip.mkv"));
    QVERIFY(!f.repeat()->isEnabled());
    QCOMPARE(f.edit("Text1")->text(), QString());
    QCOMPARE(f.edit("Text2")->text(), QString());
    QVERIFY(f.timer1()->isActive());
    QCOMPARE(f.dialog.fileName(), QString());
    QVERIFY(f.dialog.messages.isEmpty());

    // The same file again refills the list and hands it over again.
    f.dialog.answerOpen(QStringLiteral("/media/New Clip.mkv"));
    f.open();
    QCOMPARE(f.dialog.openShown.at(1).initialName, QString());
    QCOMPARE(entries(f.list()), QStringList({"/media/New Clip.mkv"}));
    QCOMPARE(f.engine.commands().size(), 4);
    QCOMPARE(f.engine.commands().mid(2), QStringList({"url=/media/New Clip.mkv", "play"}));
}

void TestOpenCommand::cancelChangesNothing()
{
    for (const bool timerOn : {true, false}) {
        OpenFixture f;
        f.playSomething();
        f.edit("pfname")->setText(QStringLiteral("/m/b.mp4"));
        if (timerOn)
            f.timer1()->start();
        else
            f.timer1()->stop();

        f.dialog.cancelOpen();
        f.open();
        QCOMPARE(f.dialog.openShown.size(), 1);
        QCOMPARE(f.timer1()->isActive(), timerOn);
        QCOMPARE(entries(f.list()), QStringList({"/m/a.mp3", "/m/b.mp4", "/m/c.avi"}));
        QCOMPARE(f.list()->listIndex(), 1);
        QVERIFY(f.engine.calls.isEmpty());
        QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/m/b.mp4"));
        QVERIFY(f.repeat()->isEnabled());
        QCOMPARE(f.edit("Text1")->text(), QStringLiteral("0 : 42"));
        QCOMPARE(f.edit("Text2")->text(), QStringLiteral("3 : 5"));
        QVERIFY(f.dialog.messages.isEmpty());
    }
}

void TestOpenCommand::leftOverNameIsOpened()
{
    // A name another dialog command left behind is shown in the dialog, and a
    // cancel hands it back as if it had been chosen.
    OpenFixture f;
    f.dialog.setFileName(QStringLiteral("/lists/PlayList1.wpl"));
    f.dialog.cancelOpen();
    f.open();
    QCOMPARE(f.dialog.openShown.at(0).initialName, QStringLiteral("/lists/PlayList1.wpl"));
    QCOMPARE(entries(f.list()), QStringList({"/lists/PlayList1.wpl"}));
    QCOMPARE(f.engine.commands(), QStringList({"url=/lists/PlayList1.wpl", "play"}));
    QCOMPARE(f.dialog.fileName(), QString());
}

QTEST_MAIN(TestOpenCommand)
#include "tst_opencommand.moc"
