// Which of mpv's reports about its list entries belong to the current
// medium, however late mpv names the medium's first entry: reports the
// test makes up, in the orders mpv may send them.
#include "engine/mpv/MpvEntryFilter.h"

#include <QtTest>

class TestMpvEntryFilter : public QObject
{
    Q_OBJECT
private slots:
    void onlyTheCurrentMediumsEntriesPass_data();
    void onlyTheCurrentMediumsEntriesPass();
};

void TestMpvEntryFilter::onlyTheCurrentMediumsEntriesPass_data()
{
    // script: "open <request>", "reply <request>@<first entry>", "clear",
    // "start <entry>", "loaded", "fail <entry>". passed: what reached the
    // engine, in order, with "stale <request>" for an answer ignored.
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("passed");
    const auto row = [](const char *name, const QString &script, const QString &passed) {
        QTest::newRow(name) << script.split(u',')
                            << (passed.isEmpty() ? QStringList() : passed.split(u','));
    };
    row("the answer comes first", "open 1,reply 1@5,start 4,fail 4,start 5,loaded",
        "start 5,loaded");
    row("the new entry comes before the answer", "open 1,start 5,loaded,reply 1@5,fail 6",
        "start 5,loaded,fail 6");
    row("the old medium's last words before the answer",
        "open 1,start 4,loaded,fail 4,start 5,reply 1@5", "start 5");
    row("a replaced file reports its loading", "start 3,open 1,reply 1@5,loaded,start 5,loaded",
        "start 3,start 5,loaded");
    row("an answer to a replaced request", "open 1,open 2,reply 1@5,start 5,reply 2@6,start 6",
        "stale 1,start 6");
    row("no medium", "open 1,reply 1@5,start 5,clear,loaded,fail 5,start 7", "start 5");
    row("cleared before the answer", "open 1,start 5,clear,reply 1@5,start 6", "stale 1");
    row("later entries of a list pass", "open 1,reply 1@5,start 5,loaded,start 8,fail 8",
        "start 5,loaded,start 8,fail 8");
}

void TestMpvEntryFilter::onlyTheCurrentMediumsEntriesPass()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, passed);
    using Kind = MpvEntryFilter::Event::Kind;
    QStringList seen;
    // Before any opening, as when the engine starts, everything passes.
    MpvEntryFilter filter([&seen](const MpvEntryFilter::Event &event) {
        switch (event.kind) {
        case Kind::Started:
            seen << QStringLiteral("start %1").arg(event.entryId);
            break;
        case Kind::Loaded:
            seen << QStringLiteral("loaded");
            break;
        case Kind::Failed:
            QCOMPARE(event.reason, QStringLiteral("why %1").arg(event.entryId));
            seen << QStringLiteral("fail %1").arg(event.entryId);
            break;
        }
    });
    filter.opened(0);
    for (const QString &step : script) {
        const QString word = step.section(u' ', 0, 0);
        const QString value = step.section(u' ', 1);
        if (word == QLatin1String("open")) {
            filter.opening(value.toULongLong());
        } else if (word == QLatin1String("reply")) {
            const quint64 request = value.section(u'@', 0, 0).toULongLong();
            if (filter.isOpening(request))
                filter.opened(value.section(u'@', 1).toLongLong());
            else
                seen << QStringLiteral("stale %1").arg(request);
        } else if (word == QLatin1String("clear")) {
            filter.clear();
        } else if (word == QLatin1String("start")) {
            filter.report({Kind::Started, value.toLongLong(), {}});
        } else if (word == QLatin1String("loaded")) {
            filter.report({Kind::Loaded, 0, {}});
        } else if (word == QLatin1String("fail")) {
            filter.report({Kind::Failed, value.toLongLong(), QStringLiteral("why ") + value});
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown script step ") + step));
        }
    }
    QCOMPARE(seen, passed);
}

QTEST_MAIN(TestMpvEntryFilter)
#include "tst_mpventryfilter.moc"
