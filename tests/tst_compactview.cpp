#include "support/FormFixture.h"
#include "widgets/LabelButton.h"

#include <QtTest>

namespace {

// Sizes the window so that its outer size, frame included, is outer pixels.
void setOuterSize(QWidget &window, QSize outer)
{
    const QSize frame = window.frameGeometry().size() - window.size();
    window.resize(outer - frame);
}

// Every control's place and visibility, which neither command may touch.
QHash<QString, QPair<QRect, bool>> controlsOf(const FormFixture &f)
{
    QHash<QString, QPair<QRect, bool>> result;
    const QHash<QString, QWidget *> controls = visualControls(f.form);
    for (auto it = controls.cbegin(); it != controls.cend(); ++it)
        result.insert(it.key(), {it.value()->geometry(), it.value()->isHidden()});
    return result;
}

class EventCounter : public QObject
{
public:
    explicit EventCounter(QObject *target) { target->installEventFilter(this); }
    QList<QSize> resizes;
    int stateChanges = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Resize)
            resizes << static_cast<QResizeEvent *>(e)->size();
        else if (e->type() == QEvent::WindowStateChange)
            ++stateChanges;
        return false;
    }
};

} // namespace

class TestCompactView : public QObject
{
    Q_OBJECT
private slots:
    void resizeLimits_data();
    void resizeLimits();
    void resizeFromMaximised();
    void minimise();
};

void TestCompactView::resizeLimits_data()
{
    // Outer sizes in pixels: 381 px is 5715 twips, 139 px is 2085 twips,
    // and the 2800 of the compact view rounds to 187 px.
    QTest::addColumn<QSize>("before");
    QTest::addColumn<QSize>("after");
    const QSize compact(187, 187);
    QTest::newRow("exactly 5715") << QSize(381, 381) << compact;
    QTest::newRow("just under 5715") << QSize(380, 380) << QSize(380, 380);
    QTest::newRow("5715 wide, short") << QSize(381, 300) << compact;
    QTest::newRow("narrow, 5715 high") << QSize(200, 381) << compact;
    QTest::newRow("well above") << QSize(989, 749) << compact;
    QTest::newRow("exactly 2085") << QSize(139, 139) << QSize(381, 381);
    QTest::newRow("well below") << QSize(120, 100) << QSize(381, 381);
    QTest::newRow("just over 2085") << QSize(140, 140) << QSize(140, 140);
    QTest::newRow("2085 wide, taller") << QSize(139, 200) << QSize(139, 200);
    QTest::newRow("the compact view") << compact << compact;
}

void TestCompactView::resizeLimits()
{
    QFETCH(QSize, before);
    QFETCH(QSize, after);
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    setOuterSize(f.form, before);
    QCOMPARE(f.form.frameGeometry().size(), before);
    const QSize frame = f.form.frameGeometry().size() - f.form.size();
    const auto controls = controlsOf(f);
    const QPoint place = f.form.pos();
    EventCounter events(&f.form);

    emit f.get<LabelButton>("cmdResize")->clicked();

    QCOMPARE(f.form.frameGeometry().size(), after);
    QCOMPARE(f.form.pos(), place);
    QCOMPARE(controlsOf(f), controls);
    QCOMPARE(f.form.windowState(), Qt::WindowNoState);
    if (after == before) {
        QCOMPARE(events.resizes, QList<QSize>());
    } else {
        // Height first, then Width.
        const QSize client = after - frame;
        const QSize oldClient = before - frame;
        QCOMPARE(events.resizes, (QList<QSize>{QSize(oldClient.width(), client.height()), client}));
    }
}

void TestCompactView::resizeFromMaximised()
{
    FormFixture f;
    f.form.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QTRY_VERIFY(f.form.windowState() & Qt::WindowMaximized);
    const auto controls = controlsOf(f);

    runHandler(f.form, "cmdResize_Click");

    // The platform window too, or a window manager would keep it maximised.
    QCOMPARE(f.form.windowState() & Qt::WindowMaximized, Qt::WindowStates());
    QCOMPARE(f.form.windowHandle()->windowStates() & Qt::WindowMaximized, Qt::WindowStates());
    QCOMPARE(f.form.frameGeometry().size(), QSize(187, 187));
    QCOMPARE(controlsOf(f), controls);
    QCOMPARE(f.dialog.messages, QStringList());
}

void TestCompactView::minimise()
{
    {
        FormFixture f;
        f.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.form));
        const auto controls = controlsOf(f);
        const QSize size = f.form.frameGeometry().size();
        emit f.get<LabelButton>("cmdMinimize")->clicked();
        QVERIFY(f.form.windowState() & Qt::WindowMinimized);
        QCOMPARE(f.form.frameGeometry().size(), size);
        QCOMPARE(controlsOf(f), controls);

        // Already minimised: nothing is written.
        EventCounter events(&f.form);
        runHandler(f.form, "cmdMinimize_Click");
        QCOMPARE(events.stateChanges, 0);
        QVERIFY(f.form.windowState() & Qt::WindowMinimized);
    }
    {
        FormFixture f;
        f.form.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&f.form));
        QTRY_VERIFY(f.form.windowState() & Qt::WindowMaximized);
        runHandler(f.form, "cmdMinimize_Click");
        QVERIFY(f.form.windowState() & Qt::WindowMinimized);
        // Restoring from the task bar should bring it back maximised.
        QVERIFY(f.form.windowState() & Qt::WindowMaximized);
    }
}

QTEST_MAIN(TestCompactView)
#include "tst_compactview.moc"
