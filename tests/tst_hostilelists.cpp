// Play lists written to lead the real engine astray: lists from the network
// naming local files, names that are no file on this system, lists inside
// themselves, and lists of twenty thousand entries that all fail. Each
// must end with the good media playing and the rest named in the status.
#include "support/DurationLog.h"
#include "support/LocalHttpServer.h"
#include "support/MidiWriter.h"
#include "support/RealEngine.h"
#include "support/TestFiles.h"
#include "support/TestMedia.h"

#include <QtTest>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr int startTimeout = 15000;
constexpr int longTimeout = 40000;
// A generous bound for lists that once took minutes.
constexpr int manyTimeout = 90000;

bool near(std::optional<double> value, double expected)
{
    return value && qAbs(*value - expected) < 0.05;
}

// Tells whether anything opened these files since it was made.
class OpenWatch
{
public:
    explicit OpenWatch(const QStringList &paths) : m_fd(inotify_init1(IN_NONBLOCK))
    {
        for (const QString &path : paths)
            inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN);
    }
    ~OpenWatch() { ::close(m_fd); }
    bool anyOpened() const
    {
        char buffer[4096];
        return m_fd >= 0 && ::read(m_fd, buffer, sizeof buffer) > 0;
    }

private:
    int m_fd;
};

} // namespace

class TestHostileLists : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void networkListsNameOnlyNetworkSources_data();
    void networkListsNameOnlyNetworkSources();
    void namesOfNoFileHereAreNamed_data();
    void namesOfNoFileHereAreNamed();
    void nestedListsSettle_data();
    void nestedListsSettle();
    void manyFailingEntriesSettle_data();
    void manyFailingEntriesSettle();

private:
    TestMedia m_media;
    QString m_first;  // 1.0 s
    QString m_second; // 1.5 s
    QString m_song;   // MIDI, 2.0 s
};

void TestHostileLists::initTestCase()
{
    m_first = m_media.wav(QStringLiteral("first.wav"), 1.0);
    m_second = m_media.wav(QStringLiteral("second.wav"), 1.5, 660.0);
    QVERIFY2(!m_first.isEmpty() && !m_second.isEmpty(), qPrintable(m_media.lastError()));
    MidiWriter song(480);
    song.track().tempo(0, 500000).note(0, 1920, 60);
    m_song = m_media.path(QStringLiteral("local.mid"));
    QVERIFY(writeBytes(m_song, song.file(0)));
}

void TestHostileLists::networkListsNameOnlyNetworkSources_data()
{
    // %1 a local MIDI song, %2 a local WAV, %3 a WAV on the server. Whatever
    // mpv makes of the list, nothing local may be opened.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("plays");
    QTest::newRow(".m3u") << "/list.m3u"
                          << "#EXTM3U\n%1\nfile://%2\n%2\n%3\n"
                          << true;
    QTest::newRow("HLS .m3u8") << "/live.m3u8"
                               << "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n"
                                  "#EXT-X-MEDIA-SEQUENCE:0\n#EXTINF:2.0,\n%1\n#EXTINF:1.0,\n"
                                  "file://%2\n#EXTINF:1.0,\n%2\n#EXTINF:1.5,\n%3\n"
                                  "#EXT-X-ENDLIST\n"
                               << false;
}

