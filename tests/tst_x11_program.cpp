// Every feature of the player as a user starts it: build/corvel-media-player
// itself, on an X server with a window manager (openbox) and a session bus
// of the test's own, driven from outside as a person drives it (keys and
// double-clicks through the X server, MPRIS over the bus, a second start)
// and judged by what shows on the screen and what the player reports over
// MPRIS. The subtitle menu through a screen reader is in a11y_commands.
#include "support/DragSource.h"
#include "support/PlayerProcess.h"
#include "support/PrivateBus.h"
#include "support/TestMedia.h"
#include "support/WindowManager.h"

#include <QtTest>

namespace {

// Bounds a wait for a result that never comes; never paces the test.
constexpr int timeout = 30000;

// Points of the window at its design places: in the picture, on the play
// list's empty lower part, and the engine's area (picture and bar).
const QPoint inPicture(360, 200);
const QPoint onPlayList(848, 690);
const QRect engineArea(0, 0, 735, 555);

bool isRed(const QColor &c)
{
    return c.red() > 150 && c.green() < 90 && c.blue() < 90;
}

bool isGreen(const QColor &c)
{
    return c.green() > 120 && c.red() < 90 && c.blue() < 90;
}

bool isWhite(const QColor &c)
{
    return c.lightness() > 235;
}

QColor at(const QRect &window, QPoint point)
{
    return PlayerProcess::screen().pixelColor(window.topLeft() + point);
}

// How many pixels of the window differ between two screens, outside the
// engine's area (the picture and its clock move on).
int changedControls(const QImage &before, const QImage &after, const QRect &window)
{
    int changed = 0;
    for (int y = 0; y < window.height(); y += 2)
        for (int x = 0; x < window.width(); x += 2)
            if (!engineArea.contains(x, y) && before.pixel(window.topLeft() + QPoint(x, y)) !=
                                                  after.pixel(window.topLeft() + QPoint(x, y)))
                ++changed;
    return changed;
}

// How many red pixels one row of the picture holds: its width on the screen.
int redWidth(const QRect &window)
{
    const QImage shot = PlayerProcess::screen();
    int red = 0;
    for (int x = 0; x < window.width(); ++x)
        red += isRed(shot.pixelColor(window.topLeft() + QPoint(x, 60)));
    return red;
}

// The picture's width once a resize has run its course: the same in two looks
// a little apart, as the picture is stretched for a moment while mpv draws it
// at the new size.
int settledRedWidth(const QRect &window)
{
    int last = -1;
    for (int tries = 0; tries < 50; ++tries) {
        const int now = redWidth(window);
        if (now == last)
            return now;
        last = now;
        QTest::qWait(200);
    }
    return last;
}

} // namespace

class TestX11Program : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fullScreen_data();
    void fullScreen();
    void screenModes_data();
    void screenModes();
    void keysAndMpris_data();
    void keysAndMpris();
    void secondStart();
    void subtitleDropped();
    void errorOverThePicture();
    void playListFile_data();
    void playListFile();

private:
    std::unique_ptr<PlayerProcess> startPlayer(const QStringList &arguments);

    WindowManager m_wm;
    PrivateBus m_bus;
    TestMedia m_media;
    QString m_pattern;
    QString m_red;
    QString m_green;
};

void TestX11Program::initTestCase()
{
    QVERIFY(QFileInfo(PlayerProcess::program()).isExecutable());
    QString why;
    if (!m_bus.start(&why))
        QSKIP(qPrintable(why));
    QVERIFY2(m_wm.start(), qPrintable(m_wm.error()));
    m_pattern = m_media.testPattern(QStringLiteral("pattern.mp4"), 60.0, QSize(320, 240));
    m_red = m_media.colourClip(QStringLiteral("red.mp4"), 2.0, QSize(320, 240), Qt::red);
    m_green = m_media.colourClip(QStringLiteral("green.mp4"), 2.0, QSize(320, 240), Qt::green);
    QVERIFY2(!m_pattern.isEmpty() && !m_red.isEmpty() && !m_green.isEmpty(),
             qPrintable(m_media.lastError()));
}

