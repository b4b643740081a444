// Every row of the key table on the real window on a real X server: the keys
// are typed through the server (xdotool's XTEST), so they pass the keyboard
// map, Qt's X key translation and the window's focus as a user's keys do.
#include "commands/KeyTable.h"
#include "support/FormFixture.h"
#include "support/TestFiles.h"
#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/PlayListBox.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The X key name of a Qt key, as xdotool takes it; empty where X has none.
QString xKeyName(Qt::Key key)
{
    static const QHash<int, const char *> named = {
        {Qt::Key_Space, "space"},
        {Qt::Key_Left, "Left"},
        {Qt::Key_Right, "Right"},
        {Qt::Key_Up, "Up"},
        {Qt::Key_Down, "Down"},
        {Qt::Key_Home, "Home"},
        {Qt::Key_End, "End"},
        {Qt::Key_PageUp, "Prior"},
        {Qt::Key_PageDown, "Next"},
        {Qt::Key_Return, "Return"},
        {Qt::Key_Enter, "KP_Enter"},
        {Qt::Key_Insert, "Insert"},
        {Qt::Key_Delete, "Delete"},
        {Qt::Key_Backspace, "BackSpace"},
        {Qt::Key_Tab, "Tab"},
        {Qt::Key_Backtab, "Tab"},
        {Qt::Key_Pause, "Pause"},
        {Qt::Key_F1, "F1"},
        {Qt::Key_F11, "F11"},
        {Qt::Key_Escape, "Escape"},
        {Qt::Key_BracketLeft, "bracketleft"},
        {Qt::Key_BracketRight, "bracketright"},
        {Qt::Key_Question, "question"},
        {Qt::Key_MediaPlay, "XF86AudioPlay"},
        {Qt::Key_MediaPause, "XF86AudioPause"},
        {Qt::Key_MediaStop, "XF86AudioStop"},
        {Qt::Key_MediaNext, "XF86AudioNext"},
        {Qt::Key_MediaPrevious, "XF86AudioPrev"},
    };
    if (named.contains(key))
        return QLatin1String(named.value(key));
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return QChar(key).toLower();
    return QString();
}

// The whole chord for xdotool ("ctrl+shift+o", "KP_Add"); empty where X has
// no key for it.
QString xChord(const QKeyCombination &combination)
{
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    QString key = xKeyName(combination.key());
    if (modifiers & Qt::KeypadModifier) {
        if (combination.key() == Qt::Key_Plus)
            key = QStringLiteral("KP_Add");
        else if (combination.key() == Qt::Key_Minus)
            key = QStringLiteral("KP_Subtract");
        else
            return QString();
    }
    if (key.isEmpty())
        return QString();
    QStringList chord;
    if (modifiers & Qt::ControlModifier)
        chord << QStringLiteral("ctrl");
    if ((modifiers & Qt::ShiftModifier) || combination.key() == Qt::Key_Backtab)
        chord << QStringLiteral("shift");
    return (chord << key).join(QLatin1Char('+'));
}

} // namespace

class TestX11Keys : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyKeyRowRunsItsCommand_data();
    void everyKeyRowRunsItsCommand();

private:
    // Types one chord through the X server, as a keyboard would.
    bool type(const QString &chord);
    // Gives the window's lists something to move through, and the dialog
    // double its answers.
    void fill(FormFixture &f) const;

    QTemporaryDir m_media;
    QString m_xdotool;
};

void TestX11Keys::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    QVERIFY2(!m_xdotool.isEmpty(), "xdotool is needed to type on the X server");
    QVERIFY(m_media.isValid());
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
        QVERIFY(writeBytes(m_media.filePath(QLatin1String(name)), "x"));
    QVERIFY(QDir(m_media.path()).mkpath(QStringLiteral("sub/deeper")));
}

bool TestX11Keys::type(const QString &chord)
{
    // Without --window xdotool uses XTEST, so the server treats the key as
    // the keyboard's and sends it to the window that has the focus.
    return QProcess::execute(m_xdotool, {QStringLiteral("key"), chord}) == 0;
}

void TestX11Keys::everyKeyRowRunsItsCommand_data()
{
    QTest::addColumn<int>("row");
    const std::vector<KeyBinding> &table = keyTable();
    for (int i = 0; i < int(table.size()); ++i)
        QTest::addRow("%s: %s", table[i].keys, table[i].what) << i;
}

void TestX11Keys::fill(FormFixture &f) const
{
    for (int i = 0; i < 4; ++i) {
        f.dialog.cancelOpen();
        f.dialog.cancelColor();
    }
    // The folder list first: opening a folder lists its files.
    auto *folders = f.get<FolderList>("Folders");
    folders->setPath(m_media.filePath(QStringLiteral("sub")));
    folders->setCurrentRow(folders->count() - 1); // "deeper", for Enter to open
    auto *drives = f.get<DriveList>("Drives");
    drives->setVolumes({{m_media.path(), QStringLiteral("one")},
                        {m_media.filePath(QStringLiteral("sub")), QStringLiteral("two")},
                        {QDir::rootPath(), QStringLiteral("three")}});
    {
        const QSignalBlocker quiet(drives);
        drives->setCurrentIndex(1);
    }
    // The lists in the middle, so every move key has somewhere to go.
    auto *list = f.get<PlayListBox>("PlayList1");
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
        list->addEntry(m_media.filePath(QLatin1String(name)));
    selectQuietly(*list, 1);
    auto *files = f.get<FileListBox>("FileList");
    files->setPath(m_media.path());
    const QSignalBlocker quiet(files);
    files->setListIndex(1);
}

void TestX11Keys::everyKeyRowRunsItsCommand()
{
    QFETCH(int, row);
    const KeyBinding &binding = keyTable()[row];

    // Where the row needs no control, a plain button has the focus: window
    // keys must work past it. "On a button" rows press this one.
    const char *focusName = binding.focus ? binding.focus : "cmdStop";
    const bool onAButton = !binding.command && binding.where == QLatin1String("on a button");
    const QString command =
        QLatin1String(binding.command ? binding.command : (onAButton ? "cmdStop_Click" : ""));

    int typed = 0;
    for (const QKeySequence &sequence : binding.sequences()) {
        const QString chord = xChord(sequence[0]);
        if (chord.isEmpty()) {
            // Qt names keys that no X keyboard map sends (the separate media
            // play/pause key); the X media keys of the row cover it.
            qInfo("No X key for %s", qPrintable(sequence.toString()));
            continue;
        }
        // Each key on a window of its own, so one key's work (a folder
        // opened, a window minimised) leaves the next nothing to undo.
        QStringList ran;
        FormFixture f;
        fill(f);
        for (QAction *action : f.form.findChildren<QAction *>())
            connect(action, &QAction::triggered, this,
                    [&ran, action] { ran << action->objectName(); });
        f.form.show();
        f.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.form));
        if (command == QLatin1String("MPlayer1_LeaveFullScreen"))
            f.engine.setFullScreen(true); // Esc only leaves the whole screen
        QWidget *control = f.get(focusName);
        control->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), control);

        ran.clear();
        QVERIFY2(type(chord), qPrintable(chord));
        if (command.isEmpty()) {
            // Moving the focus is the window's own work.
            QTRY_VERIFY2(QApplication::focusWidget() != control, qPrintable(chord));
        } else {
            QTRY_VERIFY2(ran.contains(command), qPrintable(chord + QLatin1String(" ran ") +
                                                           ran.join(QLatin1String(", "))));
        }
        ++typed;
    }
    QVERIFY2(typed > 0, binding.keys);
}

QTEST_MAIN(TestX11Keys)
#include "tst_x11_keys.moc"
