// The one table of file types against the texts the window shows, the shared
// MIME database, and the reads the player makes of outside files.

#include "core/BoundedRead.h"
#include "core/FilterText.h"
#include "core/MediaFilters.h"
#include "core/MediaTypes.h"
#include "support/FormFixture.h"
#include "support/TestFiles.h"
#include "widgets/FileListBox.h"

#include <QMimeDatabase>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QSet<QString> tableSuffixes(bool listedOnly)
{
    QSet<QString> suffixes;
    for (const MediaTypes::Type &type : MediaTypes::all())
        if (!listedOnly || type.listed)
            suffixes << QLatin1String(type.suffix);
    return suffixes;
}

// "*.mp3" and " *.m2ts" as "mp3" and "m2ts"; "*.*" and the like as nothing.
QSet<QString> suffixesOf(const QStringList &patterns)
{
    QSet<QString> suffixes;
    for (const QString &pattern : patterns) {
        const QString p = pattern.trimmed().toLower();
        if (p.startsWith(QLatin1String("*.")) && p != QLatin1String("*.*"))
            suffixes << p.mid(2);
    }
    return suffixes;
}

} // namespace

class TestMediaTypes : public QObject
{
    Q_OBJECT
private slots:
    void windowTextsAgreeWithTheTable();
    void mimeTypesAreTheDatabases();
    void fileNames_data();
    void fileNames();
    void subtitleFiles_data();
    void subtitleFiles();
    void boundedRead_data();
    void boundedRead();
    void boundedReadStopsAtTheCap();
};

void TestMediaTypes::windowTextsAgreeWithTheTable()
{
    // The file list shows exactly the listed types.
    QCOMPARE(suffixesOf(FileListBox::designPattern.split(u';')), tableSuffixes(true));

    // The dialogs' catalogue offers every type of the table, and no other.
    const FilterText open(mediaFilterText(false));
    QSet<QString> offered;
    for (const FilterText::Pair &pair : open.pairs())
        offered += suffixesOf(pair.patterns);
    QCOMPARE(offered, tableSuffixes(false));
    const FilterText add(mediaFilterText(true));
    QSet<QString> added;
    for (const FilterText::Pair &pair : add.pairs())
        added += suffixesOf(pair.patterns);
    QCOMPARE(added, offered);

    // The combo box lists the same types (some twice).
    FormFixture f;
    auto *combo = f.get<QComboBox>("cmbFileType");
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QCOMPARE(suffixesOf(items), tableSuffixes(false));

    // The play-list types are the Media Playlist row of the catalogue.
    const FilterText::Pair lists = open.pairs().first();
    QSet<QString> playLists;
    for (const MediaTypes::Type &type : MediaTypes::all())
        if (type.playList != MediaTypes::PlayListFormat::None)
            playLists << QLatin1String(type.suffix);
    QCOMPARE(suffixesOf(lists.patterns), playLists);
}

void TestMediaTypes::mimeTypesAreTheDatabases()
{
    const QMimeDatabase database;
    if (!database.mimeTypeForName(QStringLiteral("audio/mpeg")).isValid())
        QSKIP("No shared MIME database here (Debian package shared-mime-info)");
    for (const MediaTypes::Type &type : MediaTypes::all()) {
        QStringList known;
        for (const QMimeType &mime :
             database.mimeTypesForFileName(QStringLiteral("x.") + QLatin1String(type.suffix)))
            known << mime.name();
        for (const QString &name :
             QString::fromLatin1(type.mimeTypes).split(u' ', Qt::SkipEmptyParts))
            QVERIFY2(known.contains(name),
                     qPrintable(QStringLiteral("%1 for .%2, the database says %3")
                                    .arg(name, QLatin1String(type.suffix), known.join(u' '))));
    }
    QStringList all = MediaTypes::mimeTypes();
    QVERIFY(std::is_sorted(all.begin(), all.end()));
    QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), all.size());
    QVERIFY(all.contains(QStringLiteral("audio/midi")) &&
            all.contains(QStringLiteral("video/mp4")));
}

void TestMediaTypes::fileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("playList");
    QTest::addColumn<bool>("xml");

    QTest::newRow("lower case") << "/m/song.mp3"
                                << "mp3" << false << false;
    QTest::newRow("upper case") << "/m/CLIP.MP4"
                                << "mp4" << false << false;
    QTest::newRow("two dots") << "/m/a.tar.mid"
                              << "mid" << false << false;
    QTest::newRow("hyphen") << "/tv/show.drv-ms"
                            << "drv-ms" << false << false;
    QTest::newRow("no suffix") << "/m/mp3"
                               << "" << false << false;
    QTest::newRow("unknown") << "/m/notes.txt"
                             << "" << false << false;
    QTest::newRow("windows media") << "/l/PlayList1.WPL"
                                   << "wpl" << true << true;
    QTest::newRow("asx") << "x.asx"
                         << "asx" << true << true;
    QTest::newRow("wvx") << "x.wvx"
                         << "wvx" << true << true;
    QTest::newRow("wmx") << "x.wmx"
                         << "wmx" << true << true;
    QTest::newRow("m3u") << "mix.M3U"
                         << "m3u" << true << false;
    QTest::newRow("stream with query") << "http://example.com/a.asx?x=1"
                                       << "" << true << false;
    QTest::newRow("stream of a song") << "https://example.com/a.mp3"
                                      << "" << false << false;
    QTest::newRow("a folder's name only") << "wpl"
                                          << "" << false << false;
}