std::unique_ptr<PlayerProcess> TestX11Program::startPlayer(const QStringList &arguments)
{
    auto player = std::make_unique<PlayerProcess>(m_bus.address(), m_media.folder());
    if (!player->start(arguments))
        return nullptr;
    return player;
}

void TestX11Program::fullScreen_data()
{
    QTest::addColumn<QStringList>("enter");
    QTest::addColumn<QStringList>("leave");
    QTest::newRow("F, Escape") << QStringList{QStringLiteral("f")}
                               << QStringList{QStringLiteral("Escape")};
    // An empty list stands for a double-click on the picture.
    QTest::newRow("double-click, F11") << QStringList() << QStringList{QStringLiteral("F11")};
    QTest::newRow("double-click, double-click") << QStringList() << QStringList();
    QStringList storm;
    for (int i = 0; i < 201; ++i)
        storm << QStringLiteral("f");
    QTest::newRow("F pressed 201 times quickly, Escape")
        << storm << QStringList{QStringLiteral("Escape")};
}

void TestX11Program::fullScreen()
{
    QFETCH(QStringList, enter);
    QFETCH(QStringList, leave);
    const auto player = startPlayer({m_pattern});
    QVERIFY(player);
    QTRY_COMPARE_WITH_TIMEOUT(player->mpris(QStringLiteral("PlaybackStatus")).toString(),
                              QStringLiteral("Playing"), timeout);
    const QRect before = player->window();
    QTRY_VERIFY_WITH_TIMEOUT(isWhite(at(before, onPlayList)), timeout);
    const QImage screenBefore = PlayerProcess::screen();

    if (enter.isEmpty())
        player->doubleClick(inPicture);
    else
        player->keys(enter, enter.size() > 1 ? 2 : 20);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QTRY_COMPARE_WITH_TIMEOUT(player->window(), screen, timeout);
    // The picture fills the screen and moves; the play list is covered.
    const QRect middle(screen.center() - QPoint(150, 150), QSize(300, 300));
    const QImage first = PlayerProcess::screen().copy(middle);
    QTRY_VERIFY_WITH_TIMEOUT(PlayerProcess::screen().copy(middle) != first, timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!isWhite(at(screen, onPlayList)), timeout);

    if (leave.isEmpty())
        player->doubleClick(screen.center());
    else
        player->keys(leave);
    QTRY_COMPARE_WITH_TIMEOUT(player->window(), before, timeout);
    // Every control is back where it was and as it looked.
    QTRY_VERIFY_WITH_TIMEOUT(changedControls(screenBefore, PlayerProcess::screen(), before) < 300,
                             timeout);
}

void TestX11Program::screenModes_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("widthChange");
    QTest::addColumn<bool>("playListShown");
    // Each beside the Original mode (Ctrl+0), which is smaller than the
    // picture at start.
    QTest::newRow("Ctrl+1 Full: larger, the play list hidden") << "ctrl+1" << 1 << false;
    QTest::newRow("Ctrl+2 Medium: larger") << "ctrl+2" << 1 << true;
    QTest::newRow("Ctrl+3 Small: smaller") << "ctrl+3" << -1 << true;
}

void TestX11Program::screenModes()
{
    QFETCH(QString, key);
    QFETCH(int, widthChange);
    QFETCH(bool, playListShown);
    const QString red =
        m_media.colourClip(QStringLiteral("long-red.mp4"), 60.0, QSize(320, 240), Qt::red);
    const auto player = startPlayer({red});
    QVERIFY(player);
    const QRect window = player->window();
    QTRY_VERIFY_WITH_TIMEOUT(redWidth(window) > 100, timeout);
    player->keys({QStringLiteral("ctrl+0")});
    QTRY_VERIFY_WITH_TIMEOUT(redWidth(window) < 400, timeout);
    const int original = settledRedWidth(window);

    player->keys({key});
    QTRY_VERIFY_WITH_TIMEOUT((redWidth(window) - original) * widthChange > 20, timeout);
    QTRY_COMPARE_WITH_TIMEOUT(isWhite(at(window, onPlayList)), playListShown, timeout);
    player->keys({QStringLiteral("ctrl+0")});
    QTRY_COMPARE_WITH_TIMEOUT(redWidth(window), original, timeout);
    QTRY_VERIFY_WITH_TIMEOUT(isWhite(at(window, onPlayList)), timeout);
}

