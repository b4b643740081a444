// The engine module loaded at run time: a real engine comes out of it whose
// signals reach the window, and a module that cannot serve says why.
#include "engine/DeferredEngine.h"
#include "engine/EngineLoader.h"
#include "support/TestMedia.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

class TestEngineLoader : public QObject
{
    Q_OBJECT
private slots:
    void realEngineComesOutOfTheModule();
    void moduleThatCannotServeIsReported_data();
    void moduleThatCannotServeIsReported();
};

void TestEngineLoader::realEngineComesOutOfTheModule()
{
    TestMedia media;
    const QString tone = media.wav(QStringLiteral("tone.wav"), 1.5);
    QVERIFY(!tone.isEmpty());

    EngineLoader loader(EngineLoader::defaultModulePath(), true);
    QSignalSpy loaded(&loader, &EngineLoader::loaded);
    QSignalSpy failed(&loader, &EngineLoader::failed);
    DeferredEngine engine;
    connect(&loader, &EngineLoader::loaded, &engine,
            [&engine](MediaEngine *real) { engine.attach(std::unique_ptr<MediaEngine>(real)); });
    // The module's engine speaks through the program's own seam: its
    // signals arrive, which they would not with a second copy of it. Spied
    // on from the start, since the length may come in the same turn of the
    // event loop as the module.
    QSignalSpy durations(&engine, &MediaEngine::durationChanged);
    QSignalSpy ends(&engine, &MediaEngine::endOfStream);
    // Asked for before the module is there, as a command-line file is.
    engine.setUrl(tone);
    loader.start();
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() || !failed.isEmpty(), 60000);
    QVERIFY2(failed.isEmpty(), failed.isEmpty() ? "" : qPrintable(failed.first().at(0).toString()));
    auto *made = loaded.first().at(0).value<QObject *>();
    QVERIFY(made);
    QCOMPARE(made->thread(), QThread::currentThread());

    QTRY_VERIFY_WITH_TIMEOUT(engine.duration().has_value(), 30000);
    QVERIFY(qAbs(*engine.duration() - 1.5) < 0.1);
    QVERIFY(!durations.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(ends.count(), 1, 30000);
    QVERIFY(qobject_cast<MediaEngine *>(made));
}

void TestEngineLoader::moduleThatCannotServeIsReported_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("named");
    QTest::newRow("missing") << "missing/corvel_mpv_engine.so"
                             << "corvel_mpv_engine";
    QTest::newRow("not a library") << "text.so"
                                   << "text.so";
    // zlib is always there, and makes no engine.
    QTest::newRow("some other library") << "libz.so.1"
                                        << "no media engine";
}

void TestEngineLoader::moduleThatCannotServeIsReported()
{
    QFETCH(QString, module);
    QFETCH(QString, named);
    QTemporaryDir dir;
    QString path = module;
    if (module.contains(u'/') || module == u"text.so")
        path = dir.filePath(module);
    if (module == u"text.so") {
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not an ELF file\n");
    }
    EngineLoader loader(path, true);
    QSignalSpy loaded(&loader, &EngineLoader::loaded);
    QSignalSpy failed(&loader, &EngineLoader::failed);
    loader.start();
    QTRY_VERIFY_WITH_TIMEOUT(!failed.isEmpty(), 30000);
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(failed.count(), 1);
    const QString reason = failed.first().at(0).toString();
    QVERIFY2(reason.contains(named), qPrintable(reason));
}

QTEST_MAIN(TestEngineLoader)
#include "tst_engineloader.moc"
