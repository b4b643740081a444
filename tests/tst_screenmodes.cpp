#include "support/FormFixture.h"
#include "widgets/Twips.h"

#include <QtTest>

namespace {

// Full and Original for every control but the player: 'h' hidden, 's' shown,
// '-' left as it was.
struct Row
{
    const char *name;
    char full;
    char original;
};

const Row visibilityTable[] = {
    {"cmdFullScreen", 'h', 's'},  {"cmdMedium", 'h', 's'},
    {"cmdSmallScreen", 'h', 's'}, {"cmdOriginal", 's', 's'},
    {"cmdPlay", 'h', 's'},        {"cmdPause", 'h', 's'},
    {"cmdStop", 'h', 's'},        {"cmdBack", 'h', 's'},
    {"cmdMute", '-', '-'},        {"cmdUnMute", '-', '-'},
    {"cmdNext", 'h', 's'},        {"cmdFast", 'h', 's'},
    {"cmdRev", 'h', 's'},         {"cmdMinimize", 'h', 's'},
    {"cmdResize", 'h', 's'},      {"cmdChangeBackground", '-', 's'},
    {"cmdExit", '-', 's'},        {"lblStatus", 'h', 's'},
    {"Text4", 'h', 's'},          {"Label1", 'h', 's'},
    {"Text1", 'h', 's'},          {"Label2", 'h', 's'},
    {"Text2", 'h', 's'},          {"Label3", 'h', 's'},
    {"Text3", 'h', 's'},          {"pfname", 'h', 's'},
    {"cmdPlsi", 'h', 's'},        {"cmdPLLoad", 'h', 's'},
    {"PLName", '-', '-'},         {"cmdRepeat", 'h', 's'},
    {"cmdOpen", 'h', 's'},        {"cmdGenerate", 'h', 's'},
    {"lblPlayList", 'h', 's'},    {"PlayList1", 'h', 's'},
    {"cmdAdd", 'h', 's'},         {"cmdRemove", 'h', 's'},
    {"cmdNewList", 'h', 's'},     {"cmdLoadList", 'h', 's'},
    {"cmdSaveList", 'h', 's'},    {"Label4", 'h', 's'},
    {"FileList", 'h', 's'},       {"Label5", 'h', 's'},
    {"Folders", 'h', 's'},        {"Label6", 'h', 's'},
    {"Drives", 'h', 's'},         {"Label7", 'h', 's'},
    {"cmbFileType", 'h', 's'},
};

// Where every control is and whether it is hidden, for before/after checks.
struct Layout
{
    QHash<QString, QRect> geometry;
    QHash<QString, bool> hidden;
    QRect window;
    Qt::WindowStates state;
};

Layout layoutOf(const FormFixture &f)
{
    Layout layout;
    const QHash<QString, QWidget *> controls = visualControls(f.form);
    for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
        layout.geometry.insert(it.key(), it.value()->geometry());
        layout.hidden.insert(it.key(), it.value()->isHidden());
    }
    layout.window = f.form.geometry();
    layout.state = f.form.windowState();
    return layout;
}

QWidget *player(const FormFixture &f)
{
    return f.get("MPlayer1");
}

QString placement(const QWidget *w)
{
    return QStringLiteral("%1,%2 %3x%4")
        .arg(Twips::left(w))
        .arg(Twips::top(w))
        .arg(Twips::width(w))
        .arg(Twips::height(w));
}

QWidgetList stackingOf(const Form1 &form)
{
    QWidgetList order;
    for (QObject *child : form.children())
        if (auto *w = qobject_cast<QWidget *>(child))
            order << w;
    return order;
}

} // namespace

class TestScreenModes : public QObject
{
    Q_OBJECT
private slots:
    void tableCoversEveryControl();
    void fullFollowsTheTable();
    void originalAfterFullShowsEverything();
    void sizesPerMode_data();
    void sizesPerMode();
    void atStartUpOnlyThePlayerChanges();
    void playerStaysBehindTheButtons();
};

