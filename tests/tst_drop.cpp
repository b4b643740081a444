// Files, folders and play-list files dropped on the window, as a file
// manager drops them: sent as drag and drop events to the window and to a
// text box on it, with the engine and dialog doubles behind.

#include "desktop/DropHandler.h"
#include "desktop/MediaOpener.h"
#include "support/FormFixture.h"
#include "support/TestFiles.h"
#include "widgets/PlayListBox.h"

#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList entries(const PlayListBox *list)
{
    QStringList all;
    for (int i = 0; i < list->listCount(); ++i)
        all << list->list(i);
    return all;
}

struct DropFixture
{
    FormFixture f;
    MediaOpener opener{f.form.commands(), f.dialog};
    DropHandler drops{f.form, opener, f.engine};

    PlayListBox *list() const { return f.get<PlayListBox>("PlayList1"); }

    // Drags the data over the target and drops it there; returns whether
    // the drop was taken.
    bool drop(QWidget *target, const QMimeData &data)
    {
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }
    bool dropUrls(QWidget *target, const QList<QUrl> &urls)
    {
        QMimeData data;
        data.setUrls(urls);
        return drop(target, data);
    }
};

QList<QUrl> localUrls(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    return urls;
}

} // namespace

class DropTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void filesAreAppendedAsAddAppends();
    void folderGivesItsMediaFilesInNameOrder();
    void playListFileIsLoaded();
    void otherDragsAreLeftAlone();
    void missingFileIsReported();
    void subtitleFilesGoToTheVideo_data();
    void subtitleFilesGoToTheVideo();

