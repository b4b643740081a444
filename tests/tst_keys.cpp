// The window's keys on the real window (offscreen) with the engine and
// dialog doubles: which command a key reaches with each kind of control
// focused, what the engine keys do to the engine, and the key list.
#include "app/ControlFactory.h"
#include "commands/KeyTable.h"
#include "support/FormFixture.h"
#include "support/TestFiles.h"
#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/KeyListWindow.h"
#include "widgets/PlayListBox.h"

#include <QAccessible>
#include <QApplication>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Records the name of every action that runs, handler or key command.
struct Ran
{
    QStringList names;
    explicit Ran(const FormFixture &f)
    {
        for (QAction *action : f.form.findChildren<QAction *>())
            QObject::connect(action, &QAction::triggered,
                             [this, action] { names << action->objectName(); });
    }
    QStringList sorted() const
    {
        QStringList all = names;
        all.sort();
        return all;
    }
};

// The handlers that no user starts.
// The desktop's Play resumes only; a key toggles, as media keys send Play for both.
const QStringList notByUsers = {QStringLiteral("Timer1_Timer"),
                                QStringLiteral("MPlayer1_EndOfStream"), QStringLiteral("play")};

} // namespace

class TestKeys : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyCommandHasAKey();
    void keysAreReadableAndUnique();
    void keyReachesItsCommand_data();
    void keyReachesItsCommand();
    void engineKeys_data();
    void engineKeys();
    void repeatKeyFollowsTheButton();
    void keyListShowsTheTable();
    void screenReaderNames_data();
    void screenReaderNames();
    void spokenHeadings_data();
    void spokenHeadings();

private:
    QTemporaryDir m_media;
};

void TestKeys::initTestCase()
{
    QVERIFY(m_media.isValid());
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
        QVERIFY(writeBytes(m_media.filePath(QLatin1String(name)), "x"));
    QVERIFY(QDir(m_media.path()).mkpath(QStringLiteral("sub/deeper")));
}

void TestKeys::everyCommandHasAKey()
{
    FormFixture f;
    QSet<QString> withKeys;
    for (const KeyBinding &row : keyTable()) {
        if (!row.command)
            continue;
        QVERIFY2(f.form.commands().action(QLatin1String(row.command)), row.command);
        withKeys << QLatin1String(row.command);
    }
    // M runs Mute or Un Mute, as the volume stands.
    QVERIFY(withKeys.contains(QStringLiteral("muteOrUnMute")));
    withKeys << QStringLiteral("cmdMute_Click") << QStringLiteral("cmdUnMute_Click");
    int userCommands = 0;
    for (QAction *action : f.form.findChildren<QAction *>()) {
        if (notByUsers.contains(action->objectName()))
            continue;
        ++userCommands;
        QVERIFY2(withKeys.contains(action->objectName()), qPrintable(action->objectName()));
    }
    // 31 handlers of the window, the engine's two full-screen commands and
    // the 9 commands only keys start.
    QCOMPARE(userCommands, 42);
}

void TestKeys::keysAreReadableAndUnique()
{
    // A misspelt key name parses as nothing or as an unknown key, and two
    // window-wide rows on one key would make Qt trigger neither.
    QHash<QKeySequence, QString> windowWide;
    for (const KeyBinding &row : keyTable()) {
        const QList<QKeySequence> keys = row.sequences();
        QCOMPARE(keys.size(), QString::fromLatin1(row.keys).count(QLatin1String("; ")) + 1);
        for (const QKeySequence &key : keys) {
            QVERIFY2(key.count() == 1 && key[0].key() != Qt::Key_unknown, row.keys);
            QVERIFY2(!row.keyText().isEmpty(), row.keys);
            if (row.focus || !row.command)
                continue;
            QVERIFY2(!windowWide.contains(key),
                     qPrintable(key.toString() + QLatin1String(" ") + windowWide.value(key)));
            windowWide.insert(key, QLatin1String(row.command));
        }
    }
}

