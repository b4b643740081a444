#include "commands/playlist/PlayListFiles.h"
#include "core/PlayListText.h"
#include "support/FormFixture.h"
#include "widgets/PlayListBox.h"

#include "support/TestFiles.h"

#include <QtTest>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList entriesOf(const PlayListBox &box)
{
    QStringList entries;
    for (int i = 0; i < box.listCount(); ++i)
        entries << box.list(i);
    return entries;
}

struct stat statOf(const QString &path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

bool chownToNobody(const QString &path)
{
    return ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
}

} // namespace

class TestPlayListFiles : public QObject
{
    Q_OBJECT
private slots:
    void saveWritesEveryEntryByteExact();
    void saveAndLoadRoundTrip();
    void cancelledDialogsChangeNothing();
    void saveFailuresKeepOldFileAndList();
    void saveRefusesEntriesTheFormatCannotHold();
    void loadReadsHandMadeFiles();
    void loadFailuresKeepTheList();
    void loadBoundsTheList_data();
    void loadBoundsTheList();
    void saveOverWhatIsThere_data();
    void saveOverWhatIsThere();

private:
    struct Fixture : FormFixture
    {
        PlayListBox &list = *get<PlayListBox>("PlayList1");
        void fill(const QStringList &entries)
        {
            for (const QString &entry : entries)
                list.addEntry(entry);
        }
    };
};

void TestPlayListFiles::saveWritesEveryEntryByteExact()
{
    QTemporaryDir dir;
    Fixture fx;

    // An empty list gives 0 bytes, replacing what was there.
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    QVERIFY(writeBytes(empty, "old content"));
    fx.dialog.answerOpen(empty);
    fx.run("cmdSaveList_Click");
    QCOMPARE(fx.dialog.openShown.last().filter, QStringLiteral("Text File (*.txt)|*.txt|"));
    QVERIFY(!fx.dialog.cancelError());
    QCOMPARE(fx.dialog.fileName(), QString());
    QVERIFY(QFileInfo::exists(empty));
    QCOMPARE(readBytes(empty), QByteArray());

    // 150 entries give 150 lines (not only 101), under the name as typed.
    QStringList entries;
    for (int i = 0; i < 150; ++i)
        entries << QStringLiteral("/music/track %1.mp3").arg(i);
    fx.fill(entries);
    selectQuietly(fx.list, 7);
    const QString noExtension = dir.filePath(QStringLiteral("mylist"));
    fx.dialog.answerOpen(noExtension);
    fx.run("cmdSaveList_Click");
    QByteArray expected;
    for (const QString &entry : entries)
        expected += "\"" + entry.toUtf8() + "\"\r\n";
    QCOMPARE(readBytes(noExtension), expected);
    QCOMPARE(readBytes(noExtension).count("\r\n"), 150);
    QVERIFY(!QFileInfo::exists(noExtension + QStringLiteral(".txt")));
    // Saving reads the list and nothing else.
    QCOMPARE(entriesOf(fx.list), entries);
    QCOMPARE(fx.list.listIndex(), 7);
    QVERIFY(fx.engine.commands().isEmpty());
    QVERIFY(fx.dialog.messages.isEmpty());
}