private:
    QString file(const QString &name)
    {
        const QString path = m_dir->filePath(name);
        writeBytes(path, "media");
        return path;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void DropTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void DropTest::filesAreAppendedAsAddAppends()
{
    const QString b = file(QStringLiteral("b.mp3"));
    const QString a = file(QStringLiteral("a.avi"));
    const QString notes = file(QStringLiteral("notes.txt"));
    DropFixture d;
    d.list()->addEntry(QStringLiteral("/kept.mp3"));
    d.list()->setListIndex(0);
    d.f.engine.calls.clear();

    QVERIFY(d.dropUrls(&d.f.form, localUrls({b, a, notes})));
    // In drop order, after what was there; Add takes any file.
    QTRY_COMPARE(entries(d.list()), QStringList({QStringLiteral("/kept.mp3"), b, a, notes}));
    // Like Add: the selection, pfname and the engine stay as they were.
    QCOMPARE(d.list()->listIndex(), 0);
    QCOMPARE(d.f.edit("pfname")->text(), QStringLiteral("/kept.mp3"));
    QVERIFY(d.f.engine.commands().isEmpty());
    QVERIFY(d.f.dialog.messages.isEmpty());

    // Dropped on a text box, files still join the list instead of becoming
    // text in the box.
    QLineEdit *pfname = d.f.edit("pfname");
    QVERIFY(d.dropUrls(pfname, localUrls({b})));
    QTRY_COMPARE(d.list()->listCount(), 5);
    QCOMPARE(pfname->text(), QStringLiteral("/kept.mp3"));

    // A stream link from a browser is taken as written.
    QVERIFY(d.dropUrls(&d.f.form, {QUrl(QStringLiteral("http://radio.example.com/live"))}));
    QTRY_COMPARE(d.list()->list(5), QStringLiteral("http://radio.example.com/live"));
}

void DropTest::folderGivesItsMediaFilesInNameOrder()
{
    QDir root(m_dir->path());
    QVERIFY(root.mkpath(QStringLiteral("album/inner")));
    const QString two = file(QStringLiteral("album/02 Two.MP3"));
    const QString one = file(QStringLiteral("album/01 one.wav"));
    const QString three = file(QStringLiteral("album/b three.mp4"));
    const QString list = file(QStringLiteral("album/a list.m3u"));
    file(QStringLiteral("album/cover.png"));
    file(QStringLiteral("album/inner/deep.mp3"));
    const QString single = file(QStringLiteral("single.mp3"));
    QVERIFY(root.mkpath(QStringLiteral("empty")));

    DropFixture d;
    QVERIFY(d.dropUrls(&d.f.form, localUrls({root.filePath(QStringLiteral("album")), single,
                                             root.filePath(QStringLiteral("empty"))})));
    // Only the folder's own media files, names compared without letter case;
    // a play-list file in it is one more entry, not loaded.
    QTRY_COMPARE(entries(d.list()), QStringList({one, two, list, three, single}));
    QVERIFY(d.f.engine.commands().isEmpty());
    QVERIFY(d.f.edit("PLName")->text().isEmpty());
    QCOMPARE(d.f.dialog.messages,
             QStringList{QStringLiteral("Error: The folder %1 holds no media files.")
                             .arg(root.filePath(QStringLiteral("empty")))});
}

void DropTest::playListFileIsLoaded()
{
    const QString wpl = file(QStringLiteral("PlayList1.wpl"));
    const QString asx = file(QStringLiteral("other.asx"));
    const QString song = file(QStringLiteral("song.mp3"));
    DropFixture d;
    QVERIFY(d.dropUrls(&d.f.form, localUrls({song, wpl, asx})));
    // The first play-list file as Load play-list file loads it: shown in
    // PLName and handed to the engine; the rest join the list.
    QTRY_COMPARE(d.f.engine.commands(), QStringList{QStringLiteral("url=") + wpl});
    QCOMPARE(d.f.edit("PLName")->text(), wpl);
    QCOMPARE(entries(d.list()), QStringList({song, asx}));
    QCOMPARE(d.list()->listIndex(), -1);
}

void DropTest::otherDragsAreLeftAlone()
{
    DropFixture d;
    QMimeData text;
    text.setText(QStringLiteral("just words"));
    QVERIFY(!d.dropUrls(&d.f.form, {}));
    QVERIFY(!d.drop(&d.f.form, text));
    QMimeData odd;
    odd.setUrls({QUrl(QStringLiteral("mailto:someone@example.com"))});
    QVERIFY(!d.drop(&d.f.form, odd));
    QCoreApplication::processEvents();
    QCOMPARE(d.list()->listCount(), 0);
    QVERIFY(d.f.dialog.messages.isEmpty());
    // A text box still takes text dropped on it.
    QLineEdit *pfname = d.f.edit("pfname");
    QVERIFY(d.drop(pfname, text));
}

void DropTest::missingFileIsReported()
{
    const QString real = file(QStringLiteral("real.mp3"));
    const QString gone = m_dir->filePath(QStringLiteral("gone.mp3"));
    DropFixture d;
    QVERIFY(d.dropUrls(&d.f.form, localUrls({gone, real})));
    QTRY_COMPARE(entries(d.list()), QStringList{real});
    QCOMPARE(d.f.dialog.messages,
             QStringList{QStringLiteral("Error: %1 was not found.").arg(gone)});
}

void DropTest::subtitleFilesGoToTheVideo_data()
{
    QTest::addColumn<bool>("video");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("messages");
    QTest::newRow("one while a video plays")
        << true << QStringList{"film.srt"} << QStringList{"film.srt"} << QStringList{} << 0;
    QTest::newRow("two kinds, in drop order")
        << true << QStringList{"a.ass", "b.VTT"} << QStringList{"a.ass", "b.VTT"} << QStringList{}
        << 0;
    QTest::newRow("with a song while a video plays")
        << true << QStringList{"song.mp3", "film.sub"} << QStringList{"film.sub"}
        << QStringList{"song.mp3"} << 0;
    QTest::newRow("alone while only sound plays")
        << false << QStringList{"film.srt"} << QStringList{} << QStringList{} << 1;
    QTest::newRow("with its video while only sound plays")
        << false << QStringList{"film.mkv", "film.ssa"} << QStringList{} << QStringList{"film.mkv"}
        << 0;
}

void DropTest::subtitleFilesGoToTheVideo()
{
    QFETCH(bool, video);
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);
    QFETCH(int, messages);
    DropFixture d;
    d.f.engine.setUrl(QStringLiteral("/media/playing.mkv"));
    MediaTrack sound;
    sound.id = 1;
    sound.selected = true;
    MediaTrack picture = sound;
    picture.type = MediaTrack::Type::Video;
    d.f.engine.announceTracks(video ? QList<MediaTrack>{picture, sound} : QList<MediaTrack>{sound});
    d.f.engine.calls.clear();
    QStringList paths;
    for (const QString &name : dropped)
        paths << file(name);

    QVERIFY(d.dropUrls(&d.f.form, localUrls(paths)));
    // Taken once the drop is over.
    QCoreApplication::processEvents();
    QStringList expectedCalls;
    for (const QString &name : added)
        expectedCalls << QStringLiteral("subtitleFile=") + m_dir->filePath(name);
    QStringList expectedList;
    for (const QString &name : listed)
        expectedList << m_dir->filePath(name);
    QCOMPARE(entries(d.list()), expectedList);
    QCOMPARE(d.f.engine.commands(), expectedCalls);
    QCOMPARE(d.f.dialog.messages.size(), messages);
    if (messages)
        QVERIFY2(d.f.dialog.messages.first().contains(QLatin1String("only while a video plays")),
                 qPrintable(d.f.dialog.messages.first()));
    // The subtitle shown is the last one dropped.
    if (!added.isEmpty()) {
        const QList<MediaTrack> shown =
            MediaTrack::ofType(d.f.engine.tracks(), MediaTrack::Type::Subtitle);
        QCOMPARE(shown.last().title, added.last());
        QVERIFY(shown.last().selected);
    }
}

QTEST_MAIN(DropTest)
#include "tst_drop.moc"