void TestX11Program::keysAndMpris_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("Space pauses") << "space"
                                  << ""
                                  << "PlaybackStatus" << QVariant("Paused");
    QTest::newRow("S stops") << "s"
                             << ""
                             << "PlaybackStatus" << QVariant("Stopped");
    QTest::newRow("M mutes") << "m"
                             << ""
                             << "Volume" << QVariant(0.0);
    QTest::newRow("MPRIS Pause") << ""
                                 << "Pause"
                                 << "PlaybackStatus" << QVariant("Paused");
    QTest::newRow("MPRIS Stop") << ""
                                << "Stop"
                                << "PlaybackStatus" << QVariant("Stopped");
}

void TestX11Program::keysAndMpris()
{
    QFETCH(QString, key);
    QFETCH(QString, method);
    QFETCH(QString, property);
    QFETCH(QVariant, expected);
    const auto player = startPlayer({m_pattern});
    QVERIFY(player);
    QTRY_COMPARE_WITH_TIMEOUT(player->mpris(QStringLiteral("PlaybackStatus")).toString(),
                              QStringLiteral("Playing"), timeout);
    if (!key.isEmpty())
        player->keys({key});
    else
        player->mprisCall(method);
    QTRY_COMPARE_WITH_TIMEOUT(player->mpris(property), expected, timeout);
    if (property != QLatin1String("PlaybackStatus"))
        return;
    // Paused or stopped: the picture comes to rest (a stop may show the
    // first frame once more); playing, its counter turns each second.
    const QRect window = player->window();
    const QRect picture(window.topLeft() + QPoint(100, 60), QSize(500, 350));
    const auto still = [&picture] {
        const QImage first = PlayerProcess::screen().copy(picture);
        QTest::qWait(1200);
        return PlayerProcess::screen().copy(picture) == first;
    };
    QTRY_VERIFY_WITH_TIMEOUT(still(), timeout);
}

