// The engine's own full screen without any engine library: the engine's area
// in a window of its own with a few other controls, following the engine
// double's fullScreen setting; its bar and pointer resting; and the keys of
// the real window that drive the setting.
#include "engine/EngineControlBar.h"
#include "engine/EngineView.h"
#include "engine/IdleControls.h"
#include "support/ControlBarParts.h"
#include "support/FormFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// How the user turns full screen on or off in a row.
enum class Way
{
    Setting,
    DoubleClick,
    BarButton,
    WindowManager
};

// A window laid out like the player's: a text box and a button over the
// engine's area, which lies behind them.
struct Window
{
    FakeEngine engine;
    QWidget window;
    EngineView *view = new EngineView(engine, &window);
    QLineEdit *edit = new QLineEdit(&window);
    QPushButton *button = new QPushButton(QStringLiteral("Full"), &window);

    Window()
    {
        window.resize(640, 480);
        view->setGeometry(8, 8, 400, 300);
        edit->setGeometry(10, 290, 100, 24);
        button->setGeometry(420, 20, 80, 24);
        window.move(30, 40);
        window.show();
    }
    QWidgetList stacking() const
    {
        QWidgetList order;
        for (QObject *child : window.children())
            if (child->isWidgetType())
                order << static_cast<QWidget *>(child);
        return order;
    }
    void use(Way way, bool on)
    {
        const ControlBarParts bar(view);
        switch (way) {
        case Way::Setting:
            engine.setFullScreen(on);
            break;
        case Way::DoubleClick:
            QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(view->width() / 2, 20));
            break;
        case Way::BarButton:
            QTest::mouseClick(bar.fullScreen, Qt::LeftButton);
            break;
        case Way::WindowManager:
            window.setWindowState(on ? Qt::WindowFullScreen : Qt::WindowNoState);
            break;
        }
    }
};

} // namespace

Q_DECLARE_METATYPE(Way)

class TestEngineScreen : public QObject
{
    Q_OBJECT
private slots:
    void coversTheScreenAndGivesTheWindowBack_data();
    void coversTheScreenAndGivesTheWindowBack();
    void doubleClickOnTheBarIsNoToggle();
    void placeGivenMeanwhileIsKeptForTheWayBack();
    void barAndPointerRest();
    void keys_data();
    void keys();
};

void TestEngineScreen::coversTheScreenAndGivesTheWindowBack_data()
{
    QTest::addColumn<Way>("enter");
    QTest::addColumn<Way>("leave");
    QTest::newRow("setting on, setting off") << Way::Setting << Way::Setting;
    QTest::newRow("double-click in, double-click out") << Way::DoubleClick << Way::DoubleClick;
    QTest::newRow("bar button in, bar button out") << Way::BarButton << Way::BarButton;
    QTest::newRow("double-click in, window manager out") << Way::DoubleClick << Way::WindowManager;
}

void TestEngineScreen::coversTheScreenAndGivesTheWindowBack()
{
    QFETCH(Way, enter);
    QFETCH(Way, leave);
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.edit->setFocus();
    const QRect windowBefore = w.window.geometry();
    const QRect viewBefore = w.view->geometry();
    const QWidgetList stackingBefore = w.stacking();
    const QRect editBefore = w.edit->geometry();

    w.use(enter, true);
    QVERIFY(w.engine.fullScreen());
    QVERIFY(w.view->isFullScreen());
    QTRY_VERIFY(w.window.windowState() & Qt::WindowFullScreen);
    QTRY_COMPARE(w.window.geometry(), w.window.screen()->geometry());
    QTRY_COMPARE(w.view->geometry(), w.window.rect());
    QCOMPARE(w.stacking().last(), w.view);
    // Keys go to the picture, not to the text box it covers.
    QVERIFY(w.view->hasFocus());
    QCOMPARE(w.edit->geometry(), editBefore);
    QVERIFY(w.edit->isVisible());
    const ControlBarParts bar(w.view);
    QCOMPARE(bar.fullScreen->toolTip(), QStringLiteral("Leave full screen"));

    w.use(leave, false);
    QVERIFY(!w.engine.fullScreen());
    QVERIFY(!w.view->isFullScreen());
    QTRY_VERIFY(!(w.window.windowState() & Qt::WindowFullScreen));
    QTRY_COMPARE(w.window.geometry(), windowBefore);
    QCOMPARE(w.view->geometry(), viewBefore);
    QCOMPARE(w.stacking(), stackingBefore);
    QVERIFY(w.edit->hasFocus());
    QCOMPARE(bar.fullScreen->toolTip(), QStringLiteral("Full screen"));
}