void TestHostileLists::networkListsNameOnlyNetworkSources()
{
    QFETCH(QString, name);
    QFETCH(QString, body);
    QFETCH(bool, plays);
    LocalHttpServer server;
    QVERIFY(server.isListening());
    server.serve(QStringLiteral("/good.wav"), "audio/x-wav", readBytes(m_second));
    server.serve(name, "audio/x-mpegurl",
                 body.arg(m_song, m_first, server.url(QStringLiteral("/good.wav"))).toUtf8());
    const OpenWatch watch({m_song, m_first});

    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    DurationLog log(engine);
    engine.setUrl(server.url(name));
    if (plays) {
        QTRY_VERIFY_WITH_TIMEOUT(near(engine.duration(), 1.5), longTimeout);
        QTRY_VERIFY2_WITH_TIMEOUT(engine.status().contains(m_song), qPrintable(engine.status()),
                                  longTimeout);
        QVERIFY2(engine.status().contains(QLatin1String("a play list from the network")),
                 qPrintable(engine.status()));
        QVERIFY2(engine.status().contains(m_first), qPrintable(engine.status()));
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(server.requested().contains(name), longTimeout);
        QTRY_VERIFY2_WITH_TIMEOUT(!engine.status().startsWith(QLatin1String("Opening")),
                                  qPrintable(engine.status()), longTimeout);
    }
    QTest::qWait(1000);
    QVERIFY2(!watch.anyOpened(), "a local file named by a list from the network was opened");
    QVERIFY(!log.seen().contains(10));
    QVERIFY(!log.seen().contains(20));
}

void TestHostileLists::namesOfNoFileHereAreNamed_data()
{
    // %1 the 1.0 s WAV, which must never play; %2 the 1.5 s one, which must.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a drive in an .m3u") << "drive.m3u"
                                        << "C:\\Music\\first.wav\n%2\n"
                                        << "a Windows drive path (C:)";
    QTest::newRow("a drive with slashes in a .pls")
        << "drive.pls"
        << "[playlist]\nFile1=D:/Music/first.wav\nFile2=%2\nNumberOfEntries=2\n"
        << "a Windows drive path (D:)";
    QTest::newRow("a share in an .m3u") << "share.m3u"
                                        << "\\\\server\\music\\first.wav\n%2\n"
                                        << "a Windows network or drive path";
    QTest::newRow("a share in an .asx")
        << "share.asx"
        << "<ASX version=\"3.0\"><Entry><Ref href=\"\\\\server\\music\\first.wav\"/></Entry>"
           "<Entry><Ref href=\"%2\"/></Entry></ASX>\n"
        << "a Windows network or drive path";
    QTest::newRow("a file on another computer in an .m3u") << "host.m3u"
                                                           << "file://server%1\n%2\n"
                                                           << "a file on another computer (server)";
    QTest::newRow("localhost in a file address in a .pls")
        << "localhost.pls"
        << "[playlist]\nFile1=FILE://localhost%1\nFile2=%2\nNumberOfEntries=2\n"
        << "a file address with a host (localhost)";
    QTest::newRow("a decoded NUL in an .asx")
        << "nul.asx"
        << "<ASX version=\"3.0\"><Entry><Ref href=\"file://%1%00.mp3\"/></Entry>"
           "<Entry><Ref href=\"%2\"/></Entry></ASX>\n"
        << "holds a NUL character";
    QTest::newRow("a decoded NUL in a .wpl")
        << "nul.wpl"
        << "<?wpl version=\"1.0\"?><smil><body><seq><media src=\"file://%1%00.mp3\"/>"
           "<media src=\"%2\"/></seq></body></smil>\n"
        << "holds a NUL character";
}

void TestHostileLists::namesOfNoFileHereAreNamed()
{
    QFETCH(QString, name);
    QFETCH(QString, content);
    QFETCH(QString, reason);
    const QString list = m_media.textFile(name, QString(content)
                                                    .replace(QLatin1String("%1"), m_first)
                                                    .replace(QLatin1String("%2"), m_second));
    QVERIFY(!list.isEmpty());
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    DurationLog log(engine);
    engine.setUrl(list);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, longTimeout);
    QVERIFY2(!log.seen().contains(10), "the refused entry was opened");
    QVERIFY(log.seen().contains(15));
    QVERIFY2(engine.status().startsWith(QLatin1String("Media Ended - Skipped 1 entry: ")),
             qPrintable(engine.status()));
    QVERIFY2(engine.status().contains(reason), qPrintable(engine.status()));
}

