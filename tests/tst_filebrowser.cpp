#include "core/FileNamePattern.h"
#include "support/FormFixture.h"
#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/PlayListBox.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

// A folder tree with media files in mixed letter case, other files, hidden
// entries, a folder named like a media file, links and a named pipe.
struct Tree
{
    QTemporaryDir dir;
    QString root;

    Tree()
    {
        root = QDir::cleanPath(dir.path());
        for (const char *name : {"a.wav", "b.m2ts", "c.ts", "CLIP.MP4", "clip.mp4", "song.Mp3",
                                 "Z.WMA", "movie.avi", "photo.jpg", "photo.jpeg", "notes.txt",
                                 "x.mp4.txt", "mp4", "show.drv-ms", ".hidden.mp3"})
            touch(path(name));
        QDir(root).mkpath(QStringLiteral("folder.mp4"));
        QDir(root).mkpath(QStringLiteral("Music/deep"));
        QDir(root).mkpath(QStringLiteral(".secret"));
        touch(path("Music/a.wav"));
        touch(path("Music/b.mid"));
        QFile::link(path("a.wav"), path("link.mp3"));
        QFile::link(path("missing.wav"), path("dead.mp3"));
        QFile::link(path("Music"), path("dirlink.mp3"));
        mkfifo(QFile::encodeName(path("pipe.mp3")).constData(), 0600);
    }
    QString path(const char *relative) const { return root + QLatin1Char('/') + relative; }
};

int rowOf(const FolderList *folders, const QString &path)
{
    for (int row = 0; row < folders->count(); ++row)
        if (folders->folderPath(row) == path)
            return row;
    return -1;
}

