// Which names the engine lets its player open, decided without any player:
// names handed over directly, names the player is about to open, entries of
// the play lists it reads, with files, folders, pipes and undecodable names
// made in a temporary folder.
#include "core/SourceRule.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a row puts at its path before the rule looks at it.
enum class Make
{
    Nothing,
    File,
    Folder,
    Pipe
};

} // namespace

Q_DECLARE_METATYPE(Make)

class TestSourceRule : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void namesHandedOver_data();
    void namesHandedOver();
    void namesAboutToOpen_data();
    void namesAboutToOpen();
    void undecodableNamesAreRefused();

private:
    // Makes what the row asks for at this name inside the folder; "%1" in
    // a name stands for the folder.
    QString prepare(const QString &name, Make make);

    QTemporaryDir m_dir;
};

void TestSourceRule::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestSourceRule::prepare(const QString &name, Make make)
{
    const QString resolved = QString(name).replace(QLatin1String("%1"), m_dir.path());
    const QString path = m_dir.filePath(QStringLiteral("made"));
    QDir(path).removeRecursively();
    QFile::remove(path);
    switch (make) {
    case Make::Nothing:
        break;
    case Make::File:
        writeBytes(path, "RIFF");
        break;
    case Make::Folder:
        QDir().mkpath(path);
        break;
    case Make::Pipe:
        ::mkfifo(QFile::encodeName(path).constData(), 0644);
        break;
    }
    return resolved;
}

void TestSourceRule::namesHandedOver_data()
{
    // location: where the name leads, "%1" the folder; empty when refused.
    // error: a part of the reason when refused.
    QTest::addColumn<QString>("name");
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("location");
    QTest::addColumn<bool>("local");
    QTest::addColumn<QString>("error");
    QTest::newRow("a file") << "%1/made" << Make::File << "%1/made" << true << QString();
    QTest::newRow("a file URL") << "file://%1/made" << Make::File << "%1/made" << true << QString();
    QTest::newRow("a network stream") << "http://example.org/a.mp3" << Make::Nothing
                                      << "http://example.org/a.mp3" << false << QString();
    QTest::newRow("missing") << "%1/made" << Make::Nothing << QString() << false
                             << "made was not found";
    QTest::newRow("a folder") << "%1/made" << Make::Folder << QString() << false
                              << "made is a folder, not a medium";
    QTest::newRow("a pipe") << "%1/made" << Make::Pipe << QString() << false
                            << "made is a pipe or a device, not a medium file";
    QTest::newRow("a device") << "/dev/null" << Make::Nothing << QString() << false
                              << "null is a pipe or a device";
    QTest::newRow("a refused scheme") << "lavfi://sine" << Make::Nothing << QString() << false
                                      << "lavfi://sine was not opened: the source type";
    QTest::newRow("the MIDI route's scheme") << "corvelmidi://0123" << Make::Nothing << QString()
                                             << false << "corvelmidi://0123 was not opened";
    QTest::newRow("a file on another computer")
        << "file://other/x.mp3" << Make::Nothing << QString() << false << "another computer";
    QTest::newRow("a NUL in the name") << QStringLiteral("%1/ma\u0000de") << Make::File << QString()
                                       << false << "holds a NUL character";
    QTest::newRow("a Windows drive")
        << "C:\\Music\\a.mp3" << Make::Nothing << QString() << false << "Windows drive";
}

void TestSourceRule::namesHandedOver()
{
    QFETCH(QString, name);
    QFETCH(Make, make);
    QFETCH(QString, location);
    QFETCH(bool, local);
    QFETCH(QString, error);
    const SourceRule::Decision decision = SourceRule::forUrl(prepare(name, make));
    QCOMPARE(decision.location, QString(location).replace(QLatin1String("%1"), m_dir.path()));
    QCOMPARE(decision.local, local);
    if (error.isEmpty())
        QCOMPARE(decision.error, QString());
    else
        QVERIFY2(decision.error.contains(error), qPrintable(decision.error));
}

