// Where videos were left: the store's file against bad contents and places,
// and the window's rules for remembering and offering, against the doubles.
#include "core/PositionStore.h"
#include "support/FakeEngine.h"
#include "support/FormAccess.h"
#include "support/ScriptedDialog.h"
#include "support/TestFiles.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {

QByteArray key(int n)
{
    return QByteArray::number(n).rightJustified(64, '0');
}

bool isPrivate(const QString &path)
{
    return QFile::permissions(path) ==
           (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

} // namespace

class TestPositions : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void badStoreIsEmptyAndReplaced_data();
    void badStoreIsEmptyAndReplaced();
    void storeLimits();
    void stoppingRemembersOrForgets_data();
    void stoppingRemembersOrForgets();
    void offerIsTakenOrIgnored_data();
    void offerIsTakenOrIgnored();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString film(const QString &name) const
    {
        return writeBytes(path(name), "not really a film") ? path(name) : QString();
    }
    // The window on a fresh engine double that knows media of this length,
    // with its store here.
    std::unique_ptr<Form1> player(double duration);

    std::optional<QTemporaryDir> m_dir;
    std::optional<FakeEngine> m_engine;
    ScriptedDialog m_dialog;
    std::optional<PositionStore> m_store;
};

std::unique_ptr<Form1> TestPositions::player(double duration)
{
    m_engine.emplace().scriptedDuration = duration;
    m_store.emplace(path(QStringLiteral("state/corvel-media-player/positions")));
    return std::make_unique<Form1>(*m_engine, m_dialog, &*m_store);
}

void TestPositions::badStoreIsEmptyAndReplaced_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray good =
        "corvel-media-player positions 1 2\n" + key(1) + " 130.000\n" + key(2) + " 70.500\n";
    QTest::newRow("damaged key") << QByteArray(good).replace("01 ", "0x ");
    QTest::newRow("damaged number") << QByteArray(good).replace("130.000", "-13O.000");
    QTest::newRow("cut mid-line") << good.left(good.size() - 10);
    QTest::newRow("cut at a line's end") << good.left(good.indexOf('\n', 40) + 1);
    QTest::newRow("someone else's") << QByteArray("[General]\nlast=/home/a/film.mkv\n");
    QTest::newRow("huge") << good + QByteArray(PositionStore::maxBytes, '\n');
    QTest::newRow("a pipe in its place") << QByteArray("pipe");
}

void TestPositions::badStoreIsEmptyAndReplaced()
{
    QFETCH(QByteArray, content);
    const QString file = path(QStringLiteral("positions"));
    // A pipe would hang a reader that waits for its end.
    QVERIFY(content == "pipe" ? ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0
                              : writeBytes(file, content));
    PositionStore store(file);
    QVERIFY(!store.position(key(1)) && !store.position(key(2)));
    QVERIFY(store.remember(key(7), 200.25));
    QCOMPARE(store.position(key(7)), std::optional<double>(200.25));
    QVERIFY(isPrivate(file));
}

