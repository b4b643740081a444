#include "commands/browse/OpenCommand.h"
#include "widgets/QtCommonDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Runs answer on the next modal dialog once it is up. The answer must close
// the dialog; the test checks what it noted after the dialog has returned.
void whenModal(std::function<void(QWidget *)> answer)
{
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        answer(modal);
    });
    poll->start();
}

// The names the dialog lists in its folder under the selected type.
QStringList listed(QFileDialog *dialog)
{
    auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    QStringList names;
    if (!view)
        return names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        names << view->model()->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

// Waits until the dialog lists exactly these names.
QStringList waitForListing(QFileDialog *dialog, const QStringList &expected)
{
    // A timeout shows up in the caller's comparison, with the names found.
    const bool settled = QTest::qWaitFor([&] { return listed(dialog) == expected; }, 5000);
    Q_UNUSED(settled);
    return listed(dialog);
}

void touch(const QTemporaryDir &dir, const char *name)
{
    QFile file(dir.filePath(QLatin1String(name)));
    file.open(QIODevice::WriteOnly);
}

} // namespace

class TestQtDialog : public QObject
{
    Q_OBJECT
private slots:
    void openDialogReturnsChoiceOrCancel();
    void openDialogListsMediaInAnyLetterCase();
    void colourDialogReturnsChoiceOrCancel();
    void messageBoxHasTextTitleAndOk();
    void longMessageScrollsOnScreen_data();
    void longMessageScrollsOnScreen();
    void oneDialogAtATime();
};

void TestQtDialog::openDialogReturnsChoiceOrCancel()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QtCommonDialog dialog;
    dialog.setFilter(OpenCommand::mediaFilter);
    dialog.setFileName(dir.filePath(QStringLiteral("start.wpl")));

    QString nameBox, firstType, title;
    int types = 0;
    whenModal([&](QWidget *modal) {
        auto *files = qobject_cast<QFileDialog *>(modal);
        if (!files) {
            modal->close();
            return;
        }
        nameBox = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        auto *combo = files->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        firstType = combo->currentText();
        types = combo->count();
        title = files->windowTitle();
        // A file that does not exist yet, as Save List asks for.
        files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
            ->setText(QStringLiteral("new list.txt"));
        files->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
            ->button(QDialogButtonBox::Open)
            ->click();
    });
    QVERIFY(dialog.showOpen());
    QCOMPARE(nameBox, QStringLiteral("start.wpl"));
    QCOMPARE(firstType, QStringLiteral("Media Playlist(*.asx;*.m3u;*.wpl;*.wvx;*.wmx)"));
    QCOMPARE(types, 13);
    QVERIFY(!title.isEmpty());
    QCOMPARE(dialog.fileName(), dir.filePath(QStringLiteral("new list.txt")));

    // A cancel leaves the name as it was and returns normally.
    dialog.setFileName(QStringLiteral("kept.wpl"));
    whenModal([](QWidget *modal) { modal->close(); });
    QVERIFY(!dialog.showOpen());
    QCOMPARE(dialog.fileName(), QStringLiteral("kept.wpl"));

    // The commands' steps: a cancel with an empty name box reads as "", and
    // whatever cancelError said before, it is off afterwards.
    dialog.setFileName(QString());
    dialog.setCancelError(true);
    whenModal([](QWidget *modal) {
        if (auto *files = qobject_cast<QDialog *>(modal))
            files->reject();
    });
    QCOMPARE(dialog.askForFile(QStringLiteral("Text File (*.txt)|*.txt|")), QString());
    QVERIFY(!dialog.cancelError());
    QCOMPARE(dialog.fileName(), QString());
}

void TestQtDialog::openDialogListsMediaInAnyLetterCase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char *name :
         {"list.WPL", "clip.m2ts", "CLIP2.M2Ts", "song.Mp3", "notes.txt", "README", "show.mts.bak"})
        touch(dir, name);

    QtCommonDialog dialog;
    dialog.setFilter(OpenCommand::mediaFilter);
    dialog.setFileName(dir.filePath(QStringLiteral("x")));
    QStringList first, ts, audio, all, text;
    whenModal([&](QWidget *modal) {
        auto *files = qobject_cast<QFileDialog *>(modal);
        if (!files) {
            modal->close();
            return;
        }
        const QStringList types = files->nameFilters();
        first = waitForListing(files, {"list.WPL"});
        files->selectNameFilter(types.value(6));
        ts = waitForListing(files, {"CLIP2.M2Ts", "clip.m2ts"});
        files->selectNameFilter(types.value(8));
        audio = waitForListing(files, {"song.Mp3"});
        files->selectNameFilter(types.value(12));
        all = waitForListing(files, {"CLIP2.M2Ts", "README", "clip.m2ts", "list.WPL", "notes.txt",
                                     "show.mts.bak", "song.Mp3"});
        files->reject();
    });
    QVERIFY(!dialog.showOpen());
    QCOMPARE(first, QStringList({"list.WPL"}));
    QCOMPARE(ts, QStringList({"CLIP2.M2Ts", "clip.m2ts"}));
    QCOMPARE(audio, QStringList({"song.Mp3"}));
    QCOMPARE(all.size(), 7);

    // A bare pattern, as Load List gives it.
    dialog.setFilter(QStringLiteral("*.txt"));
    QString shownType;
    whenModal([&](QWidget *modal) {
        auto *files = qobject_cast<QFileDialog *>(modal);
        if (!files) {
            modal->close();
            return;
        }
        shownType = files->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText();
        text = waitForListing(files, {"notes.txt"});
        files->reject();
    });
    QVERIFY(!dialog.showOpen());
    QCOMPARE(shownType, QStringLiteral("*.txt"));
    QCOMPARE(text, QStringList({"notes.txt"}));
}

