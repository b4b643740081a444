// What the real engine agrees to open: untrusted play lists and names must
// lead to the media they list and to nothing else.
#include "support/DurationLog.h"
#include "support/RealEngine.h"
#include "support/TestMedia.h"

#include <QDir>
#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int startTimeout = 15000;
constexpr int longTimeout = 40000;

bool near(std::optional<double> value, double expected)
{
    return value && qAbs(*value - expected) < 0.05;
}

// Every source mpv could open but a play list must not reach, each one
// something that would play or read data if it were let through.
QStringList refusedSources(const QString &wav)
{
    return {QStringLiteral("av://lavfi:sine=frequency=1000:duration=7"),
            QStringLiteral("lavfi://sine"),
            QStringLiteral("edl://%1,0,0.7").arg(wav),
            QStringLiteral("memory://RIFF"),
            QStringLiteral("fd://0"),
            QStringLiteral("fdclose://0"),
            QStringLiteral("mf://%1").arg(wav),
            QStringLiteral("hex://52494646"),
            QStringLiteral("slice://0-1000@%1").arg(wav),
            QStringLiteral("subfile://%1").arg(wav),
            QStringLiteral("null://"),
            QStringLiteral("dvd://"),
            QStringLiteral("bd://"),
            QStringLiteral("cdda://"),
            QStringLiteral("ffmpeg://file:%1").arg(wav),
            QStringLiteral("lavf://file:%1").arg(wav),
            QStringLiteral("ytdl://abc"),
            QStringLiteral("file://otherhost%1").arg(wav)};
}

} // namespace

class TestEngineSafety : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void refusedAddressesAreNeverOpened();
    void localNamesOpenThatVeryFile();
    void textPlayListsSkipRefusedEntries();
    void xmlPlayListsNameSkippedEntries();
    void userSetUpAndHelpersAreIgnored();

private:
    TestMedia m_media;
    QString m_first;  // 1.0 s
    QString m_second; // 1.5 s
};

void TestEngineSafety::initTestCase()
{
    m_first = m_media.wav(QStringLiteral("first.wav"), 1.0);
    m_second = m_media.wav(QStringLiteral("second.wav"), 1.5, 660.0);
    QVERIFY2(!m_first.isEmpty() && !m_second.isEmpty(), qPrintable(m_media.lastError()));
}

void TestEngineSafety::refusedAddressesAreNeverOpened()
{
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    for (const QString &source : refusedSources(m_first)) {
        engine.setUrl(source);
        QVERIFY2(engine.status().startsWith(QLatin1String("Error: ")), qPrintable(source));
        QVERIFY2(engine.status().contains(source), qPrintable(engine.status()));
        QVERIFY(!engine.duration());
        engine.play();
        QVERIFY2(engine.status().startsWith(QLatin1String("Error: ")), qPrintable(source));
    }
    // Windows drive paths lead nowhere here, and say so.
    engine.setUrl(QStringLiteral("C:\\Music\\song.mp3"));
    QVERIFY(engine.status().contains(QLatin1String("Windows drive")));
    QTest::qWait(500);
    QVERIFY(!engine.duration());
    QCOMPARE(ended.count(), 0);

    // The allowed ways still open: a file:// URL plays its file.
    engine.setUrl(QUrl::fromLocalFile(m_second).toString());
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(near(engine.duration(), 1.5), startTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, startTimeout);

    // A network address goes to mpv; nothing listens here, so it fails
    // with an error rather than being refused.
    engine.setUrl(QStringLiteral("http://127.0.0.1:9/none.mp3"));
    QVERIFY(!engine.status().contains(QLatin1String("not allowed")));
    QTRY_VERIFY_WITH_TIMEOUT(engine.status().startsWith(QLatin1String("Error: ")), longTimeout);
}

