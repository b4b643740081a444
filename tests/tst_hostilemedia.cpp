// Bad and oddly named media through every way a file reaches the real
// engine on a real window: the file list, Add and a click in the play list,
// Open, a play-list file and Play simultaneously. Each bad file must end in
// an error status, never in a crash, a hang or an end of stream, and the
// next good file must play.
#include "app/Form1.h"
#include "commands/playback/PositionDisplay.h"
#include "support/FormAccess.h"
#include "support/HangGuard.h"
#include "support/RealEngine.h"
#include "support/ScriptedDialog.h"
#include "support/TestMedia.h"
#include "widgets/FileListBox.h"
#include "widgets/LabelButton.h"
#include "widgets/PlayListBox.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <sys/stat.h>

namespace {

// These only bound a failure; a good run never waits them out.
constexpr int startTimeout = 15000;
constexpr int endTimeout = 20000;
// Long enough for a wrongly raised end of stream to arrive.
constexpr int settleMs = 250;

// Quotes, "&", "<", blanks, commas and non-Latin letters in one name.
const QString oddStem = QStringLiteral("say \"hi\" & <b>, Привет 音楽");

struct Hostile
{
    QString label;
    QString path;
};

QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace

class TestHostileMedia : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fileListClick();
    void addThenClickInPlayList();
    void openCommand();
    void playListFileNamingIt();
    void playSimultaneously();
    void cleanupTestCase();

private:
    // Makes the bad files in the media's folder.
    void makeHostiles(TestMedia &media, QList<Hostile> &all);
    // The engine reports an error for this file, Text4 shows it on the next
    // tick and no end of stream follows.
    void expectError(const QString &label);
    // The good file plays to its end, raising exactly one end of stream;
    // url is what the engine was handed (the file, or a list naming it).
    void expectGoodPlays(const QString &url, const QString &how);
    void clickLabel(const char *name);
    void clickButton(const char *name);
    void clickPlayListRow(int row);

    TestMedia m_media;
    QString m_good; // an oddly named, playable 0.4 s WAV
    QList<Hostile> m_hostiles;
    // The same bad files again, for the file list, which changes them.
    TestMedia m_browse;
    QList<Hostile> m_browseHostiles;
    std::unique_ptr<MpvEngine> m_engine;
    ScriptedDialog m_dialog;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<QSignalSpy> m_ended;
    std::unique_ptr<HangGuard> m_guard;
    PlayListBox *m_playList1 = nullptr;
};