void TestScreenModes::tableCoversEveryControl()
{
    FormFixture f;
    QStringList expected;
    for (const Row &row : visibilityTable)
        expected << QLatin1String(row.name);
    QStringList visual;
    for (const QString &name : visualControls(f.form).keys())
        if (name != QLatin1String("MPlayer1"))
            visual << name;
    expected.sort();
    visual.sort();
    QCOMPARE(visual, expected);
}

void TestScreenModes::fullFollowsTheTable()
{
    FormFixture f;
    // Give the controls Full leaves alone a mix of states, and hide
    // cmdOriginal, to see Full neither touches the first nor forgets the last.
    f.get("cmdMute")->hide();
    f.get("PLName")->hide();
    f.get("cmdExit")->hide();
    f.get("cmdOriginal")->hide();
    const Layout before = layoutOf(f);

    for (int round = 1; round <= 2; ++round) {
        runHandler(f.form, "cmdFullScreen_Click");
        for (const Row &row : visibilityTable) {
            const QString name = QLatin1String(row.name);
            const bool hidden = row.full == '-' ? before.hidden.value(name) : row.full == 'h';
            QVERIFY2(f.get(row.name)->isHidden() == hidden,
                     qPrintable(QStringLiteral("round %1: %2").arg(round).arg(name)));
        }
        QCOMPARE(placement(player(f)), QStringLiteral("120,120 18000x14000"));
        QCOMPARE(player(f)->geometry(), QRect(8, 8, 1200, 933));
    }
    // The window itself stays as it was, though the player now runs past it.
    QCOMPARE(f.form.geometry(), before.window);
    QCOMPARE(f.form.windowState(), before.state);
    QVERIFY(!f.form.rect().contains(player(f)->geometry()));
    QCOMPARE(f.engine.calls, QStringList());
}

void TestScreenModes::originalAfterFullShowsEverything()
{
    FormFixture f;
    f.get("cmdUnMute")->hide(); // Original leaves the mute pair alone
    f.get("cmdExit")->hide();   // but shows the window commands
    f.get("cmdChangeBackground")->hide();
    runHandler(f.form, "cmdFullScreen_Click");
    QVERIFY(f.get("cmdExit")->isHidden());
    runHandler(f.form, "cmdOriginal_Click");
    for (const Row &row : visibilityTable) {
        const bool hidden = QLatin1String(row.name) == QLatin1String("cmdUnMute");
        QVERIFY2(f.get(row.name)->isHidden() == hidden, row.name);
    }
    QCOMPARE(placement(player(f)), QStringLiteral("120,120 5535x5055"));
}

void TestScreenModes::sizesPerMode_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::newRow("Full") << "cmdFullScreen" << 18000.0f << 14000.0f;
    QTest::newRow("Medium") << "cmdMedium" << 8000.0f << 6000.0f;
    QTest::newRow("Small") << "cmdSmallScreen" << 4000.0f << 3000.0f;
    QTest::newRow("Original") << "cmdOriginal" << 5535.0f << 5055.0f;
}

void TestScreenModes::sizesPerMode()
{
    QFETCH(QString, mode);
    QFETCH(float, width);
    QFETCH(float, height);
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QWidget *mPlayer1 = player(f);

    // Height goes first, then Width: the first resize keeps the old width.
    QList<QSize> resizes;
    struct Recorder : QObject
    {
        QList<QSize> *sizes;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Resize)
                *sizes << static_cast<QResizeEvent *>(e)->size();
            return false;
        }
    } recorder;
    recorder.sizes = &resizes;
    mPlayer1->installEventFilter(&recorder);

    // Click the button itself, so the binding is checked too.
    QTest::mouseClick(f.get<QPushButton>(qPrintable(mode)), Qt::LeftButton);
    QCOMPARE(Twips::width(mPlayer1), width);
    QCOMPARE(Twips::height(mPlayer1), height);
    QCOMPARE(Twips::left(mPlayer1), 120.0f);
    QCOMPARE(Twips::top(mPlayer1), 120.0f);
    const QSize pixels(Twips::toPixels(width), Twips::toPixels(height));
    QCOMPARE(mPlayer1->geometry(), QRect(QPoint(8, 8), pixels));
    QCOMPARE(resizes, (QList<QSize>{QSize(721, pixels.height()), pixels}));

    // The same mode again changes nothing.
    resizes.clear();
    QTest::mouseClick(f.get<QPushButton>("cmdOriginal"), Qt::LeftButton);
    QTest::mouseClick(f.get<QPushButton>(qPrintable(mode)), Qt::LeftButton);
    QTest::mouseClick(f.get<QPushButton>(qPrintable(mode)), Qt::LeftButton);
    QCOMPARE(mPlayer1->geometry(), QRect(QPoint(8, 8), pixels));
    QCOMPARE(f.dialog.messages, QStringList());
}