void TestHostileLists::nestedListsSettle_data()
{
    // files: name and content, "%w" the 1.5 s WAV; the first file is opened.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("reason");
    QString self;
    for (int i = 0; i < 30; ++i)
        self += QStringLiteral("self.m3u\n");
    QTest::newRow("a list naming itself 30 times")
        << QStringList{QStringLiteral("self.m3u"), self + QStringLiteral("%w\n")}
        << "a play list that names itself";
    QTest::newRow("two lists naming each other")
        << QStringList{QStringLiteral("ping.m3u"), QStringLiteral("pong.m3u\n%w\n"),
                       QStringLiteral("pong.m3u"), QStringLiteral("ping.m3u\npong.m3u\n")}
        << "a play list that names a play list it is inside";
    QStringList deep;
    for (int i = 0; i < 12; ++i)
        deep << QStringLiteral("deep%1.pls").arg(i)
             << QStringLiteral("[playlist]\nFile1=deep%1.pls\nFile2=%w\nNumberOfEntries=2\n")
                    .arg(i + 1);
    QTest::newRow("twelve lists deep") << deep << "inside more than 8 play lists";
}

void TestHostileLists::nestedListsSettle()
{
    QFETCH(QStringList, files);
    QFETCH(QString, reason);
    for (int i = 0; i + 1 < files.size(); i += 2)
        QVERIFY(
            !m_media.textFile(files[i], QString(files[i + 1]).replace("%w", m_second)).isEmpty());
    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    engine.setUrl(m_media.path(files.first()));
    QTRY_VERIFY_WITH_TIMEOUT(ended.count() >= 1, longTimeout);
    QVERIFY2(engine.status().contains(reason), qPrintable(engine.status()));
    // Settled: nothing more plays, nothing more is skipped.
    const QString settled = engine.status();
    QTest::qWait(1000);
    QCOMPARE(engine.status(), settled);
}

void TestHostileLists::manyFailingEntriesSettle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("skipped");
    const QString count = QStringLiteral("20000");
    QTest::newRow("missing files in an .m3u")
        << "missing.m3u" << m_media.path(QStringLiteral("missing-%1.wav")) << "%1\n"
        << QString();
    QTest::newRow("refused sources in an .m3u") << "refused.m3u"
                                                << "lavfi://sine%1"
                                                << "%1\n"
                                                << "Skipped " + count + " entries";
    QTest::newRow("refused sources in an .asx") << "refused.asx"
                                                << "<Entry><Ref href=\"fd://%1\"/></Entry>"
                                                << "<Entry><Ref href=\"%1\"/></Entry>"
                                                << "Skipped " + count + " entries";
}

void TestHostileLists::manyFailingEntriesSettle()
{
    QFETCH(QString, name);
    QFETCH(QString, entry);
    QFETCH(QString, last);
    QFETCH(QString, skipped);
    const bool asx = name.endsWith(QLatin1String(".asx"));
    QString text = asx ? QStringLiteral("<ASX version=\"3.0\">\n") : QString();
    for (int i = 0; i < 20000; ++i)
        text += entry.arg(i) + u'\n';
    text += last.arg(m_second) + (asx ? QStringLiteral("</ASX>\n") : QString());
    const QString list = m_media.textFile(name, text);
    QVERIFY(!list.isEmpty());

    const auto engineOwner = makeEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    QSignalSpy ended(&engine, &MediaEngine::endOfStream);
    engine.setUrl(list);
    QTRY_VERIFY_WITH_TIMEOUT(near(engine.duration(), 1.5), manyTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, longTimeout);
    QVERIFY2(engine.status().contains(skipped), qPrintable(engine.status().left(300)));
    // The status names a few and counts the rest.
    QVERIFY2(engine.status().size() < 2000, qPrintable(engine.status().left(300)));
}

QTEST_MAIN(TestHostileLists)
#include "tst_hostilelists.moc"