void TestPositions::storeLimits()
{
    PositionStore store(path(QStringLiteral("positions")));
    for (int i = 0; i < PositionStore::maxEntries; ++i)
        QVERIFY(store.remember(key(i), 100 + i));
    // Written again, the first is the newest: the second goes.
    QVERIFY(store.remember(key(0), 61) && store.remember(key(9999), 62));
    QCOMPARE(store.position(key(0)), std::optional<double>(61));
    QVERIFY(!store.position(key(1)));
    QCOMPARE(store.position(key(2)), std::optional<double>(102));
    QCOMPARE(readBytes(store.path()).count('\n'), PositionStore::maxEntries + 1);

    // A file where the folder should be stops even root; it is told once.
    PositionStore nowhere(path(QStringLiteral("positions/corvel-media-player/positions")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be kept")));
    QVERIFY(!nowhere.remember(key(1), 100));
    QTest::failOnWarning(QRegularExpression(QStringLiteral("cannot be kept")));
    QVERIFY(!nowhere.remember(key(2), 100));
}

void TestPositions::stoppingRemembersOrForgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("duration");
    QTest::addColumn<double>("before");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<double>("after");
    const double none = -1;
    QTest::newRow("stopped at 2:10") << "film.mkv" << 300.0 << none << "at=130 stop" << 130.0;
    QTest::newRow("paused, window closed")
        << "film.mkv" << 300.0 << none << "at=130 pause close" << 130.0;
    QTest::newRow("other medium") << "film.mp4" << 300.0 << none << "at=130 other" << 130.0;
    QTest::newRow("stopped a minute in") << "film.mkv" << 300.0 << none << "at=60 stop" << none;
    QTest::newRow("a second later") << "film.mkv" << 300.0 << none << "at=61 stop" << 61.0;
    QTest::newRow("31 s before the end") << "film.mkv" << 300.0 << none << "at=269 stop" << 269.0;
    QTest::newRow("30 s before it") << "film.mkv" << 300.0 << 100.0 << "at=270 stop" << none;
    QTest::newRow("played to its end") << "film.mkv" << 300.0 << 100.0 << "at=130 end" << none;
    QTest::newRow("played again, stopped in the first minute")
        << "film.mkv" << 300.0 << none << "at=130 stop play at=59 stop" << none;
    QTest::newRow("stopped while offered") << "film.mkv" << 300.0 << 100.0 << "at=20 stop" << 100.0;
    QTest::newRow("2:59.9 long") << "film.mkv" << 179.9 << none << "at=100 stop" << none;
    QTest::newRow("3:00 long") << "film.mkv" << 180.0 << none << "at=100 stop" << 100.0;
    QTest::newRow("audio only") << "film.mkv" << 300.0 << none << "audio at=130 stop" << none;
    QTest::newRow("MIDI") << "song.mid" << 300.0 << none << "at=130 stop" << none;
    QTest::newRow("never played") << "film.mkv" << 300.0 << 100.0 << "close" << 100.0;
}

void TestPositions::stoppingRemembersOrForgets()
{
    QFETCH(QString, name);
    QFETCH(double, duration);
    QFETCH(double, before);
    QFETCH(QString, steps);
    QFETCH(double, after);
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("Private Folder")));
    const QString medium = film(QStringLiteral("Private Folder/") + name);
    auto form = player(duration);
    if (before >= 0)
        QVERIFY(m_store->remember(PositionStore::keyOf(medium), before));
    form->commands().replaceList({medium}, true);
    MediaTrack track;
    track.type = steps.startsWith(QLatin1String("audio")) ? track.type : MediaTrack::Type::Video;
    track.id = 1;
    m_engine->announceTracks({track});
    for (const QString &step : steps.split(u' ')) {
        if (step.startsWith(QLatin1String("at=")))
            m_engine->announcePosition(step.mid(3).toDouble());
        else if (step == QLatin1String("end"))
            m_engine->raiseEndOfStream();
        else if (step == QLatin1String("other"))
            form->commands().replaceList({film(QStringLiteral("other.mkv"))}, true);
        else if (step == QLatin1String("close"))
            form.reset();
        else if (step != QLatin1String("audio"))
            QVERIFY(runHandler(*form, qPrintable(QStringLiteral("cmd%1%2_Click")
                                                     .arg(step.at(0).toUpper(), step.mid(1)))));
    }
    QCOMPARE(m_store->position(PositionStore::keyOf(medium)).value_or(-1), after);
    // Nothing in the file names the medium or its folder.
    const QByteArray kept = readBytes(m_store->path());
    QVERIFY(!kept.contains("Private") && !kept.contains(name.left(4).toUtf8()));
    QVERIFY(!QFile::exists(m_store->path()) || isPrivate(m_store->path()));
}

void TestPositions::offerIsTakenOrIgnored_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<double>("kept");
    QTest::addColumn<QString>("offer");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("text1");
    QTest::newRow("a click") << "click" << 130.5 << "Resume from 2:10" << true << "2 : 10";
    QTest::newRow("Enter in the play list")
        << "enter" << 3723.0 << "Resume from 1:02:03" << true << "62 : 3";
    QTest::newRow("its key") << "key" << 59.0 << "Resume from 0:59" << true << "0 : 59";
    QTest::newRow("ignored") << "" << 130.0 << "Resume from 2:10" << false << "";
    QTest::newRow("another medium") << "other" << 130.0 << "Resume from 2:10" << false << "";
}

void TestPositions::offerIsTakenOrIgnored()
{
    QFETCH(QString, answer);
    QFETCH(double, kept);
    QFETCH(QString, offer);
    QFETCH(bool, taken);
    QFETCH(QString, text1);
    const QString medium = film(QStringLiteral("film.mkv"));
    auto form = player(7200);
    QVERIFY(m_store->remember(PositionStore::keyOf(medium), kept));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->commands().replaceList({medium}, true);
    auto *list = controlOf<QWidget>(*form, "PlayList1");
    list->setFocus();
    // It plays from its start as ever, and offers.
    QCOMPARE(m_engine->offer(), offer);
    QVERIFY(m_engine->commands().filter(QStringLiteral("seek")).isEmpty());

    if (answer == QLatin1String("click"))
        m_engine->takeOffer();
    else if (answer == QLatin1String("enter"))
        QTest::keyClick(list, Qt::Key_Return);
    else if (answer == QLatin1String("key"))
        QVERIFY(runHandler(*form, "acceptResume"));
    else if (answer == QLatin1String("other"))
        form->commands().replaceList({film(QStringLiteral("other.mkv"))}, true);
    m_engine->announceDuration(7200);

    // Taken, it seeks there once; otherwise the medium plays on from 0.
    const QStringList seeks = m_engine->commands().filter(QStringLiteral("seek"));
    QCOMPARE(seeks, taken ? QStringList{QStringLiteral("seek=%1").arg(kept)} : QStringList());
    QCOMPARE(m_engine->offer(), answer.isEmpty() ? offer : QString());
    if (!taken)
        return;
    QCOMPARE(controlOf<QLineEdit>(*form, "Text1")->text(), text1);
    QVERIFY(runHandler(*form, "acceptResume"));
    QCOMPARE(m_engine->commands().filter(QStringLiteral("seek")), seeks);
}

QTEST_MAIN(TestPositions)
#include "tst_positions.moc"