void TestKeys::keyReachesItsCommand_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("ran");

    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    const int keypad = Qt::KeypadModifier;
    const auto row = [](const char *focus, const char *what, int key, int modifiers,
                        QStringList ran) {
        QTest::addRow("%s %s", focus, what)
            << QString::fromLatin1(focus) << key << modifiers << ran;
    };
    // A button: every window key works, Space pauses rather than pressing it.
    row("cmdStop", "Space", Qt::Key_Space, none, {"playPause"});
    row("cmdStop", "Left", Qt::Key_Left, none, {"seekBackward"});
    row("cmdStop", "Ctrl+Right", Qt::Key_Right, ctrl, {"seekForwardLong"});
    row("cmdStop", "keypad +", Qt::Key_Plus, keypad, {"volumeUp"});
    row("cmdStop", "keypad -", Qt::Key_Minus, keypad, {"volumeDown"});
    row("cmdStop", "M", Qt::Key_M, none, {"cmdMute_Click", "muteOrUnMute"});
    row("cmdStop", "N", Qt::Key_N, none, {"cmdNext_Click", "PlayList1_Click"});
    row("cmdStop", "Ctrl+1", Qt::Key_1, ctrl, {"cmdFullScreen_Click"});
    row("cmdStop", "Del", Qt::Key_Delete, none, {});
    row("cmdPause", "Space", Qt::Key_Space, none, {"playPause"});
    row("cmdPause", "Return", Qt::Key_Return, none, {"cmdPause_Click"});
    row("cmdNext", "Return", Qt::Key_Return, none, {"cmdNext_Click", "PlayList1_Click"});
    row("cmdNext", "keypad Enter", Qt::Key_Enter, keypad, {"cmdNext_Click", "PlayList1_Click"});
    // The play list keeps its moves, Enter and the letters it finds entries by.
    row("PlayList1", "Down", Qt::Key_Down, none, {"PlayList1_Click"});
    row("PlayList1", "End", Qt::Key_End, none, {"PlayList1_Click"});
    row("PlayList1", "Return", Qt::Key_Return, none, {"PlayList1_Click"});
    row("PlayList1", "Left", Qt::Key_Left, none, {});
    row("PlayList1", "N", Qt::Key_N, none, {});
    row("PlayList1", "Del", Qt::Key_Delete, none, {"cmdRemove_Click"});
    row("PlayList1", "Space", Qt::Key_Space, none, {"playPause"});
    row("PlayList1", "Ctrl+Return", Qt::Key_Return, ctrl, {"cmdPlay_Click"});
    // The file list plays what its keys select; the folder list opens folders.
    row("FileList", "Down", Qt::Key_Down, none, {"FileList_Click"});
    row("FileList", "Return", Qt::Key_Return, none, {"FileList_Click"});
    row("FileList", "Right", Qt::Key_Right, none, {});
    row("FileList", "S", Qt::Key_S, none, {});
    row("Folders", "Backspace", Qt::Key_Backspace, none, {"Folders_Change"});
    row("Folders", "Return", Qt::Key_Return, none, {"Folders_Change"});
    row("Folders", "PgDown", Qt::Key_PageDown, none, {});
    row("Drives", "Down", Qt::Key_Down, none, {"Drives_Change", "Folders_Change"});
    row("Drives", "M", Qt::Key_M, none, {});
    row("Drives", "Ctrl+Left", Qt::Key_Left, ctrl, {});
    // Text boxes keep their typing and cursor keys; Up and Down they do not use.
    row("pfname", "Space", Qt::Key_Space, none, {});
    row("pfname", "M", Qt::Key_M, none, {});
    row("pfname", "Left", Qt::Key_Left, none, {});
    row("pfname", "Ctrl+Left", Qt::Key_Left, ctrl, {});
    row("pfname", "Home", Qt::Key_Home, none, {});
    row("pfname", "Del", Qt::Key_Delete, none, {});
    row("pfname", "Up", Qt::Key_Up, none, {"volumeUp"});
    row("pfname", "Ctrl+H", Qt::Key_H, ctrl, {"cmdResize_Click"});
    row("cmbFileType", "S", Qt::Key_S, none, {});
    row("cmbFileType", "Down", Qt::Key_Down, none, {});
    row("cmbFileType", "Ctrl+0", Qt::Key_0, ctrl, {"cmdOriginal_Click"});
    // A slider in the engine's area keeps its keys.
    row("slider", "Right", Qt::Key_Right, none, {});
    row("slider", "Home", Qt::Key_Home, none, {});
    row("slider", "Space", Qt::Key_Space, none, {"playPause"});
}