void TestQtDialog::colourDialogReturnsChoiceOrCancel()
{
    QtCommonDialog dialog;
    QCOMPARE(dialog.color(), QColor(0, 0, 0));
    QColor offered;
    whenModal([&](QWidget *modal) {
        auto *colours = qobject_cast<QColorDialog *>(modal);
        if (!colours) {
            modal->close();
            return;
        }
        offered = colours->currentColor();
        colours->setCurrentColor(QColor(0x12, 0x34, 0x56));
        colours->accept();
    });
    QVERIFY(dialog.showColor());
    QCOMPARE(offered, QColor(0, 0, 0));
    QCOMPARE(dialog.color(), QColor(0x12, 0x34, 0x56));

    whenModal([](QWidget *modal) {
        if (auto *colours = qobject_cast<QColorDialog *>(modal)) {
            colours->setCurrentColor(Qt::red);
            colours->reject();
        } else {
            modal->close();
        }
    });
    QVERIFY(!dialog.showColor());
    QCOMPARE(dialog.color(), QColor(0x12, 0x34, 0x56));
}

void TestQtDialog::messageBoxHasTextTitleAndOk()
{
    QtCommonDialog dialog;
    QString text, title;
    QStringList buttons;
    int icon = -1;
    whenModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        for (QAbstractButton *button : box->buttons())
            buttons << button->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::Ok)->click();
    });
    dialog.showMessage(QStringLiteral("File Not Found"), QStringLiteral("Load List"));
    QCOMPARE(text, QStringLiteral("File Not Found"));
    QCOMPARE(title, QStringLiteral("Load List"));
    QCOMPARE(icon, int(QMessageBox::NoIcon));
    QCOMPARE(buttons, QStringList({"OK"}));
}

void TestQtDialog::longMessageScrollsOnScreen_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("a few lines") << 5 << false;
    QTest::newRow("ten thousand lines") << 10000 << true;
}

void TestQtDialog::longMessageScrollsOnScreen()
{
    QFETCH(int, lines);
    QFETCH(bool, scrolls);
    QStringList names;
    for (int i = 0; i < lines; ++i)
        names << QStringLiteral("/media/music/missing-%1.mp3 was not found.").arg(i);
    const QString text = QStringLiteral("These were not opened:\n\n") + names.join(u'\n');
    QtCommonDialog dialog;
    QRect frame, room, ok;
    QString shown, title;
    int buttons = 0;
    bool scrolled = false;
    whenModal([&](QWidget *modal) {
        room = modal->screen()->availableGeometry();
        frame = modal->frameGeometry();
        title = modal->windowTitle();
        const QList<QAbstractButton *> all = modal->findChildren<QAbstractButton *>();
        buttons = int(all.size());
        QAbstractButton *button = all.value(0);
        ok = button ? QRect(button->mapToGlobal(QPoint(0, 0)), button->size()) : QRect();
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            shown = box->text();
        if (auto *field = modal->findChild<QPlainTextEdit *>(QStringLiteral("messageText"))) {
            shown = field->toPlainText();
            scrolled = field->verticalScrollBar()->maximum() > 0;
        }
        if (button)
            button->click();
        else
            modal->close();
    });
    dialog.showMessage(text, QStringLiteral("Error"));
    QCOMPARE(title, QStringLiteral("Error"));
    QCOMPARE(shown, text);
    QCOMPARE(scrolled, scrolls);
    QCOMPARE(buttons, 1);
    // The whole box, its OK button included, is on the screen.
    QVERIFY2(frame.height() <= room.height(), qPrintable(QString::number(frame.height())));
    QVERIFY2(room.contains(ok), qPrintable(QStringLiteral("%1,%2").arg(ok.y()).arg(room.height())));
}

void TestQtDialog::oneDialogAtATime()
{
    // What commands that another program triggers ask for while the Open
    // dialog is open: nothing else opens, and the messages come once it has
    // closed, as one box.
    QtCommonDialog dialog;
    bool secondOpen = true, colour = true;
    QString held;
    whenModal([&](QWidget *modal) {
        secondOpen = dialog.showOpen();
        colour = dialog.showColor();
        for (int i = 1; i <= CommonDialog::heldMessages + 5; ++i)
            dialog.showMessage(QStringLiteral("Message %1").arg(i), QStringLiteral("Error"));
        whenModal([&](QWidget *box) {
            if (auto *field = box->findChild<QPlainTextEdit *>(QStringLiteral("messageText")))
                held = field->toPlainText();
            box->close();
        });
        modal->close();
    });
    QVERIFY(!dialog.showOpen());
    QVERIFY(!secondOpen);
    QVERIFY(!colour);
    QVERIFY2(held.startsWith(QLatin1String("Message 1\n\nMessage 2\n\n")) &&
                 held.endsWith(QStringLiteral("Message %1\n\nand 5 more messages.")
                                   .arg(CommonDialog::heldMessages)),
             qPrintable(held));
}

QTEST_MAIN(TestQtDialog)
#include "tst_qtdialog.moc"
