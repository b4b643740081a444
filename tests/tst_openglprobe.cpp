// The OpenGL renderer probe in its child process: the first line it prints
// is the renderer, and a child that fails, crashes, hangs or is missing
// means no OpenGL rather than a player that waits or falls over.
#include "engine/OpenGlProbe.h"
#include "engine/OpenGlRenderer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestOpenGlProbe : public QObject
{
    Q_OBJECT
private slots:
    void childAnswers_data();
    void childAnswers();
    void playersProbeAgreesWithOneInProcess();
};

void TestOpenGlProbe::childAnswers_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<bool>("found");
    QTest::newRow("renderer") << "echo 'llvmpipe (LLVM 15.0.6, 256 bits)'" << 30000
                              << "llvmpipe (LLVM 15.0.6, 256 bits)" << true;
    QTest::newRow("first line only")
        << "printf 'Mesa Intel(R) UHD 620\\nextra\\n'" << 30000 << "Mesa Intel(R) UHD 620" << true;
    QTest::newRow("blanks around") << "echo '  AMD Radeon  '" << 30000 << "AMD Radeon" << true;
    QTest::newRow("no OpenGL") << "exit 1" << 30000 << QString() << false;
    QTest::newRow("says nothing") << "exit 0" << 30000 << QString() << false;
    QTest::newRow("name but failure") << "echo llvmpipe; exit 3" << 30000 << QString() << false;
    QTest::newRow("crashes") << "echo llvmpipe; kill -SEGV $$" << 30000 << QString() << false;
    // A driver that hangs: the child is given up on and killed.
    QTest::newRow("hangs") << "exec sleep 60" << 200 << QString() << false;
    QTest::newRow("missing") << QString() << 30000 << QString() << false;
}

void TestOpenGlProbe::childAnswers()
{
    QFETCH(QString, script);
    QFETCH(int, limitMs);
    QFETCH(QString, renderer);
    QFETCH(bool, found);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("probe"));
    if (!script.isEmpty()) {
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + script.toUtf8() + "\n");
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    OpenGlProbe probe(program, limitMs);
    QSignalSpy finished(&probe, &OpenGlProbe::finished);
    if (script.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not start")));
    if (limitMs < 1000)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("took more than")));
    probe.start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
    const auto answer = finished.first().at(0).value<std::optional<QString>>();
    QCOMPARE(answer.has_value(), found);
    if (found)
        QCOMPARE(*answer, renderer);
    QVERIFY(probe.isFinished());
    QCOMPARE(probe.renderer(), answer);
    // Once only: a second start runs no second child.
    probe.start();
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 1);
}

void TestOpenGlProbe::playersProbeAgreesWithOneInProcess()
{
    OpenGlProbe &probe = OpenGlProbe::machine();
    QCOMPARE(&OpenGlProbe::machine(), &probe);
    QSignalSpy finished(&probe, &OpenGlProbe::finished);
    probe.start();
    QTRY_VERIFY_WITH_TIMEOUT(probe.isFinished(), 30000);
    QCOMPARE(probe.renderer(), probeOpenGlRenderer());
}

QTEST_MAIN(TestOpenGlProbe)
#include "tst_openglprobe.moc"