void TestPlayListFiles::saveAndLoadRoundTrip()
{
    QTemporaryDir dir;
    Fixture fx;
    const QStringList entries = {
        QStringLiteral("/music/Hello, World.mp3"),
        QStringLiteral("/music/  spaced  out  .ogg"),
        QStringLiteral("/music/Ünïcödé 日本語 😀/a&b<c>.flac"),
        QStringLiteral("-dash.mp3"),
        QStringLiteral("/music/a.mp3"),
        QStringLiteral("/music/a.mp3"),
    };
    fx.fill(entries);
    const QString path = dir.filePath(QStringLiteral("round trip.txt"));
    fx.dialog.answerOpen(path);
    fx.run("cmdSaveList_Click");

    fx.list.clearEntries();
    fx.list.addEntry(QStringLiteral("/replaced.mp3"));
    selectQuietly(fx.list, 0);
    fx.edit("pfname")->setText(QStringLiteral("/playing.mp3"));
    fx.dialog.answerOpen(path);
    runHandler(fx.form, "cmdLoadList_Click");
    QCOMPARE(fx.dialog.openShown.last().filter, QStringLiteral("*.txt"));
    QCOMPARE(fx.dialog.fileName(), QString());
    QCOMPARE(entriesOf(fx.list), entries);
    // Loading selects nothing and leaves playback alone.
    QCOMPARE(fx.list.listIndex(), -1);
    QCOMPARE(fx.edit("pfname")->text(), QStringLiteral("/playing.mp3"));
    QVERIFY(fx.engine.commands().isEmpty());
    QVERIFY(fx.dialog.messages.isEmpty());
}

void TestPlayListFiles::cancelledDialogsChangeNothing()
{
    QTemporaryDir dir;
    Fixture fx;
    fx.fill({QStringLiteral("/a.mp3")});
    fx.dialog.cancelOpen();
    fx.run("cmdSaveList_Click");
    fx.dialog.cancelOpen();
    fx.run("cmdLoadList_Click");
    QCOMPARE(entriesOf(fx.list), QStringList{QStringLiteral("/a.mp3")});
    QCOMPARE(fx.dialog.openShown.size(), 2);
    QVERIFY(fx.dialog.messages.isEmpty());
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestPlayListFiles::saveFailuresKeepOldFileAndList()
{
    QTemporaryDir dir;
    Fixture fx;
    fx.fill({QStringLiteral("/a.mp3"), QStringLiteral("/b.mp3")});

    // Into a folder that does not exist.
    const QString missing = dir.filePath(QStringLiteral("no such folder/list.txt"));
    fx.dialog.answerOpen(missing);
    fx.run("cmdSaveList_Click");
    QCOMPARE(fx.dialog.messages.size(), 1);
    QVERIFY2(fx.dialog.messages.last().startsWith(QStringLiteral("Error: ")),
             qPrintable(fx.dialog.messages.last()));
    QVERIFY(fx.dialog.messages.last().contains(missing));
    QVERIFY(!QFileInfo::exists(missing));

    // Onto a folder's name.
    const QString folder = dir.filePath(QStringLiteral("a folder"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("a folder")));
    fx.dialog.answerOpen(folder);
    fx.run("cmdSaveList_Click");
    QCOMPARE(fx.dialog.messages.size(), 2);
    QVERIFY(fx.dialog.messages.last().contains(folder));
    QVERIFY(QFileInfo(folder).isDir());
    // No half-written or temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("a folder")});

    QCOMPARE(entriesOf(fx.list), QStringList({QStringLiteral("/a.mp3"), QStringLiteral("/b.mp3")}));
}

void TestPlayListFiles::saveRefusesEntriesTheFormatCannotHold()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    for (const QString &bad : {QStringLiteral("/m/say \"hi\".mp3"), QStringLiteral("/m/two\nlines"),
                               QStringLiteral("/m/cr\rhere")}) {
        Fixture fx;
        QVERIFY(writeBytes(path, "\"/old.mp3\"\r\n"));
        fx.fill({QStringLiteral("/good.mp3"), bad, QStringLiteral("/after.mp3")});
        fx.dialog.answerOpen(path);
        fx.run("cmdSaveList_Click");
        QCOMPARE(fx.dialog.messages.size(), 1);
        QVERIFY(fx.dialog.messages.first().startsWith(QStringLiteral("Error: ")));
        QVERIFY2(fx.dialog.messages.first().contains(bad), qPrintable(fx.dialog.messages.first()));
        QCOMPARE(readBytes(path), QByteArray("\"/old.mp3\"\r\n"));
        QCOMPARE(fx.list.listCount(), 3);
    }
}