void TestMediaTypes::fileNames()
{
    QFETCH(QString, name);
    QFETCH(QString, suffix);
    QFETCH(bool, playList);
    QFETCH(bool, xml);
    if (!name.contains(QLatin1String("://"))) {
        const MediaTypes::Type *type = MediaTypes::forFileName(name);
        QCOMPARE(type ? QString::fromLatin1(type->suffix) : QString(), suffix);
        QCOMPARE(MediaTypes::isXmlPlayList(name), xml);
    }
    QCOMPARE(MediaTypes::isPlayListFile(name), playList);
}

void TestMediaTypes::subtitleFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("subtitle");
    QTest::newRow("srt") << "/v/film.srt" << true;
    QTest::newRow("upper case ass") << "/v/FILM.ASS" << true;
    QTest::newRow("ssa") << "film.en.ssa" << true;
    QTest::newRow("vtt") << "film.vtt" << true;
    QTest::newRow("sub") << "film.sub" << true;
    QTest::newRow("a video named after one") << "/v/film.srt.mp4" << false;
    QTest::newRow("a name without suffix") << "/v/srt" << false;
    QTest::newRow("a folder of subtitles") << "/v/subs/" << false;
    QTest::newRow("idx, which needs its sub") << "film.idx" << false;
}

void TestMediaTypes::subtitleFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, subtitle);
    QCOMPARE(MediaTypes::isSubtitleFile(name), subtitle);
    // Never a medium of its own: not in the table the browser, the dialogs,
    // the play list and the desktop entry go by.
    if (subtitle) {
        QCOMPARE(MediaTypes::forFileName(name), nullptr);
        QVERIFY(!MediaTypes::isPlayListFile(name));
        QVERIFY(!tableSuffixes(false).contains(QFileInfo(name).suffix().toLower()));
    }
}

void TestMediaTypes::boundedRead_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("cap");
    QTest::addColumn<int>("failure");

    using F = BoundedRead::Failure;
    QTest::newRow("small file") << "a.txt" << QByteArray("hello") << qint64(100) << int(F::None);
    QTest::newRow("empty file") << "e.txt" << QByteArray() << qint64(100) << int(F::None);
    QTest::newRow("exactly the cap")
        << "c.txt" << QByteArray(64, 'x') << qint64(64) << int(F::None);
    QTest::newRow("one byte more")
        << "d.txt" << QByteArray(65, 'x') << qint64(64) << int(F::TooLarge);
    QTest::newRow("missing") << "" << QByteArray() << qint64(100) << int(F::Missing);
    QTest::newRow("folder") << "/" << QByteArray() << qint64(100) << int(F::NotAFile);
    QTest::newRow("named pipe") << "fifo" << QByteArray() << qint64(100) << int(F::NotAFile);
}

void TestMediaTypes::boundedRead()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, cap);
    QFETCH(int, failure);
    QTemporaryDir dir;
    const bool folder = name == QLatin1String("/");
    const QString path =
        folder ? dir.path() : dir.filePath(name.isEmpty() ? QStringLiteral("none") : name);
    if (name == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    else if (!name.isEmpty() && !folder)
        QVERIFY(writeBytes(path, bytes));

    const BoundedRead read = BoundedRead::file(path, cap);
    QCOMPARE(int(read.failure), failure);
    QCOMPARE(read.ok(), failure == int(BoundedRead::Failure::None));
    QCOMPARE(read.bytes, read.ok() ? bytes : QByteArray());
    QCOMPARE(read.error.isEmpty(), read.ok());
}

void TestMediaTypes::boundedReadStopsAtTheCap()
{
    // A file that says it is empty and is not: the read stops at the cap.
    const QString maps = QStringLiteral("/proc/self/maps");
    if (!QFileInfo(maps).isFile() || QFileInfo(maps).size() != 0)
        QSKIP("No /proc here that claims a size of 0");
    const BoundedRead small = BoundedRead::file(maps, 16);
    QCOMPARE(small.failure, BoundedRead::Failure::TooLarge);
    const BoundedRead whole = BoundedRead::file(maps, 64 * 1024 * 1024);
    QVERIFY(whole.ok());
    QVERIFY(whole.bytes.size() > 16);

    // Without the right to read it, it is unreadable (root may read anything).
    if (::geteuid() == 0)
        return;
    QTemporaryDir dir;
    const QString locked = dir.filePath(QStringLiteral("locked.txt"));
    QVERIFY(writeBytes(locked, "secret"));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
    const BoundedRead refused = BoundedRead::file(locked, 100);
    QCOMPARE(refused.failure, BoundedRead::Failure::Unreadable);
    QVERIFY(!refused.error.isEmpty());
}

QTEST_MAIN(TestMediaTypes)
#include "tst_mediatypes.moc"
