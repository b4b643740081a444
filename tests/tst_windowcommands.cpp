#include "commands/window/WindowCommands.h"
#include "support/FormFixture.h"
#include "widgets/LabelButton.h"

#include <QtTest>

namespace {

const QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};

// Every widget on the window, children of controls included, with its palette.
QHash<QWidget *, QPalette> palettesOf(Form1 &form)
{
    QHash<QWidget *, QPalette> result;
    result.insert(&form, form.palette());
    for (QWidget *w : form.findChildren<QWidget *>())
        result.insert(w, w->palette());
    return result;
}

QString nameOf(QWidget *w)
{
    QString name = w->objectName();
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        name = p->objectName() + QLatin1Char('/') + name;
    return name;
}

// The order in which the watched widgets take on a background colour.
class PaintOrder : public QObject
{
public:
    PaintOrder(const QList<QWidget *> &watched, QColor colour) : m_colour(colour)
    {
        for (QWidget *w : watched)
            w->installEventFilter(this);
    }
    QStringList order;
    int paletteChanges = 0;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() != QEvent::PaletteChange)
            return false;
        ++paletteChanges;
        auto *w = static_cast<QWidget *>(o);
        if (w->palette().color(QPalette::Window) == m_colour && !order.contains(w->objectName()))
            order << w->objectName();
        return false;
    }

private:
    QColor m_colour;
};

void clickLabel(FormFixture &f, const char *name)
{
    emit f.get<LabelButton>(name)->clicked();
}

} // namespace

class TestWindowCommands : public QObject
{
    Q_OBJECT
private slots:
    void colourPaintsWindowAndTimeLabelsOnly();
    void cancelledColourPaintsNothing();
    void exitStopsTimerAndEndsEventLoop();
    void closeBoxEndsEventLoop();
};

void TestWindowCommands::colourPaintsWindowAndTimeLabelsOnly()
{
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QWidget *painted[] = {&f.form, f.get("Label1"), f.get("Label2"), f.get("Label3")};
    const QColor designLabelText = f.get("Label1")->palette().color(QPalette::WindowText);

    for (const QColor colour : {QColor(Qt::red), QColor(0x12, 0x34, 0x56)}) {
        const auto before = palettesOf(f.form);
        PaintOrder paintOrder({std::begin(painted), std::end(painted)}, colour);
        f.dialog.answerColor(colour);
        clickLabel(f, "cmdChangeBackground");

        QCOMPARE(paintOrder.order, (QStringList{"Form1", "Label1", "Label2", "Label3"}));
        for (QWidget *w : painted) {
            for (QPalette::ColorGroup group : groups)
                QVERIFY2(w->palette().color(group, QPalette::Window) == colour,
                         qPrintable(nameOf(w)));
            // Only the background: every other role is as it was.
            QPalette expected = before.value(w);
            expected.setColor(QPalette::Window, colour);
            QVERIFY2(w->palette() == expected, qPrintable(nameOf(w)));
        }
        QCOMPARE(f.get("Label1")->palette().color(QPalette::WindowText), designLabelText);
        const auto after = palettesOf(f.form);
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (std::find(std::begin(painted), std::end(painted), it.key()) != std::end(painted))
                continue;
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable(nameOf(it.key())));
        }
    }
    QCOMPARE(f.dialog.colorShown, 2);
    QCOMPARE(f.dialog.messages, QStringList());
}

void TestWindowCommands::cancelledColourPaintsNothing()
{
    FormFixture f;
    QWidget *painted[] = {&f.form, f.get("Label1"), f.get("Label2"), f.get("Label3")};
    const auto cancelChangesNothing = [&](const char *when) {
        const auto before = palettesOf(f.form);
        PaintOrder paintOrder({std::begin(painted), std::end(painted)}, QColor(Qt::black));
        f.dialog.cancelColor();
        clickLabel(f, "cmdChangeBackground");
        QVERIFY2(paintOrder.paletteChanges == 0, when);
        const auto after = palettesOf(f.form);
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QVERIFY2(after.value(it.key()) == it.value(),
                     qPrintable(QLatin1String(when) + QLatin1Char(' ') + nameOf(it.key())));
    };

    // The first cancel used to paint black; it must paint nothing.
    cancelChangesNothing("first cancel");

    // After a choice, the window is painted over by hand: a cancel must not
    // bring the chosen colour back.
    f.dialog.answerColor(Qt::red);
    clickLabel(f, "cmdChangeBackground");
    QCOMPARE(f.form.palette().color(QPalette::Window), QColor(Qt::red));
    QPalette green = f.form.palette();
    green.setColor(QPalette::Window, Qt::green);
    f.form.setPalette(green);
    cancelChangesNothing("cancel after a choice");
    QCOMPARE(f.form.palette().color(QPalette::Window), QColor(Qt::green));

    // Even if a cancel is set to raise an error, it is no error here.
    f.dialog.setCancelError(true);
    cancelChangesNothing("cancel raising an error");
    QCOMPARE(f.dialog.messages, QStringList());
    QCOMPARE(f.dialog.colorShown, 4);
}

void TestWindowCommands::exitStopsTimerAndEndsEventLoop()
{
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    f.engine.setUrl(QStringLiteral("/media/playing.mp4"));
    QVERIFY(f.timer1()->isActive());

    QTimer::singleShot(0, &f.form, [&f] { clickLabel(f, "cmdExit"); });
    // Only a guard against hanging the run: a working Exit returns at once.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(60000);
    const int result = QCoreApplication::exec();
    guard.stop();

    QCOMPARE(result, 0);
    QVERIFY(!f.timer1()->isActive());
    QVERIFY(!f.form.isVisible());
    // No question asked, nothing saved.
    QCOMPARE(f.dialog.messages, QStringList());
    QCOMPARE(f.dialog.openShown.size(), 0);
    QCOMPARE(f.engine.commands(), QStringList{"url=/media/playing.mp4"});
}

void TestWindowCommands::closeBoxEndsEventLoop()
{
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());

    // The platform's close request, as the frame's close box sends it.
    QTimer::singleShot(0, &f.form, [&f] { f.form.windowHandle()->close(); });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(60000);
    const int result = QCoreApplication::exec();
    guard.stop();

    QCOMPARE(result, 0);
    QVERIFY(!f.form.isVisible());
    QCOMPARE(f.dialog.messages, QStringList());
}

QTEST_MAIN(TestWindowCommands)
#include "tst_windowcommands.moc"