void TestPlayListFiles::loadReadsHandMadeFiles()
{
    QTemporaryDir dir;
    Fixture fx;

    // Two unquoted paths on a line, LF-only, a byte-order mark, blank lines.
    const QString handMade = dir.filePath(QStringLiteral("hand.txt"));
    QVERIFY(
        writeBytes(handMade, "\xEF\xBB\xBF\"/m/first.mp3\"\n\n/m/a.mp3,/m/b.mp3\n  /m/c.mp3  \n"));
    fx.dialog.answerOpen(handMade);
    fx.run("cmdLoadList_Click");
    QCOMPARE(entriesOf(fx.list),
             QStringList({QStringLiteral("/m/first.mp3"), QStringLiteral("/m/a.mp3"),
                          QStringLiteral("/m/b.mp3"), QStringLiteral("/m/c.mp3")}));

    // A 0-byte file empties the list without a word.
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    QVERIFY(writeBytes(empty, QByteArray()));
    fx.dialog.answerOpen(empty);
    fx.run("cmdLoadList_Click");
    QCOMPARE(fx.list.listCount(), 0);
    QVERIFY(fx.dialog.messages.isEmpty());
}

void TestPlayListFiles::loadFailuresKeepTheList()
{
    QTemporaryDir dir;
    Fixture fx;
    const QStringList kept = {QStringLiteral("/keep/a.mp3"), QStringLiteral("/keep/b.mp3")};
    fx.fill(kept);

    for (const QString &bad : {dir.filePath(QStringLiteral("mistyped.txt")), dir.path()}) {
        fx.dialog.messages.clear();
        fx.dialog.answerOpen(bad);
        fx.run("cmdLoadList_Click");
        QCOMPARE(fx.dialog.messages, QStringList{QStringLiteral("Error: File Not Found")});
        QCOMPARE(entriesOf(fx.list), kept);
        QCOMPARE(fx.dialog.fileName(), QString());
    }

    // Pipes and devices are refused before any read, which could wait for
    // ever or never end.
    const QString pipe = dir.filePath(QStringLiteral("pipe.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    for (const QString &bad : {pipe, QStringLiteral("/dev/zero")}) {
        fx.dialog.messages.clear();
        fx.dialog.answerOpen(bad);
        fx.run("cmdLoadList_Click");
        QCOMPARE(fx.dialog.messages,
                 QStringList{QStringLiteral("Error: %1 was not loaded: it is a pipe or a device, "
                                            "not a file.")
                                 .arg(bad)});
        QCOMPARE(entriesOf(fx.list), kept);
    }

    if (::geteuid() != 0) {
        const QString unreadable = dir.filePath(QStringLiteral("secret.txt"));
        QVERIFY(writeBytes(unreadable, "\"/x.mp3\"\r\n"));
        QVERIFY(QFile::setPermissions(unreadable, QFile::WriteOwner));
        fx.dialog.messages.clear();
        fx.dialog.answerOpen(unreadable);
        fx.run("cmdLoadList_Click");
        QCOMPARE(fx.dialog.messages, QStringList{QStringLiteral("Error: File Not Found")});
        QCOMPARE(entriesOf(fx.list), kept);
    }
}

void TestPlayListFiles::loadBoundsTheList_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<QString>("refusal");
    const qsizetype most = PlayListText::maxEntries;
    QTest::newRow("a million, one a line") << QByteArray("\"/m/a.mp3\"\r\n") << most << QString();
    QTest::newRow("one more") << QByteArray("a\n") << most + 1
                              << QStringLiteral("with more than 1,000,000 entries it is too long");
    QTest::newRow("20 MB of a,a,a")
        << QByteArray("a,") << qsizetype(10000000)
        << QStringLiteral("with more than 1,000,000 entries it is too long");
    QTest::newRow("beyond 64 MB") << QByteArray("\"/media/some/long/name.mp3\"\r\n")
                                  << qsizetype(2500000)
                                  << QStringLiteral("at more than 64 MB it is too large");
}