void TestX11Program::secondStart()
{
    const QString red =
        m_media.colourClip(QStringLiteral("long-red.mp4"), 60.0, QSize(320, 240), Qt::red);
    const QString green =
        m_media.colourClip(QStringLiteral("long-green.mp4"), 60.0, QSize(320, 240), Qt::green);
    const auto player = startPlayer({red});
    QVERIFY(player);
    const QRect window = player->window();
    QTRY_VERIFY_WITH_TIMEOUT(isRed(at(window, inPicture)), timeout);
    // The second start hands its file over and ends without a window.
    QCOMPARE(player->runAgain({green}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(isGreen(at(window, inPicture)), timeout);
}

void TestX11Program::subtitleDropped()
{
    const QString blue =
        m_media.colourClip(QStringLiteral("blue.mp4"), 60.0, QSize(320, 240), QColor(20, 40, 160));
    const QString words = m_media.bytesFile(
        QStringLiteral("words.srt"), "1\n00:00:00,000 --> 00:10:00,000\nWHITE WORDS ON BLUE\n\n");
    const auto player = startPlayer({blue});
    QVERIFY(player);
    QTRY_COMPARE_WITH_TIMEOUT(player->mpris(QStringLiteral("PlaybackStatus")).toString(),
                              QStringLiteral("Playing"), timeout);
    const QRect window = player->window();
    // The lowest strip of the picture, where subtitles go.
    const auto whiteInStrip = [&window] {
        const QImage shot = PlayerProcess::screen();
        int white = 0;
        for (int y = 380; y < 460; ++y)
            for (int x = 10; x < 720; x += 2)
                white += isWhite(shot.pixelColor(window.topLeft() + QPoint(x, y)));
        return white;
    };
    QCOMPARE(whiteInStrip(), 0);
    DragSource source({QUrl::fromLocalFile(words)});
    source.setGeometry(1180, 960, 80, 50);
    source.show();
    QVERIFY(QTest::qWaitForWindowExposed(&source));
    // Pressed on the source, carried over the picture and let go there.
    const QPoint drop = window.topLeft() + inPicture;
    QProcess hand;
    hand.start(
        QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"),   QStringLiteral("1210"),        QStringLiteral("980"),
         QStringLiteral("mousedown"),   QStringLiteral("1"),           QStringLiteral("sleep"),
         QStringLiteral("0.3"),         QStringLiteral("mousemove"),   QStringLiteral("1150"),
         QStringLiteral("950"),         QStringLiteral("sleep"),       QStringLiteral("0.3"),
         QStringLiteral("mousemove"),   QString::number(drop.x()),     QString::number(drop.y()),
         QStringLiteral("sleep"),       QStringLiteral("0.3"),         QStringLiteral("mousemove"),
         QString::number(drop.x() + 5), QString::number(drop.y() + 5), QStringLiteral("sleep"),
         QStringLiteral("0.5"),         QStringLiteral("mouseup"),     QStringLiteral("1")});
    QTRY_VERIFY_WITH_TIMEOUT(hand.state() == QProcess::NotRunning, timeout);
    QTRY_VERIFY_WITH_TIMEOUT(whiteInStrip() > 200, timeout);
}

void TestX11Program::errorOverThePicture()
{
    const QString broken = m_media.randomBytes(QStringLiteral("broken.mp4"), 64 * 1024);
    const auto player = startPlayer({broken});
    QVERIFY(player);
    const QRect window = player->window();
    // Light words over the black picture, near its top.
    const auto lightInTop = [&] {
        const QImage shot = PlayerProcess::screen();
        int light = 0;
        for (int y = 10; y < 120; ++y)
            for (int x = 10; x < 720; x += 2)
                light += shot.pixelColor(window.topLeft() + QPoint(x, y)).lightness() > 150;
        return light;
    };
    QTRY_VERIFY_WITH_TIMEOUT(lightInTop() > 50, timeout);
    QCOMPARE(player->mpris(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Stopped"));
}

void TestX11Program::playListFile_data()
{
    QTest::addColumn<bool>("throughDialog");
    QTest::newRow("Repeat after a .wpl of red then green plays red again: command line") << false;
    QTest::newRow("Repeat after a .wpl of red then green plays red again: Ctrl+Shift+O") << true;
}

void TestX11Program::playListFile()
{
    QFETCH(bool, throughDialog);
    const QString list = m_media.textFile(
        QStringLiteral("colours.wpl"),
        QStringLiteral("<?wpl version=\"1.0\"?><smil><body><seq><media src=\"%1\"/>"
                       "<media src=\"%2\"/></seq></body></smil>")
            .arg(m_red, m_green));
    const auto player = startPlayer(throughDialog ? QStringList() : QStringList{list});
    QVERIFY(player);
    const QRect window = player->window();
    if (throughDialog) {
        // "Click To Load Play List File Name" by its key; the name typed
        // into the dialog.
        player->keys({QStringLiteral("ctrl+shift+o")});
        QTest::qWait(1000);
        player->type(list);
        player->keys({QStringLiteral("Return")});
    }
    QTRY_VERIFY_WITH_TIMEOUT(isRed(at(window, inPicture)), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(isGreen(at(window, inPicture)), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player->mpris(QStringLiteral("PlaybackStatus")).toString(),
                              QStringLiteral("Stopped"), timeout);
    // Repeat after the list's end plays the list again from its first entry.
    player->keys({QStringLiteral("r")});
    QTRY_VERIFY_WITH_TIMEOUT(isRed(at(window, inPicture)), timeout);
}

QTEST_MAIN(TestX11Program)
#include "tst_x11_program.moc"