void TestKeys::keyReachesItsCommand()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, ran);

    FormFixture f;
    auto *slider = new QSlider(Qt::Horizontal, f.get("MPlayer1"));
    slider->setObjectName(QStringLiteral("slider"));
    slider->setRange(0, 100);
    slider->setValue(50);
    auto *list = f.get<PlayListBox>("PlayList1");
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
        list->addEntry(m_media.filePath(QLatin1String(name)));
    selectQuietly(*list, 1);
    f.get<FolderList>("Folders")->setPath(m_media.filePath(QStringLiteral("sub")));
    auto *folders = f.get<FolderList>("Folders");
    folders->setCurrentRow(folders->count() - 1); // "deeper", for Enter to open
    auto *drives = f.get<DriveList>("Drives");
    drives->setVolumes(
        {{m_media.path(), QStringLiteral("one")}, {QDir::rootPath(), QStringLiteral("two")}});
    {
        const QSignalBlocker quiet(drives);
        drives->setCurrentIndex(0);
    }
    f.form.show();
    f.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    QWidget *control = f.get(focus.toLatin1().constData());
    control->setFocus();
    QCOMPARE(QApplication::focusWidget(), control);
    // The file list's current entry, so Enter has one to play again.
    if (focus == QLatin1String("FileList")) {
        f.get<FileListBox>("FileList")->setPath(m_media.path());
        QSignalBlocker quiet(control);
        f.get<FileListBox>("FileList")->setListIndex(0);
    }

    Ran record(f);
    QTest::keyClick(control, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QStringList wanted = ran;
    wanted.sort();
    QCOMPARE(record.sorted(), wanted);
    if (focus == QLatin1String("slider") && ran.isEmpty())
        QVERIFY(slider->value() != 50);
}

void TestKeys::engineKeys_data()
{
    QTest::addColumn<int>("volume");
    QTest::addColumn<double>("position");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("volumeAfter");
    QTest::addColumn<double>("positionAfter");

    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    // The medium is 100 s long.
    QTest::newRow("up") << 50 << 10.0 << int(Qt::Key_Up) << none << QStringList{"volume=55"} << 55
                        << 10.0;
    QTest::newRow("up near the top stops at 100")
        << 98 << 10.0 << int(Qt::Key_Up) << none << QStringList{"volume=100"} << 100 << 10.0;
    QTest::newRow("up at 100 changes nothing")
        << 100 << 10.0 << int(Qt::Key_Up) << none << QStringList{} << 100 << 10.0;
    QTest::newRow("down near the bottom stops at 0")
        << 3 << 10.0 << int(Qt::Key_Down) << none << QStringList{"volume=0"} << 0 << 10.0;
    QTest::newRow("M with sound mutes")
        << 5 << 10.0 << int(Qt::Key_M) << none << QStringList{"volume=0"} << 0 << 10.0;
    QTest::newRow("M at 0 is Un Mute: full volume")
        << 0 << 10.0 << int(Qt::Key_M) << none << QStringList{"volume=100"} << 100 << 10.0;
    QTest::newRow("left") << 50 << 10.0 << int(Qt::Key_Left) << none << QStringList{"seekBy=-5"}
                          << 50 << 5.0;
    QTest::newRow("left near the start stops at 0")
        << 50 << 2.0 << int(Qt::Key_Left) << none << QStringList{"seekBy=-5"} << 50 << 0.0;
    QTest::newRow("ctrl+right") << 50 << 10.0 << int(Qt::Key_Right) << ctrl
                                << QStringList{"seekBy=60"} << 50 << 70.0;
    QTest::newRow("ctrl+right near the end stops at it")
        << 50 << 70.0 << int(Qt::Key_Right) << ctrl << QStringList{"seekBy=60"} << 50 << 100.0;
    QTest::newRow("space pauses") << 50 << 10.0 << int(Qt::Key_Space) << none
                                  << QStringList{"playPause"} << 50 << 10.0;
}

void TestKeys::engineKeys()
{
    QFETCH(int, volume);
    QFETCH(double, position);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, calls);
    QFETCH(int, volumeAfter);
    QFETCH(double, positionAfter);

    FormFixture f;
    f.engine.setUrl(QStringLiteral("/m/a.mp3"));
    f.engine.setVolume(volume);
    f.engine.scriptedDuration = 100.0;
    f.engine.scriptedPosition = position;
    f.engine.calls.clear();
    f.form.show();
    f.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    f.get("cmdPlay")->setFocus();
    QTest::keyClick(f.get("cmdPlay"), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.engine.commands(), calls);
    QCOMPARE(f.engine.volume(), volumeAfter);
    QCOMPARE(f.engine.position().value_or(-1), positionAfter);
}

void TestKeys::repeatKeyFollowsTheButton()
{
    FormFixture f;
    f.form.show();
    f.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    f.get("cmdStop")->setFocus();
    auto *repeat = f.get<QPushButton>("cmdRepeat");
    QTest::keyClick(f.get("cmdStop"), Qt::Key_R);
    QVERIFY(!repeat->isEnabled()); // Repeat disables itself
    f.engine.calls.clear();
    QTest::keyClick(f.get("cmdStop"), Qt::Key_R);
    QCOMPARE(f.engine.commands(), QStringList());
    f.engine.raiseEndOfStream(); // enables it again
    f.engine.calls.clear();
    QTest::keyClick(f.get("cmdStop"), Qt::Key_R);
    QCOMPARE(f.engine.commands(), QStringList{QStringLiteral("play")});
}