void TestSourceRule::namesAboutToOpen_data()
{
    // Empty reasons: the name may open. The list check never looks at the
    // disk, the load check and the XML play-list check do.
    QTest::addColumn<QString>("name");
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("onLoad");
    QTest::addColumn<QString>("inList");
    QTest::addColumn<QString>("inXmlList");
    const QString folder = QStringLiteral("a folder, not a medium");
    const QString pipe = QStringLiteral("a pipe or a device, not a medium file");
    const QString scheme = QStringLiteral("the source type");
    QTest::newRow("a file") << "%1/made" << Make::File << QString() << QString() << QString();
    QTest::newRow("a missing file")
        << "%1/made" << Make::Nothing << QString() << QString() << QString();
    QTest::newRow("a folder") << "%1/made" << Make::Folder << folder << QString() << folder;
    QTest::newRow("a pipe") << "%1/made" << Make::Pipe << pipe << QString() << pipe;
    QTest::newRow("a network stream")
        << "https://example.org/live" << Make::Nothing << QString() << QString() << QString();
    QTest::newRow("lavfi") << "av://lavfi:sine" << Make::Nothing << scheme << scheme << QString();
    QTest::newRow("edl") << "edl://%1/made,0,1" << Make::File << scheme << scheme << QString();
    QTest::newRow("fd") << "fd://0" << Make::Nothing << scheme << scheme << QString();
}

void TestSourceRule::namesAboutToOpen()
{
    QFETCH(QString, name);
    QFETCH(Make, make);
    QFETCH(QString, onLoad);
    QFETCH(QString, inList);
    QFETCH(QString, inXmlList);
    const QString prepared = prepare(name, make);
    const auto expect = [](const QString &reason, const QString &part) {
        return part.isEmpty() ? reason.isEmpty() : reason.contains(part);
    };
    QVERIFY2(expect(SourceRule::refusedOnLoad(prepared), onLoad),
             qPrintable(SourceRule::refusedOnLoad(prepared)));
    QVERIFY2(expect(SourceRule::refusedInList(prepared), inList),
             qPrintable(SourceRule::refusedInList(prepared)));
    QVERIFY2(expect(SourceRule::refusedInXmlList(prepared), inXmlList),
             qPrintable(SourceRule::refusedInXmlList(prepared)));
}

void TestSourceRule::undecodableNamesAreRefused()
{
    // "bad", the bytes FF FE (not UTF-8), ".wav": read as text, the name is
    // "bad\uFFFD\uFFFD.wav", which leads nowhere or to another file.
    const QByteArray folder = QFile::encodeName(m_dir.path());
    const QByteArray raw = folder + "/bad\xff\xfe.wav";
    FILE *file = std::fopen(raw.constData(), "w");
    QVERIFY(file);
    std::fclose(file);
    const QString shown = m_dir.filePath(QStringLiteral("bad\uFFFD\uFFFD.wav"));
    QCOMPARE(SourceRule::lossyPart(shown), QStringLiteral("bad\uFFFD\uFFFD.wav"));
    QVERIFY(SourceRule::forUrl(shown).error.contains(QLatin1String("not valid text")));

    // A neighbour really named so cannot be told apart from it either.
    QVERIFY(writeBytes(shown, "RIFF"));
    QVERIFY(SourceRule::forUrl(shown).error.contains(QLatin1String("not valid text")));
    QVERIFY(SourceRule::forUrl(shown).location.isEmpty());

    // Once the undecodable one is gone, the name is plain text again.
    QCOMPARE(::unlink(raw.constData()), 0);
    QCOMPARE(SourceRule::lossyPart(shown), QString());
    QCOMPARE(SourceRule::forUrl(shown).location, shown);
}

QTEST_MAIN(TestSourceRule)
#include "tst_sourcerule.moc"