void TestHostileMedia::makeHostiles(TestMedia &media, QList<Hostile> &all)
{
    const auto add = [&all](const QString &label, const QString &path) {
        QVERIFY2(!path.isEmpty(), qPrintable(label));
        all << Hostile{label, path};
    };
    add(QStringLiteral("random bytes .mp3"),
        media.randomBytes(QStringLiteral("noise.mp3"), 64 * 1024));
    add(QStringLiteral("random bytes .mp4"),
        media.randomBytes(QStringLiteral("noise.mp4"), 256 * 1024));
    // ffmpeg writes an MP4's index at its end, so the first half has none.
    const QString whole = media.testPattern(QStringLiteral("whole.mp4"), 2.0, QSize(160, 120));
    QVERIFY2(!whole.isEmpty(), qPrintable(media.lastError()));
    add(QStringLiteral("truncated .mp4"),
        media.truncatedCopy(whole, QStringLiteral("cut.mp4"), QFileInfo(whole).size() / 2));
    QVERIFY(QFile::remove(whole));
    add(QStringLiteral("0-byte file"), media.textFile(QStringLiteral("empty.mp4"), QString()));
    // A playable file inside shows if the folder is ever played as a list.
    const QString folder = media.path(QStringLiteral("x.mp4"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(!media.wav(QStringLiteral("x.mp4/inside.wav"), 0.3).isEmpty());
    add(QStringLiteral("folder named x.mp4"), folder);
    add(QStringLiteral("missing path"), media.path(QStringLiteral("missing.mp4")));
    const QString link = media.path(QStringLiteral("dangling.mp3"));
    QVERIFY(QFile::link(media.path(QStringLiteral("gone.mp3")), link));
    add(QStringLiteral("dangling link"), link);
    add(QStringLiteral("odd name, random bytes"),
        media.randomBytes(oddStem + QStringLiteral(".mp4"), 32 * 1024));
    // Nothing ever writes to it: opening it to read would wait for ever.
    const QString pipe = media.path(QStringLiteral("pipe.mp3"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    add(QStringLiteral("named pipe"), pipe);
}

void TestHostileMedia::initTestCase()
{
    m_good = m_media.wav(QStringLiteral("'good' ") + oddStem + QStringLiteral(".wav"), 0.4);
    QVERIFY2(!m_good.isEmpty(), qPrintable(m_media.lastError()));
    makeHostiles(m_media, m_hostiles);
    QCOMPARE(m_hostiles.size(), 9);
    makeHostiles(m_browse, m_browseHostiles);
    QCOMPARE(m_browseHostiles.size(), 9);

    m_engine = makeEngine(MpvEngine::Options::headless());
    m_form = std::make_unique<Form1>(*m_engine, m_dialog);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_playList1 = controlOf<PlayListBox>(*m_form, "PlayList1");
    QVERIFY(m_playList1);
    m_ended = std::make_unique<QSignalSpy>(m_engine.get(), &MediaEngine::endOfStream);
    // Made last: generating media blocks the event loop on purpose.
    m_guard = std::make_unique<HangGuard>(30);
}

void TestHostileMedia::cleanupTestCase()
{
    QCOMPARE(m_dialog.messages, QStringList());
    m_guard.reset();
}

void TestHostileMedia::expectError(const QString &label)
{
    const int endsBefore = int(m_ended->count());
    QTRY_VERIFY2_WITH_TIMEOUT(m_engine->status().startsWith(QLatin1String("Error: ")),
                              qPrintable(label + QStringLiteral(": ") + m_engine->status()),
                              startTimeout);
    QTest::qWait(settleMs);
    QVERIFY2(m_engine->status().startsWith(QLatin1String("Error: ")),
             qPrintable(label + QStringLiteral(" later: ") + m_engine->status()));
    QVERIFY2(!m_engine->duration(), qPrintable(label));
    QVERIFY2(m_ended->count() == endsBefore,
             qPrintable(label + QStringLiteral(": end of stream for a file that never played")));
    // What the user sees: the position display's next tick shows the error.
    runHandler(*m_form, "Timer1_Timer");
    QCOMPARE(controlOf<QLineEdit>(*m_form, "Text4")->text(), m_engine->status());
}

void TestHostileMedia::expectGoodPlays(const QString &url, const QString &how)
{
    const int endsBefore = int(m_ended->count());
    QTRY_VERIFY2_WITH_TIMEOUT(m_ended->count() == endsBefore + 1,
                              qPrintable(how + QStringLiteral(": ") + m_engine->status()),
                              endTimeout);
    QCOMPARE(m_engine->url(), url);
    QVERIFY2(m_engine->duration() && qAbs(*m_engine->duration() - 0.4) < 0.05, qPrintable(how));
    QTest::qWait(settleMs);
    QCOMPARE(m_ended->count(), endsBefore + 1);
}

void TestHostileMedia::clickLabel(const char *name)
{
    auto *label = controlOf<LabelButton>(*m_form, name);
    QVERIFY(label);
    QTest::mouseClick(label, Qt::LeftButton);
}

void TestHostileMedia::clickButton(const char *name)
{
    auto *button = controlOf<QPushButton>(*m_form, name);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestHostileMedia::clickPlayListRow(int row)
{
    QVERIFY(row < m_playList1->listCount());
    m_playList1->scrollToItem(m_playList1->item(row));
    const QPoint at = m_playList1->visualItemRect(m_playList1->item(row)).center();
    QTest::mouseClick(m_playList1->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(m_playList1->listIndex(), row);
}

void TestHostileMedia::fileListClick()
{
    // A folder changes after it was listed: the list may still show a file
    // that has since gone, or become a folder or a dangling link. Each is
    // made here as a plain file first, so it is listed, and changed after.
    TestMedia &browse = m_browse;
    const QList<Hostile> &hostiles = m_browseHostiles;
    const QString good = browse.wav(QFileInfo(m_good).fileName(), 0.4);
    QVERIFY(!good.isEmpty());
    const QString folder = browse.path(QStringLiteral("x.mp4"));
    const QString missing = browse.path(QStringLiteral("missing.mp4"));
    const QString link = browse.path(QStringLiteral("dangling.mp3"));
    const QString target = browse.path(QStringLiteral("gone.mp3"));
    const QString pipe = browse.path(QStringLiteral("pipe.mp3"));
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QFile::remove(pipe));
    QVERIFY(!browse.textFile(QStringLiteral("pipe.mp3"), QStringLiteral("soon a pipe")).isEmpty());
    QVERIFY(!browse.textFile(QStringLiteral("x.mp4"), QStringLiteral("soon a folder")).isEmpty());
    QVERIFY(!browse.textFile(QStringLiteral("missing.mp4"), QStringLiteral("soon gone")).isEmpty());
    QVERIFY(QFile::copy(good, target));

    auto *fileList = controlOf<FileListBox>(*m_form, "FileList");
    fileList->setPath(browse.folder());
    QVERIFY(QFile::remove(folder));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(!browse.wav(QStringLiteral("x.mp4/inside.wav"), 0.3).isEmpty());
    QVERIFY(QFile::remove(missing));
    QVERIFY(QFile::remove(target));
    QVERIFY(QFile::remove(pipe));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);

    const auto click = [fileList](const QString &path) {
        const int row = int(fileList->fileNames().indexOf(QFileInfo(path).fileName()));
        if (row < 0)
            return false;
        fileList->setListIndex(-1);
        fileList->setListIndex(row);
        return true;
    };
    for (const Hostile &bad : hostiles) {
        QVERIFY2(click(bad.path), qPrintable(bad.label + QStringLiteral(" is not listed")));
        QCOMPARE(m_engine->url(), QDir::toNativeSeparators(bad.path));
        expectError(bad.label);
        QVERIFY(click(good));
        expectGoodPlays(good, QStringLiteral("file list after ") + bad.label);
    }

    // Read again, the list shows only what can be a medium.
    fileList->setPath(browse.folder());
    for (const QString &gone : {folder, missing, link, pipe})
        QVERIFY2(!fileList->fileNames().contains(QFileInfo(gone).fileName()), qPrintable(gone));
    QVERIFY(fileList->fileNames().contains(QFileInfo(good).fileName()));
}

void TestHostileMedia::addThenClickInPlayList()
{
    for (const Hostile &bad : std::as_const(m_hostiles)) {
        clickLabel("cmdNewList");
        m_dialog.answerOpen(bad.path);
        clickLabel("cmdAdd");
        QCOMPARE(m_playList1->listCount(), 1);
        QCOMPARE(m_playList1->list(0), bad.path);
        // Adding plays nothing.
        QVERIFY(m_engine->url() != bad.path);
        clickPlayListRow(0);
        QCOMPARE(m_engine->url(), bad.path);
        expectError(bad.label);

        m_dialog.answerOpen(m_good);
        clickLabel("cmdAdd");
        clickPlayListRow(1);
        expectGoodPlays(m_good, QStringLiteral("Add after ") + bad.label);
    }
}

void TestHostileMedia::openCommand()
{
    for (const Hostile &bad : std::as_const(m_hostiles)) {
        m_dialog.answerOpen(bad.path);
        clickButton("cmdOpen");
        QCOMPARE(m_playList1->listCount(), 1);
        QCOMPARE(m_playList1->listIndex(), 0);
        QCOMPARE(m_engine->url(), bad.path);
        expectError(bad.label);

        m_dialog.answerOpen(m_good);
        clickButton("cmdOpen");
        expectGoodPlays(m_good, QStringLiteral("Open after ") + bad.label);
    }
}

void TestHostileMedia::playListFileNamingIt()
{
    auto *plName = controlOf<QLineEdit>(*m_form, "PLName");
    const auto load = [&](const QString &list) {
        m_dialog.answerOpen(list);
        clickLabel("cmdPLLoad");
        QCOMPARE(plName->text(), list);
    };
    const auto m3u = [this](const QString &name, const QString &media) {
        return m_media.textFile(name + QStringLiteral(".m3u"),
                                QStringLiteral("#EXTM3U\n%1\n").arg(media));
    };
    const auto wpl = [this](const QString &name, const QString &media) {
        return m_media.textFile(
            name + QStringLiteral(".wpl"),
            QStringLiteral("<?wpl version=\"1.0\"?>\n<smil><body><seq>\n<media src=\"%1\"/>\n"
                           "</seq></body></smil>\n")
                .arg(xmlEscaped(media)));
    };
    const QString goodM3u = m3u(QStringLiteral("good"), m_good);
    const QString goodWpl = wpl(QStringLiteral("good"), m_good);
    QVERIFY(!goodM3u.isEmpty() && !goodWpl.isEmpty());

    for (int i = 0; i < m_hostiles.size(); ++i) {
        const Hostile &bad = m_hostiles[i];
        const QString name = QStringLiteral("list%1").arg(i);
        for (const QString &list : {m3u(name, bad.path), wpl(name, bad.path)}) {
            QVERIFY(!list.isEmpty());
            const QString label = bad.label + QStringLiteral(" in ") + QFileInfo(list).fileName();
            load(list);
            expectError(label);
            const QString good = list.endsWith(QLatin1String(".m3u")) ? goodM3u : goodWpl;
            load(good);
            expectGoodPlays(good, QStringLiteral("play list after ") + label);
        }
    }
}

void TestHostileMedia::playSimultaneously()
{
    for (const Hostile &bad : std::as_const(m_hostiles)) {
        // The bad file last: it is what the engine is left with.
        clickLabel("cmdNewList");
        m_playList1->addEntry(m_good);
        m_playList1->addEntry(bad.path);
        clickButton("cmdPlsi");
        QCOMPARE(m_playList1->listIndex(), 0);
        QCOMPARE(m_engine->url(), bad.path);
        expectError(bad.label + QStringLiteral(" last"));

        // The bad file first: the good one after it plays.
        clickLabel("cmdNewList");
        m_playList1->addEntry(bad.path);
        m_playList1->addEntry(m_good);
        clickButton("cmdPlsi");
        expectGoodPlays(m_good, QStringLiteral("Play simultaneously after ") + bad.label);
    }
}

QTEST_MAIN(TestHostileMedia)
#include "tst_hostilemedia.moc"