void clickRow(FileListBox *list, int row)
{
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class TestFileBrowser : public QObject
{
    Q_OBJECT
private slots:
    void fileListShowsMatchingFilesOnly();
    void patternMatchesEveryTypeInAnyCase();
    void folderListShowsBranchAndSubfolders();
    void folderChangesRunInsideTheAssignment();
    void openingAFolderThatIsGone();
    void drivesListMountedVolumes();
    void pickingADriveShowsItsRoot();
    void driveWhoseRootCannotBeOpened();
    void choosingAFilePlaysIt();
};

void TestFileBrowser::fileListShowsMatchingFilesOnly()
{
    Tree tree;
    FileListBox list;
    list.setPath(tree.root);
    // Letter case ignored in the order; names that differ only in case both listed.
    QCOMPARE(list.fileNames(), QStringList({"a.wav", "b.m2ts", "c.ts", "CLIP.MP4", "clip.mp4",
                                            "link.mp3", "song.Mp3", "Z.WMA"}));
    QCOMPARE(list.listCount(), 8);
    QCOMPARE(list.list(3), QStringLiteral("CLIP.MP4"));
    QCOMPARE(list.list(8), QString());
    QCOMPARE(list.listIndex(), -1);
    QCOMPARE(list.fileName(), QString());

    // A new file shows after the folder is read again.
    touch(tree.path("d.mpg"));
    QCOMPARE(list.listCount(), 8);
    list.refresh();
    QVERIFY(list.fileNames().contains(QStringLiteral("d.mpg")));

    list.setPath(tree.path("Music"));
    QCOMPARE(list.fileNames(), QStringList({"a.wav", "b.mid"}));

    // Patterns other than "*.ext" still match, case ignored.
    list.setPattern(QStringLiteral("CLIP*;*.TXT"));
    list.setPath(tree.root);
    QCOMPARE(list.fileNames(), QStringList({"CLIP.MP4", "clip.mp4", "notes.txt", "x.mp4.txt"}));

    list.setPath(tree.path("no such folder"));
    QCOMPARE(list.listCount(), 0);
}

void TestFileBrowser::patternMatchesEveryTypeInAnyCase()
{
    const QString pattern = FileListBox::designPattern;
    QCOMPARE(pattern.size(), 255);
    const QStringList patterns = pattern.split(QLatin1Char(';'));
    QCOMPARE(patterns.size(), 42);
    FileListBox box;
    QCOMPARE(box.pattern(), pattern);
    const FileNamePattern list(box.pattern());
    for (const QString &p : patterns) {
        const QString extension = p.mid(2);
        for (const QString &name :
             {QStringLiteral("x.") + extension.toLower(),
              QStringLiteral("X.") + extension.toUpper(), QStringLiteral("a b.c.") + extension})
            QVERIFY2(list.matches(name), qPrintable(name));
    }
    for (const char *name :
         {"movie.avi", "photo.jpg", "photo.jpeg", "show.drv-ms", "a.wm", "mp4", "clip.mp4.txt",
          "clip.mp", "clip.mp44", "clip.m2tsx", "clip.", "clip.mp4 "})
        QVERIFY2(!list.matches(QLatin1String(name)), name);
    QVERIFY(list.matches(QStringLiteral("Ünïcode ñame.MP3")));
}

void TestFileBrowser::folderListShowsBranchAndSubfolders()
{
    Tree tree;
    FolderList folders;
    folders.setPath(tree.root + QStringLiteral("/Music/../"));
    QCOMPARE(folders.path(), tree.root);

    QStringList branch;
    for (QDir dir(tree.root);;) {
        branch.prepend(dir.absolutePath());
        if (!dir.cdUp())
            break;
    }
    QStringList shown;
    for (int row = 0; row < folders.count(); ++row)
        shown << folders.folderPath(row);
    // Hidden folders stay out; a folder named like a media file is a folder,
    // and so is a link to one.
    QCOMPARE(shown, branch + QStringList({tree.path("dirlink.mp3"), tree.path("folder.mp4"),
                                          tree.path("Music")}));
    QCOMPARE(folders.folderPath(0), QStringLiteral("/"));
    QCOMPARE(folders.currentFolderRow(), branch.size() - 1);
    QCOMPARE(folders.currentRow(), branch.size() - 1);
    QCOMPARE(folders.item(branch.size() + 1)->text(), QStringLiteral("folder.mp4"));

    QVERIFY(!folders.setPath(tree.path("missing")));
    QVERIFY(!folders.setPath(tree.path("a.wav")));
    QCOMPARE(folders.path(), tree.root);
    QCOMPARE(folders.count(), shown.size());

    folders.setPath(QStringLiteral("/"));
    QCOMPARE(folders.path(), QStringLiteral("/"));
    QCOMPARE(folders.currentFolderRow(), 0);
}

void TestFileBrowser::folderChangesRunInsideTheAssignment()
{
    Tree tree;
    FormFixture f;
    f.form.show();
    auto *folders = f.get<FolderList>("Folders");
    auto *files = f.get<FileListBox>("FileList");
    QSignalSpy changes(folders, &FolderList::pathChange);

    // No event loop runs between the assignment and the checks: the file list
    // followed inside it.
    folders->setPath(tree.root);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(files->path(), tree.root);
    QCOMPARE(files->listCount(), 8);
    folders->setPath(tree.root + QLatin1Char('/'));
    QCOMPARE(changes.count(), 1); // the same folder is no change

    // Enter on an entry opens it ...
    folders->setFocus();
    folders->setCurrentRow(rowOf(folders, tree.path("Music")));
    QTest::keyClick(folders, Qt::Key_Return);
    QCOMPARE(folders->path(), tree.path("Music"));
    QCOMPARE(files->path(), tree.path("Music"));
    QCOMPARE(files->fileNames(), QStringList({"a.wav", "b.mid"}));

    // ... and so does a double-click, on a folder above as well as below.
    const int up = rowOf(folders, tree.root);
    const QRect rect = folders->visualItemRect(folders->item(up));
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(folders->path(), tree.path("Music")); // a single click only selects
    QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(folders->path(), tree.root);
    QCOMPARE(files->path(), tree.root);
    QCOMPARE(changes.count(), 3);
    QVERIFY(f.engine.calls.isEmpty());
    QVERIFY(f.dialog.messages.isEmpty());
}

void TestFileBrowser::openingAFolderThatIsGone()
{
    Tree tree;
    FormFixture f;
    auto *folders = f.get<FolderList>("Folders");
    QDir(tree.root).mkdir(QStringLiteral("Gone"));
    folders->setPath(tree.root);
    QVERIFY(QDir(tree.root).rmdir(QStringLiteral("Gone")));
    folders->setCurrentRow(rowOf(folders, tree.path("Gone")));
    QTest::keyClick(folders, Qt::Key_Return);
    QCOMPARE(f.dialog.messages.size(), 1);
    QVERIFY2(f.dialog.messages.first().startsWith(QStringLiteral("Error: ")) &&
                 f.dialog.messages.first().contains(tree.path("Gone")),
             qPrintable(f.dialog.messages.first()));
    QCOMPARE(folders->path(), tree.root);
    QCOMPARE(folders->currentRow(), folders->currentFolderRow());
    QCOMPARE(f.get<FileListBox>("FileList")->path(), tree.root);
}

void TestFileBrowser::drivesListMountedVolumes()
{
    const QList<DriveList::Volume> volumes = DriveList::mountedVolumes();
    QVERIFY(!volumes.isEmpty());
    bool holdsHere = false;
    const QString here = QDir::currentPath();
    for (const DriveList::Volume &v : volumes) {
        for (const char *system : {"/proc", "/sys", "/dev"})
            QVERIFY2(!v.rootPath.startsWith(QLatin1String(system)), qPrintable(v.rootPath));
        holdsHere |= v.rootPath == QLatin1String("/") || here.startsWith(v.rootPath);
    }
    QVERIFY(holdsHere);

    DriveList drives;
    QCOMPARE(drives.count(), volumes.size());
    for (int i = 0; i < drives.count(); ++i)
        QVERIFY2(drives.itemText(i).startsWith(volumes[i].rootPath),
                 qPrintable(drives.itemText(i)));
    QVERIFY(here.startsWith(drives.rootPath()));
}

void TestFileBrowser::pickingADriveShowsItsRoot()
{
    Tree a, b;
    QDir(b.root).mkpath(QStringLiteral("Videos/old"));
    FormFixture f;
    f.form.show();
    auto *drives = f.get<DriveList>("Drives");
    auto *folders = f.get<FolderList>("Folders");
    auto *files = f.get<FileListBox>("FileList");
    drives->setVolumes({{a.root, QStringLiteral("Alpha")}, {b.root, QString()}});
    QCOMPARE(drives->itemText(0), a.root + QStringLiteral(" [Alpha]"));
    QCOMPARE(drives->itemText(1), b.root);

    folders->setPath(b.path("Videos/old"));
    drives->showDriveOf(folders->path());
    QCOMPARE(drives->currentIndex(), 1);
    QSignalSpy changes(folders, &FolderList::pathChange);

    // Picking the drive shows its root, and the file list follows, before
    // the pick returns.
    drives->setFocus();
    QTest::keyClick(drives, Qt::Key_Up);
    QCOMPARE(drives->currentIndex(), 0);
    QCOMPARE(folders->path(), a.root);
    QCOMPARE(files->path(), a.root);
    QCOMPARE(files->listCount(), 8);
    QCOMPARE(changes.count(), 1);

    // Back on the other drive: its root, not the folder last visited there.
    drives->setCurrentIndex(1);
    QCOMPARE(folders->path(), b.root);
    QCOMPARE(files->path(), b.root);
    QVERIFY(f.dialog.messages.isEmpty());
    QVERIFY(f.engine.calls.isEmpty());

    // A real drive's root is "/" on this platform; the file list follows it.
    drives->setVolumes({{a.root, QString()}, {QStringLiteral("/"), QStringLiteral("System")}});
    drives->setCurrentIndex(0);
    drives->setCurrentIndex(1);
    QCOMPARE(folders->path(), QStringLiteral("/"));
    QCOMPARE(files->path(), QStringLiteral("/"));
}

void TestFileBrowser::driveWhoseRootCannotBeOpened()
{
    Tree a, c;
    const QString gone = a.root + QStringLiteral("-unplugged");
    FormFixture f;
    auto *drives = f.get<DriveList>("Drives");
    auto *folders = f.get<FolderList>("Folders");
    auto *files = f.get<FileListBox>("FileList");
    drives->setVolumes({{a.root, QStringLiteral("Alpha")},
                        {gone, QStringLiteral("Stick")},
                        {c.root, QStringLiteral("Gamma")}});
    folders->setPath(a.path("Music"));
    drives->showDriveOf(folders->path());
    files->setListIndex(1);
    f.engine.calls.clear();
    f.timer1()->stop();

    drives->setCurrentIndex(1);
    QCOMPARE(f.dialog.messages.size(), 1);
    const QString message = f.dialog.messages.first();
    QVERIFY2(message.startsWith(QStringLiteral("Error: ")) && message.contains(gone + " [Stick]") &&
                 message.contains(QStringLiteral("cannot be opened")),
             qPrintable(message));
    // Back on the drive the folder list shows; nothing else moved.
    QCOMPARE(drives->currentIndex(), 0);
    QCOMPARE(folders->path(), a.path("Music"));
    QCOMPARE(files->path(), a.path("Music"));
    QCOMPARE(files->listIndex(), 1);
    QVERIFY(f.engine.calls.isEmpty());
    QVERIFY(!f.timer1()->isActive());

    // The browser goes on working.
    drives->setCurrentIndex(2);
    QCOMPARE(folders->path(), c.root);
    QCOMPARE(files->path(), c.root);
    QCOMPARE(f.dialog.messages.size(), 1);
}

void TestFileBrowser::choosingAFilePlaysIt()
{
    Tree tree;
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    auto *files = f.get<FileListBox>("FileList");
    auto *playList = f.get<PlayListBox>("PlayList1");
    f.get<FolderList>("Folders")->setPath(tree.root);
    f.edit("pfname")->setText(QStringLiteral("/somewhere/else.mp3"));
    f.edit("Text1")->setText(QStringLiteral("1 : 2"));
    f.edit("Text2")->setText(QStringLiteral("3 : 4"));
    playList->addEntry(QStringLiteral("/list/entry.wav"));
    f.timer1()->stop();
    f.engine.calls.clear();

    clickRow(files, 2);
    QCOMPARE(f.engine.calls, QStringList({"url=" + tree.path("c.ts")}));
    QVERIFY(f.timer1()->isActive());
    QVERIFY(f.timer1()->remainingTime() > 500);

    // Each file the arrow keys pass over is handed over in turn.
    files->setFocus();
    QTest::keyClick(files, Qt::Key_Down);
    QTest::keyClick(files, Qt::Key_Down);
    QCOMPARE(f.engine.calls,
             QStringList({"url=" + tree.path("c.ts"), "url=" + tree.path("CLIP.MP4"),
                          "url=" + tree.path("clip.mp4")}));
    QCOMPARE(files->fileName(), QStringLiteral("clip.mp4"));

    // Nothing else changes.
    QCOMPARE(f.edit("pfname")->text(), QStringLiteral("/somewhere/else.mp3"));
    QCOMPARE(f.edit("Text1")->text(), QStringLiteral("1 : 2"));
    QCOMPARE(f.edit("Text2")->text(), QStringLiteral("3 : 4"));
    QCOMPARE(playList->listCount(), 1);
    QCOMPARE(playList->listIndex(), -1);
    QVERIFY(f.dialog.messages.isEmpty());

    // Re-listing a folder selects nothing and so plays nothing.
    f.engine.calls.clear();
    f.get<FolderList>("Folders")->setPath(tree.path("Music"));
    QCOMPARE(files->listIndex(), -1);
    QVERIFY(f.engine.calls.isEmpty());

    // One separator between folder and name, also when the path already
    // ends in one, as a root does.
    files->setPath(tree.root + QLatin1Char('/'));
    files->setListIndex(0);
    QCOMPARE(f.engine.calls, QStringList({"url=" + tree.path("a.wav")}));
}

QTEST_MAIN(TestFileBrowser)
#include "tst_filebrowser.moc"
