// Fast reverse on its own, with a clock and seeks the test drives: where it
// seeks as time goes on, one seek at a time, how long it waits for a seek
// that never reports, and how it ends at the start.
#include "engine/FastReverse.h"

#include <QtTest>

class TestFastReverse : public QObject
{
    Q_OBJECT
private slots:
    void runsBackAgainstTheClock_data();
    void runsBackAgainstTheClock();
};

void TestFastReverse::runsBackAgainstTheClock_data()
{
    // script: "step@<ms>" calls step() with the clock at that time, "land"
    // reports the last seek done, "from <s>@<ms>" starts again from there,
    // "stop" ends the run. seen: what each step did, "seek <target>" for a
    // seek sent, "wait" or "start".
    QTest::addColumn<double>("from");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("seen");
    const auto row = [](const char *name, double from, const QString &script, const QString &seen) {
        QTest::newRow(name) << from << script.split(u',') << seen.split(u',');
    };
    // Five times the normal speed: half a second of media each 100 ms.
    row("targets follow the clock", 15, "step@0,land,step@100,land,step@400,land,step@450",
        "seek 15.00,seek 14.50,seek 13.00,seek 12.75");
    row("one seek at a time", 15, "step@0,step@100,step@1900,land,step@2000",
        "seek 15.00,wait,wait,seek 5.00");
    row("a seek that never reports is given up", 15, "step@0,step@1999,step@2000,step@2100",
        "seek 15.00,wait,seek 5.00,wait");
    row("reaching the start ends the run", 1, "step@0,land,step@100,land,step@200,step@300",
        "seek 1.00,seek 0.50,start,wait");
    row("already at the start", 0, "step@0,step@100", "start,wait");
    row("a new place starts the run again", 10, "step@0,from 4@500,step@500,land,step@600",
        "seek 10.00,seek 4.00,seek 3.50");
    row("stop ends the run", 15, "step@0,stop,land,step@100", "seek 15.00,wait");
}

void TestFastReverse::runsBackAgainstTheClock()
{
    QFETCH(double, from);
    QFETCH(QStringList, script);
    QFETCH(QStringList, seen);

    qint64 now = 0;
    QStringList log;
    int seeks = 0;
    FastReverse reverse(
        5.0, [&now] { return now; },
        [&](double target) {
            log << QStringLiteral("seek %1").arg(target, 0, 'f', 2);
            ++seeks;
        });
    reverse.start(from);
    const auto at = [](const QString &token) { return token.section(u'@', 1).toLongLong(); };
    for (const QString &token : script) {
        if (token.startsWith(QLatin1String("step@"))) {
            now = at(token);
            const int before = seeks;
            const FastReverse::Step step = reverse.step();
            // A step sends a seek exactly when it says so.
            QCOMPARE(seeks - before, step == FastReverse::Step::Seeking ? 1 : 0);
            if (step == FastReverse::Step::Waiting)
                log << QStringLiteral("wait");
            else if (step == FastReverse::Step::ReachedStart)
                log << QStringLiteral("start");
        } else if (token == QLatin1String("land")) {
            reverse.seekDone();
        } else if (token.startsWith(QLatin1String("from "))) {
            now = at(token);
            reverse.start(token.mid(5).section(u'@', 0, 0).toDouble());
        } else if (token == QLatin1String("stop")) {
            reverse.stop();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown script step ") + token));
        }
    }
    // A run that has ended only waits: the steps after it say so.
    QCOMPARE(log, seen);
}

QTEST_MAIN(TestFastReverse)
#include "tst_fastreverse.moc"