void TestPlayListFiles::loadBoundsTheList()
{
    QFETCH(QByteArray, field);
    QFETCH(qsizetype, count);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    QVERIFY(writeBytes(path, field.repeated(count)));
    Fixture fx;
    const QStringList kept = {QStringLiteral("/keep/a.mp3")};
    fx.fill(kept);

    fx.dialog.answerOpen(path);
    fx.run("cmdLoadList_Click");
    if (refusal.isEmpty()) {
        QVERIFY(fx.dialog.messages.isEmpty());
        QCOMPARE(fx.list.listCount(), count);
        QCOMPARE(fx.list.list(int(count - 1)), QStringLiteral("/m/a.mp3"));
        return;
    }
    // Refused before the list is touched, saying why.
    QCOMPARE(fx.dialog.messages.size(), 1);
    QVERIFY2(fx.dialog.messages.first().startsWith(QStringLiteral("Error: ") + path),
             qPrintable(fx.dialog.messages.first()));
    QVERIFY2(fx.dialog.messages.first().contains(refusal), qPrintable(fx.dialog.messages.first()));
    QCOMPARE(entriesOf(fx.list), kept);
}

void TestPlayListFiles::saveOverWhatIsThere_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("a pipe") << "pipe";
    QTest::newRow("another user's 0640 file, as root") << "other owner";
    QTest::newRow("a file with two names") << "two names";
    QTest::newRow("a writable file in a folder the user may not write") << "locked folder";
}

// What is there keeps its kind, owner, group, mode and names; a folder that
// lets no file be made beside it still lets the file itself be written.
void TestPlayListFiles::saveOverWhatIsThere()
{
    QFETCH(QString, what);
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther));
    const QByteArray saved = "\"/a.mp3\"\r\n\"/b.mp3\"\r\n";
    const QString folder = dir.filePath(QStringLiteral("folder"));
    const QString target = folder + QStringLiteral("/list.txt");
    const QString otherName = dir.filePath(QStringLiteral("other name.txt"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    if (what == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0644), 0);
    else
        QVERIFY(writeBytes(target, "\"/old.mp3\"\r\n"));
    if (what == QLatin1String("other owner") || what == QLatin1String("locked folder")) {
        if (::geteuid() != 0)
            QSKIP("only root can give a file to another user here");
        QVERIFY(chownToNobody(target));
        QCOMPARE(::chmod(QFile::encodeName(target).constData(),
                         what == QLatin1String("other owner") ? 0640 : 0644),
                 0);
    }
    if (what == QLatin1String("two names"))
        QCOMPARE(
            ::link(QFile::encodeName(target).constData(), QFile::encodeName(otherName).constData()),
            0);
    const struct stat before = statOf(target);

    Fixture fx;
    fx.fill({QStringLiteral("/a.mp3"), QStringLiteral("/b.mp3")});
    fx.dialog.answerOpen(target);
    if (what == QLatin1String("locked folder")) {
        // As the user nobody, in a folder of root's that nobody may not write.
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
        QVERIFY(::setegid(65534) == 0 && ::seteuid(65534) == 0);
        fx.run("cmdSaveList_Click");
        QVERIFY(::seteuid(0) == 0 && ::setegid(0) == 0);
    } else {
        fx.run("cmdSaveList_Click");
    }
    const struct stat after = statOf(target);
    if (what == QLatin1String("pipe")) {
        QCOMPARE(fx.dialog.messages.size(), 1);
        QVERIFY2(fx.dialog.messages.first().contains(target +
                                                     QStringLiteral(": it is a device or a pipe")),
                 qPrintable(fx.dialog.messages.first()));
        QVERIFY(S_ISFIFO(after.st_mode));
        return;
    }
    QVERIFY2(fx.dialog.messages.isEmpty(), qPrintable(fx.dialog.messages.join('\n')));
    QCOMPARE(readBytes(target), saved);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_nlink, before.st_nlink);
    if (what == QLatin1String("two names"))
        QCOMPARE(readBytes(otherName), saved);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
             1);
}

QTEST_MAIN(TestPlayListFiles)
#include "tst_playlistfiles.moc"
