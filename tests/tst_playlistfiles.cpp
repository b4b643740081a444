#include "commands/playlist/PlayListFiles.h"
#include "core/FileJob.h"
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

// The user nobody, for a while, when the test runs as root: a normal user's
// view of the permissions.
class AsNobody
{
public:
    AsNobody()
    {
        if (::geteuid() != 0)
            return;
        m_groups.resize(::getgroups(0, nullptr));
        m_groups.resize(std::max(0, ::getgroups(int(m_groups.size()), m_groups.data())));
        if (::setgroups(0, nullptr) == 0 && ::setegid(nobody) == 0)
            (void)::seteuid(nobody);
    }
    ~AsNobody()
    {
        if (::getuid() != 0)
            return;
        if (::seteuid(0) != 0 || ::setegid(0) != 0 ||
            ::setgroups(m_groups.size(), m_groups.data()) != 0)
            qFatal("cannot become root again");
    }
    // Whether the test now runs as a user other than root.
    bool normal() const { return ::geteuid() != 0; }
    static constexpr uid_t nobody = 65534;

private:
    std::vector<gid_t> m_groups;
};

struct stat statOf(const QString &path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
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
    void loadRefusesPipesAndDevices_data();
    void loadRefusesPipesAndDevices();
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

void TestPlayListFiles::loadRefusesPipesAndDevices_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("a pipe nobody writes") << "pipe";
    QTest::newRow("an endless device") << "/dev/zero";
    QTest::newRow("a link to a device") << "link";
}

// Refused before any read, which could wait for ever or never end.
void TestPlayListFiles::loadRefusesPipesAndDevices()
{
    QFETCH(QString, what);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("list.txt"));
    if (what == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    else if (what == QLatin1String("link"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    else
        path = what;
    Fixture fx;
    fx.fill({QStringLiteral("/keep/a.mp3")});
    fx.dialog.answerOpen(path);
    fx.run("cmdLoadList_Click");
    QCOMPARE(fx.dialog.messages.size(), 1);
    QVERIFY2(fx.dialog.messages.first().contains(QStringLiteral("is a pipe or a device")),
             qPrintable(fx.dialog.messages.first()));
    QCOMPARE(entriesOf(fx.list), QStringList{QStringLiteral("/keep/a.mp3")});
    QCOMPARE(FileJob::threadsHeld(), 0);
}

void TestPlayListFiles::saveOverWhatIsThere_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("a pipe") << "pipe"
                            << "it is a device or a pipe, not a file";
    QTest::newRow("another user's 0640 file, as root") << "other owner" << QString();
    QTest::newRow("a file with two names") << "two names" << QString();
    QTest::newRow("a writable file in a folder the user may not write")
        << "locked folder" << QString();
}

// What is there keeps what makes it what it is: its kind, its owner, group
// and mode, each of its names; and a folder that does not let a file be
// made beside it still lets the file itself be written.
void TestPlayListFiles::saveOverWhatIsThere()
{
    QFETCH(QString, what);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    const QByteArray old = "\"/old.mp3\"\r\n";
    const QByteArray saved = "\"/a.mp3\"\r\n\"/b.mp3\"\r\n";
    QString target = dir.filePath(QStringLiteral("list.txt"));
    const QString otherName = dir.filePath(QStringLiteral("other name.txt"));
    std::function<void()> unlock = [] {};
    const auto unlocked = qScopeGuard([&unlock] { unlock(); });
    if (what == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0644), 0);
    } else if (what == QLatin1String("locked folder")) {
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
        target = locked + QStringLiteral("/list.txt");
        QVERIFY(writeBytes(target, old));
        if (::geteuid() == 0)
            QCOMPARE(
                ::chown(QFile::encodeName(target).constData(), AsNobody::nobody, AsNobody::nobody),
                0);
        QCOMPARE(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
        unlock = [locked] { ::chmod(QFile::encodeName(locked).constData(), 0755); };
    } else {
        QVERIFY(writeBytes(target, old));
    }
    if (what == QLatin1String("other owner")) {
        if (::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        QCOMPARE(::chown(QFile::encodeName(target).constData(), AsNobody::nobody, AsNobody::nobody),
                 0);
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0640), 0);
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
        AsNobody user;
        QVERIFY(user.normal());
        fx.run("cmdSaveList_Click");
    } else {
        fx.run("cmdSaveList_Click");
    }
    const struct stat after = statOf(target);
    if (!refusal.isEmpty()) {
        QCOMPARE(fx.dialog.messages.size(), 1);
        QVERIFY2(fx.dialog.messages.first().contains(refusal),
                 qPrintable(fx.dialog.messages.first()));
        QVERIFY(fx.dialog.messages.first().contains(target));
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
    // Nothing is left beside it.
    QCOMPARE(QDir(QFileInfo(target).absolutePath())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                 .size(),
             what == QLatin1String("two names") ? 2 : 1);
}

QTEST_MAIN(TestPlayListFiles)
#include "tst_playlistfiles.moc"