void TestScreenModes::atStartUpOnlyThePlayerChanges()
{
    struct Case
    {
        const char *command;
        QRect player;
    };
    const Case cases[] = {{"cmdMedium_Click", QRect(8, 8, 533, 400)},
                          {"cmdSmallScreen_Click", QRect(8, 8, 267, 200)},
                          {"cmdOriginal_Click", QRect(8, 8, 369, 337)}};
    for (const Case &c : cases) {
        FormFixture f;
        const Layout before = layoutOf(f);
        f.run(c.command);
        const Layout after = layoutOf(f);
        for (auto it = before.geometry.cbegin(); it != before.geometry.cend(); ++it) {
            const QRect expected = it.key() == QLatin1String("MPlayer1") ? c.player : it.value();
            QVERIFY2(after.geometry.value(it.key()) == expected, qPrintable(it.key()));
        }
        QCOMPARE(after.hidden, before.hidden);
        QCOMPARE(after.window, before.window);
        QCOMPARE(after.state, before.state);
        // The player no longer reaches the transport row at Top 7680.
        QVERIFY(player(f)->geometry().bottom() < f.get("cmdPlay")->geometry().top());
        QCOMPARE(f.engine.calls, QStringList());
    }
}

void TestScreenModes::playerStaysBehindTheButtons()
{
    FormFixture f;
    f.form.resize(1400, 1100); // room to see the whole enlarged player
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    const QWidgetList stacking = stackingOf(f.form);
    QWidget *mPlayer1 = player(f);
    const auto centreOf = [&f](const char *name) { return f.get(name)->geometry().center(); };

    runHandler(f.form, "cmdFullScreen_Click");
    QCOMPARE(stackingOf(f.form), stacking);
    for (const char *name : {"cmdOriginal", "cmdMute", "cmdUnMute", "PLName"})
        QVERIFY2(f.form.childAt(centreOf(name)) == f.get(name) ||
                     f.form.childAt(centreOf(name))->parentWidget() == f.get(name),
                 name);
    // The two label-buttons lie on the window's surface, under the player.
    QCOMPARE(f.form.childAt(centreOf("cmdExit")), mPlayer1);
    QCOMPARE(f.form.childAt(centreOf("cmdChangeBackground")), mPlayer1);

    // A real click at cmdOriginal's place over the player leaves Full.
    QTest::mouseClick(f.form.windowHandle(), Qt::LeftButton, {}, centreOf("cmdOriginal"));
    QCOMPARE(placement(mPlayer1), QStringLiteral("120,120 5535x5055"));
    QVERIFY(!f.get("cmdFullScreen")->isHidden());
    QCOMPARE(stackingOf(f.form), stacking);
    QCOMPARE(f.form.childAt(centreOf("cmdExit")), f.get("cmdExit"));

    runHandler(f.form, "cmdMedium_Click");
    runHandler(f.form, "cmdSmallScreen_Click");
    QCOMPARE(stackingOf(f.form), stacking);
}

QTEST_MAIN(TestScreenModes)
#include "tst_screenmodes.moc"