void TestEngineSafety::localNamesOpenThatVeryFile()
{
    // Names mpv would otherwise read as an option, a protocol or a fragment,
    // each of a different length so a wrong file shows.
    const QList<std::pair<QString, double>> names = {{QStringLiteral("-x.wav"), 0.6},
                                                     {QStringLiteral("a:b.wav"), 0.7},
                                                     {QStringLiteral("x#y.wav"), 0.8},
                                                     {QStringLiteral("lavfi:foo"), 0.9},
                                                     {QStringLiteral("edl:x.wav"), 1.1}};
    for (const auto &[name, seconds] : names)
        QVERIFY2(!m_media.wav(name, seconds).isEmpty(), qPrintable(m_media.lastError()));

    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    for (const auto &[name, seconds] : names) {
        engine.setUrl(m_media.path(name));
        QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
        // The status may still be the last medium's "Playing": its length
        // tells which file is open.
        QTRY_VERIFY2_WITH_TIMEOUT(near(engine.duration(), seconds), qPrintable(name), startTimeout);
    }

    // Relative names are files of the current folder, even those that look
    // like an option or a protocol.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_media.folder()));
    engine.setUrl(QStringLiteral("-x.wav"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(near(engine.duration(), 0.6), startTimeout);
    engine.setUrl(QStringLiteral("lavfi:foo"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.status(), QStringLiteral("Playing"), startTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(near(engine.duration(), 0.9), startTimeout);
    QVERIFY(QDir::setCurrent(before));

    // A name that is not there says so and names it.
    engine.setUrl(m_media.path(QStringLiteral("-missing.wav")));
    QCOMPARE(engine.status(), QStringLiteral("Error: -missing.wav was not found"));
}

void TestEngineSafety::textPlayListsSkipRefusedEntries()
{
    // mpv reads these lists itself; whatever they hold between two media,
    // only the two media play.
    QString text = QStringLiteral("#EXTM3U\n%1\n").arg(m_first);
    for (const QString &source : refusedSources(m_first))
        text += source + u'\n';
    text += m_second + u'\n';
    const QString m3u = m_media.textFile(QStringLiteral("hostile.m3u"), text);
    QVERIFY(!m3u.isEmpty());

    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    DurationLog log(engine);
    engine.setUrl(m3u);
    QTRY_VERIFY_WITH_TIMEOUT(near(engine.duration(), 1.0), startTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(near(engine.duration(), 1.5), longTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, longTimeout);
    QCOMPARE(log.seen(), (QSet<int>{10, 15}));
    QVERIFY2(engine.status().startsWith(QLatin1String("Media Ended - Skipped ")),
             qPrintable(engine.status()));
    QVERIFY2(engine.status().contains(QLatin1String("av://lavfi:sine")),
             qPrintable(engine.status()));
    QVERIFY2(engine.status().contains(QLatin1String("edl://")), qPrintable(engine.status()));
    QTest::qWait(500);
    QCOMPARE(ended.count(), 1);

    // A refused entry at the end does not keep the list from ending.
    const QString tail = m_media.textFile(
        QStringLiteral("tail.pls"),
        QStringLiteral("[playlist]\nFile1=%1\nFile2=lavfi://sine\nNumberOfEntries=2\n")
            .arg(m_first));
    engine.setUrl(tail);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, longTimeout);
    QVERIFY2(engine.status().startsWith(QLatin1String("Media Ended - Skipped 1 entry: lavfi://")),
             qPrintable(engine.status()));
    QCOMPARE(log.seen(), (QSet<int>{10, 15}));
}

void TestEngineSafety::xmlPlayListsNameSkippedEntries()
{
    const QString asx = m_media.textFile(
        QStringLiteral("mixed.asx"),
        QStringLiteral("<ASX version=\"3.0\"><Entry><Ref href=\"av://lavfi:sine\"/></Entry>"
                       "<Entry><Ref href=\"first.wav\"/></Entry>"
                       "<Entry><Ref href=\"edl://%1\"/></Entry>"
                       "<Entry><Ref href=\"%2\"/></Entry></ASX>\n")
            .arg(m_first, QUrl::fromLocalFile(m_second).toString()));
    QVERIFY(!asx.isEmpty());

    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    DurationLog log(engine);
    engine.setUrl(asx);
    QTRY_VERIFY_WITH_TIMEOUT(
        engine.status().startsWith(QLatin1String("Playing - Skipped 2 entries: ")), startTimeout);
    QVERIFY(engine.status().contains(QLatin1String("av://lavfi:sine")));
    QVERIFY(engine.status().contains(QLatin1String("edl://")));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, longTimeout);
    QCOMPARE(log.seen(), (QSet<int>{10, 15}));

    // Nothing left to play is an error that still names what was skipped.
    const QString none =
        m_media.textFile(QStringLiteral("none.wpl"),
                         QStringLiteral("<?wpl version=\"1.0\"?><smil><body><seq>"
                                        "<media src=\"fd://0\"/></seq></body></smil>\n"));
    engine.setUrl(none);
    QVERIFY2(
        engine.status().startsWith(QLatin1String("Error: the play list none.wpl holds no media "
                                                 "- Skipped 1 entry: fd://0")),
        qPrintable(engine.status()));
    QTest::qWait(300);
    QCOMPARE(ended.count(), 1);
}

void TestEngineSafety::userSetUpAndHelpersAreIgnored()
{
    // A user set-up that would start every medium 25 s in, silence it and
    // run a script, wherever mpv might look for it; and download helpers on
    // the PATH that leave a mark when run.
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString marker = home.filePath(QStringLiteral("ran"));
    const QString conf = QStringLiteral("start=25\nvolume=7\nmute=yes\nytdl=yes\n");
    const QString script = QStringLiteral("local f = io.open(\"%1\", \"w\")\nf:write(\"script\")\n"
                                          "f:close()\n")
                               .arg(marker);
    for (const QString &folder :
         {QStringLiteral("config/mpv"), QStringLiteral(".config/mpv"), QStringLiteral(".mpv")}) {
        QVERIFY(QDir(home.path()).mkpath(folder + QStringLiteral("/scripts")));
        QFile file(home.filePath(folder + QStringLiteral("/mpv.conf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(conf.toUtf8());
        file.close();
        QFile lua(home.filePath(folder + QStringLiteral("/scripts/mark.lua")));
        QVERIFY(lua.open(QIODevice::WriteOnly));
        lua.write(script.toUtf8());
    }
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("bin")));
    for (const QString &helper : {QStringLiteral("yt-dlp"), QStringLiteral("youtube-dl")}) {
        QFile file(home.filePath(QStringLiteral("bin/") + helper));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/sh\necho helper > '%1'\nexit 1\n").arg(marker).toUtf8());
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    const QString longTone = m_media.wav(QStringLiteral("long.wav"), 30.0);
    QVERIFY(!longTone.isEmpty());

    const QByteArray names[] = {"HOME", "XDG_CONFIG_HOME", "MPV_HOME", "PATH"};
    QHash<QByteArray, QByteArray> saved;
    for (const QByteArray &name : names)
        saved.insert(name, qgetenv(name.constData()));
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("MPV_HOME", QFile::encodeName(home.filePath(QStringLiteral(".mpv"))));
    qputenv("PATH", QFile::encodeName(home.filePath(QStringLiteral("bin"))) + ':' + saved["PATH"]);
    auto restore = qScopeGuard([&] {
        for (auto it = saved.cbegin(); it != saved.cend(); ++it)
            qputenv(it.key().constData(), it.value());
    });

    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QCOMPARE(engine.volume(), 50);
    engine.setUrl(longTone);
    QTRY_VERIFY_WITH_TIMEOUT(engine.position().has_value(), startTimeout);
    QVERIFY2(*engine.position() < 20.0, qPrintable(QString::number(*engine.position())));

    // A web address that a download helper would claim.
    engine.setUrl(QStringLiteral("http://127.0.0.1:9/watch?v=abcdefghijk"));
    QTRY_VERIFY_WITH_TIMEOUT(engine.status().startsWith(QLatin1String("Error: ")), longTimeout);
    QTest::qWait(500);
    QVERIFY2(!QFile::exists(marker), "a user script or a download helper ran");
}

QTEST_MAIN(TestEngineSafety)
#include "tst_engine_safety.moc"
