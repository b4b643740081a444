#include "support/FormFixture.h"
#include "widgets/LabelButton.h"

#include <QScreen>
#include <QtTest>

// The screen modes, the compact view and a new background as the X server
// shows them. Each state is saved as views-<state>.png in the working folder.
class TestX11Views : public QObject
{
    Q_OBJECT
private slots:
    void screenModes();
    void compactView();
    void redBackground();

private:
    static void prepare(FormFixture &f);
    static QImage shot(FormFixture &f, const char *state);
};

void TestX11Views::prepare(FormFixture &f)
{
    // The fake engine's widget is bare; make it look like a video surface.
    QWidget *player = f.get("MPlayer1");
    QPalette black = player->palette();
    black.setColor(QPalette::Window, Qt::black);
    player->setPalette(black);
    player->setAutoFillBackground(true);
    f.form.move(20, 20);
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
}

QImage TestX11Views::shot(FormFixture &f, const char *state)
{
    // Painting now puts the pixels on the X connection ahead of the grab.
    QCoreApplication::processEvents();
    f.form.repaint();
    const QImage image = f.form.screen()->grabWindow(f.form.winId()).toImage();
    image.save(QStringLiteral("views-%1.png").arg(QLatin1String(state)));
    return image;
}

namespace {

QPoint centreOf(FormFixture &f, const char *name)
{
    return f.get(name)->geometry().center();
}
bool isBlack(const QImage &image, QPoint p)
{
    return image.pixelColor(p) == QColor(Qt::black);
}

} // namespace

void TestX11Views::screenModes()
{
    FormFixture f;
    prepare(f);

    QImage image = shot(f, "startup");
    QVERIFY(isBlack(image, QPoint(300, 200)));
    QVERIFY(!isBlack(image, centreOf(f, "cmdPlay"))); // drawn over the player's strip

    f.run("cmdFullScreen_Click");
    image = shot(f, "full");
    QVERIFY(!isBlack(image, centreOf(f, "cmdOriginal")));
    QVERIFY(!isBlack(image, centreOf(f, "cmdMute")));
    QVERIFY(isBlack(image, centreOf(f, "cmdExit")));
    QVERIFY(isBlack(image, centreOf(f, "PlayList1")));
    QVERIFY(isBlack(image, QPoint(image.width() - 2, image.height() - 2)));

    f.run("cmdOriginal_Click");
    image = shot(f, "original");
    QVERIFY(isBlack(image, QPoint(370, 340)));
    QVERIFY(!isBlack(image, QPoint(380, 100)));
    QVERIFY(!isBlack(image, centreOf(f, "cmdExit")));

    f.run("cmdMedium_Click");
    image = shot(f, "medium");
    QVERIFY(isBlack(image, QPoint(535, 400)));
    QVERIFY(!isBlack(image, QPoint(545, 100)));

    f.run("cmdSmallScreen_Click");
    image = shot(f, "small");
    QVERIFY(isBlack(image, QPoint(270, 200)));
    QVERIFY(!isBlack(image, QPoint(280, 100)));
}

void TestX11Views::compactView()
{
    FormFixture f;
    prepare(f);
    emit f.get<LabelButton>("cmdResize")->clicked();
    QTRY_COMPARE(f.form.frameGeometry().size(), QSize(187, 187));
    const QImage image = shot(f, "compact");
    QCOMPARE(image.size(), f.form.size());
    QVERIFY(isBlack(image, QPoint(100, 100)));
}

void TestX11Views::redBackground()
{
    FormFixture f;
    prepare(f);
    f.dialog.answerColor(Qt::red);
    emit f.get<LabelButton>("cmdChangeBackground")->clicked();
    const QImage image = shot(f, "red");
    const QColor red(Qt::red);
    QCOMPARE(image.pixelColor(QPoint(750, 30)), red); // bare window surface
    const QRect label1 = f.get("Label1")->geometry();
    QCOMPARE(image.pixelColor(label1.topRight() + QPoint(-1, 1)), red);
    QCOMPARE(image.pixelColor(f.get("Label3")->geometry().topRight() + QPoint(-1, 1)), red);
    const QRect label4 = f.get("Label4")->geometry();
    QVERIFY(image.pixelColor(label4.topLeft() + QPoint(3, 3)) != red);
    QVERIFY(image.pixelColor(f.get("cmdExit")->geometry().topLeft() + QPoint(3, 3)) != red);
    QVERIFY(isBlack(image, QPoint(300, 200)));
}

QTEST_MAIN(TestX11Views)
#include "tst_x11_views.moc"