void TestKeys::keyListShowsTheTable()
{
    FormFixture f;
    f.form.show();
    f.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    f.get("cmdStop")->setFocus();
    QTest::keyClick(f.get("cmdStop"), Qt::Key_F1);
    auto *list = f.form.findChild<KeyListWindow *>();
    QVERIFY(list);
    QTRY_VERIFY(list->isVisible());
    const QList<QStringList> rows = list->rows();
    QCOMPARE(rows.size(), int(keyTable().size()));
    QVERIFY(rows.contains(QStringList{"Ctrl+O", "Open a file", ""}));
    QVERIFY(rows.contains(QStringList{"Del", "Remove the selected entry", "in the play list"}));
    QVERIFY(rows.contains(QStringList{"Up, Keypad +", "Volume up by 5", ""}));
    // Esc closes it; "?" opens it again, a new one.
    QTest::keyClick(list, Qt::Key_Escape);
    QTRY_VERIFY(!f.form.findChild<KeyListWindow *>());
    f.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    QTest::keyClick(f.get("cmdStop"), Qt::Key_Question, Qt::ShiftModifier);
    QTRY_VERIFY(f.form.findChild<KeyListWindow *>());
}

void TestKeys::screenReaderNames_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("handler");

    const int button = QAccessible::Button;
    const auto row = [](const char *control, const char *name, int role, const char *handler) {
        QTest::newRow(control) << QString::fromLatin1(control) << QString::fromUtf8(name) << role
                               << QString::fromLatin1(handler);
    };
    row("cmdAdd", "Add", button, "cmdAdd_Click");
    row("cmdPLLoad", "Click To Load Play List File Name (*.wpl)=", button, "cmdPLLoad_Click");
    row("cmdMinimize", "Minimize", button, "cmdMinimize_Click");
    row("cmdResize", "Compact View", button, "cmdResize_Click");
    row("cmdChangeBackground", "Back Coluor Change", button, "cmdChangeBackground_Click");
    row("cmdUnMute", "Un Mute", button, "cmdUnMute_Click");
    row("cmdPlay", "Play", button, "cmdPlay_Click");
    row("cmdRev", "Fast Reverse", button, "");
    row("cmdBack", "Previous", button, "");
    row("cmdSmallScreen", "Small", button, "");
    row("Text1", "Current Time:", QAccessible::EditableText, "");
    row("Text4", "Status=", QAccessible::EditableText, "");
    row("PlayList1", "PLAY LIST", QAccessible::List, "");
    row("FileList", "File List", QAccessible::List, "");
    row("Drives", "", QAccessible::ComboBox, "");
    row("lblStatus", "Status=", QAccessible::StaticText, "");
}

void TestKeys::screenReaderNames()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    QFETCH(QString, handler);

    FormFixture f;
    f.form.show();
    QAccessibleInterface *spoken =
        QAccessible::queryAccessibleInterface(f.get(control.toLatin1().constData()));
    QVERIFY(spoken);
    QCOMPARE(int(spoken->role()), role);
    if (role == QAccessible::ComboBox) {
        // On Linux a drop-down list is named by its text; its label is a relation.
        const auto labels = spoken->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->text(QAccessible::Name), QStringLiteral("Drive"));
        return;
    }
    QCOMPARE(spoken->text(QAccessible::Name), name);
    if (handler.isEmpty())
        return;
    // Pressing it through the screen reader runs its command once.
    QAccessibleActionInterface *actions = spoken->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    f.dialog.cancelOpen();
    f.dialog.cancelColor();
    Ran record(f);
    actions->doAction(QAccessibleActionInterface::pressAction());
    // Not inside the reader's call, which a modal dialog would hold.
    QVERIFY(record.names.isEmpty());
    QTRY_COMPARE(record.names, QStringList{handler});
}

void TestKeys::spokenHeadings_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("rules and spaced letters") << "==== P L A Y    L I S T===="
                                              << "PLAY LIST";
    QTest::newRow("arrows") << "<<==File List==>>"
                            << "File List";
    QTest::newRow("one '=' is part of it") << "Status="
                                           << "Status=";
    QTest::newRow("colon kept") << "Total Time :"
                                << "Total Time :";
    QTest::newRow("plain") << "Drive"
                           << "Drive";
}

void TestKeys::spokenHeadings()
{
    QFETCH(QString, caption);
    QFETCH(QString, spoken);
    QCOMPARE(ControlFactory::spokenHeading(caption), spoken);
}

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
