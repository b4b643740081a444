#include "app/Form1.h"
#include "app/FormDesign.h"
#include "app/Twips.h"
#include "support/FakeEngine.h"
#include "support/ScriptedDialog.h"

#include <QTimer>
#include <QtTest>

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void everyDesignedControlExists();
    void grabWindow();
};

void TestForm1::everyDesignedControlExists()
{
    FakeEngine engine;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    QCOMPARE(form.windowTitle(), QStringLiteral("Corvel Media Player 2.6"));
    QCOMPARE(int(form1Design().controls.size()), 51);
    QCOMPARE(form.controlNames().size(), 51);
    for (const ControlDesign &d : form1Design().controls) {
        const QString name = QLatin1String(d.name);
        if (d.kind == ControlKind::Timer) {
            QVERIFY2(form.timer(name), d.name);
            continue;
        }
        if (d.kind == ControlKind::CommonDialog)
            continue;
        QWidget *control = form.control(name);
        QVERIFY2(control, d.name);
        QCOMPARE(control->objectName(), name);
        QCOMPARE(Twips::left(control), float(d.left));
        QCOMPARE(Twips::top(control), float(d.top));
        QCOMPARE(Twips::width(control), float(d.width));
        QCOMPARE(Twips::height(control), float(d.height));
        QCOMPARE(control->geometry(), QRect(d.left / 15, d.top / 15, d.width / 15, d.height / 15));
    }
    QVERIFY(form.timer("Timer1")->isActive());
    QCOMPARE(form.timer("Timer1")->interval(), 1000);
    QVERIFY(!form.timer("Timer2")->isActive());
}

void TestForm1::grabWindow()
{
    FakeEngine engine;
    ScriptedDialog dialog;
    Form1 form(engine, dialog);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QPixmap picture = form.grab();
    QVERIFY(picture.save(QStringLiteral("form1.png")));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