void TestEngineScreen::doubleClickOnTheBarIsNoToggle()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    auto *bar = w.view->findChild<EngineControlBar *>(QStringLiteral("engineControlBar"));
    const QPoint onBar = bar->mapTo(w.view, QPoint(4, bar->height() / 2));
    QTest::mouseDClick(w.view, Qt::LeftButton, {}, onBar);
    QVERIFY(!w.engine.fullScreen());
    QVERIFY(!(w.window.windowState() & Qt::WindowFullScreen));
}

void TestEngineScreen::placeGivenMeanwhileIsKeptForTheWayBack()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.engine.setFullScreen(true);
    QTRY_COMPARE(w.view->geometry(), w.window.rect());
    // A screen mode chosen meanwhile sizes the area the window will get back.
    w.view->setGeometry(8, 8, 267, 200);
    QCOMPARE(w.view->geometry(), w.window.rect());
    w.engine.setFullScreen(false);
    QTRY_COMPARE(w.view->geometry(), QRect(8, 8, 267, 200));
}

void TestEngineScreen::barAndPointerRest()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    auto *bar = w.view->findChild<EngineControlBar *>(QStringLiteral("engineControlBar"));
    auto *clock = w.view->findChild<QTimer *>(QStringLiteral("idleClock"));
    QVERIFY(bar && clock);
    QVERIFY(!clock->isActive());

    w.engine.setFullScreen(true);
    QTRY_COMPARE(w.view->geometry(), w.window.rect());
    QVERIFY(clock->isActive());
    QCOMPARE(clock->interval(), IdleControls::idleMs);
    QVERIFY(bar->isVisible());

    const QPoint picture(200, 100);
    const auto moveTo = [&w](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), w.view->mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.view, &move);
    };
    moveTo(picture);
    // The clock runs out (called at once here rather than waited for).
    QMetaObject::invokeMethod(clock, "timeout");
    QVERIFY(!bar->isVisible());
    QCOMPARE(w.view->cursor().shape(), Qt::BlankCursor);
    // Hiding the bar makes Qt repeat the pointer's place: not a movement.
    moveTo(picture);
    QVERIFY(!bar->isVisible());
    // A real movement brings both back and starts the clock again.
    moveTo(picture + QPoint(5, 0));
    QVERIFY(bar->isVisible());
    QCOMPARE(w.view->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(clock->isActive());

    QMetaObject::invokeMethod(clock, "timeout");
    QVERIFY(!bar->isVisible());
    w.engine.setFullScreen(false);
    QVERIFY(bar->isVisible());
    QCOMPARE(w.view->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!clock->isActive());
    // Out of full screen the mouse no longer matters.
    moveTo(picture);
    QVERIFY(!clock->isActive());
}

void TestEngineScreen::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("fullBefore");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("typed");
    const QStringList none;
    const QStringList on{"fullScreen=1"};
    const QStringList off{"fullScreen=0"};

    QTest::newRow("F") << "cmdStop" << false << int(Qt::Key_F) << on << "";
    QTest::newRow("F11") << "PlayList1" << false << int(Qt::Key_F11) << on << "";
    QTest::newRow("F again") << "cmdStop" << true << int(Qt::Key_F) << off << "";
    QTest::newRow("F11 again") << "PlayList1" << true << int(Qt::Key_F11) << off << "";
    QTest::newRow("Escape in full screen")
        << "PlayList1" << true << int(Qt::Key_Escape) << off << "";
    QTest::newRow("Escape otherwise") << "PlayList1" << false << int(Qt::Key_Escape) << none << "";
    QTest::newRow("F in a text box types it") << "pfname" << false << int(Qt::Key_F) << none << "f";
    QTest::newRow("F11 in a text box") << "pfname" << false << int(Qt::Key_F11) << none << "";
    QTest::newRow("F in the combo box types it")
        << "cmbFileType" << false << int(Qt::Key_F) << none << "f";
    QTest::newRow("F11 in the combo box")
        << "cmbFileType" << false << int(Qt::Key_F11) << none << "";
}

void TestEngineScreen::keys()
{
    QFETCH(QString, focus);
    QFETCH(bool, fullBefore);
    QFETCH(int, key);
    QFETCH(QStringList, calls);
    QFETCH(QString, typed);
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    QWidget *target = f.get(focus.toLatin1().constData());
    auto *edit = qobject_cast<QLineEdit *>(target);
    if (auto *combo = qobject_cast<QComboBox *>(target))
        edit = combo->lineEdit();
    if (edit)
        edit->clear();
    target->setFocus();
    QVERIFY(target->hasFocus());
    f.engine.setFullScreen(fullBefore);
    f.engine.calls.clear();

    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(f.engine.commands(), calls);
    if (edit)
        QCOMPARE(edit->text(), typed);
}

QTEST_MAIN(TestEngineScreen)
#include "tst_enginescreen.moc"
