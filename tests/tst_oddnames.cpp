// File names with any bytes a folder may hold, clicked in the window's file
// list and played by the real engine: each must play that very file, or say
// why it cannot, never another one.
#include "app/Form1.h"
#include "support/FormAccess.h"
#include "support/RealEngine.h"
#include "support/ScriptedDialog.h"
#include "support/TestMedia.h"
#include "widgets/FileListBox.h"

#include <QFile>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int startTimeout = 15000;

bool near(std::optional<double> value, double expected)
{
    return value && qAbs(*value - expected) < 0.05;
}

// Copies a file to a path given as raw bytes, which QString cannot hold.
bool copyToRawName(const QString &source, const QByteArray &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = in.readAll();
    const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, data.constData(), size_t(data.size())) == data.size();
    return ::close(fd) == 0 && written;
}

} // namespace

class TestOddNames : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyOddNamePlaysThatVeryFile();
    void undecodableNameNeverOpensAnotherFile();

private:
    // Clicks the entry shown as this name; false when it is not listed.
    bool click(const QString &name);

    TestMedia m_media;
    TestMedia m_bad;
    std::unique_ptr<MpvEngine> m_engine;
    ScriptedDialog m_dialog;
    std::unique_ptr<Form1> m_form;
    FileListBox *m_list = nullptr;
};

void TestOddNames::initTestCase()
{
    m_engine = makeEngine(MpvEngine::Options::headless());
    m_form = std::make_unique<Form1>(*m_engine, m_dialog);
    m_list = controlOf<FileListBox>(*m_form, "FileList");
    QVERIFY(m_list);
}

bool TestOddNames::click(const QString &name)
{
    const int index = int(m_list->fileNames().indexOf(name));
    if (index < 0)
        return false;
    m_list->setListIndex(-1);
    m_list->setListIndex(index);
    return true;
}

void TestOddNames::everyOddNamePlaysThatVeryFile()
{
    // Each of a different length, so playing a wrong file shows.
    const QStringList names = {QStringLiteral("two  words .wav"),
                               QStringLiteral("say \"hi\".wav"),
                               QStringLiteral("rock & roll.wav"),
                               QStringLiteral("a<b>c.wav"),
                               QStringLiteral("one, two.wav"),
                               QStringLiteral("x#y.wav"),
                               QStringLiteral("-x.wav"),
                               QStringLiteral("--volume=0.wav"),
                               QStringLiteral("lavfi:sine.wav"),
                               QStringLiteral("av:x.wav"),
                               QStringLiteral("Привет мир.wav"),
                               QStringLiteral("音楽ファイル.wav"),
                               QStringLiteral("'single' $HOME `x`.wav")};
    QHash<QString, double> seconds;
    for (int i = 0; i < names.size(); ++i) {
        seconds.insert(names[i], 0.5 + 0.1 * i);
        QVERIFY2(!m_media.wav(names[i], seconds[names[i]]).isEmpty(),
                 qPrintable(m_media.lastError()));
    }
    m_list->setPath(m_media.folder());
    QCOMPARE(m_list->listCount(), names.size());

    for (const QString &name : names) {
        QVERIFY2(click(name), qPrintable(name + QStringLiteral(" is not listed")));
        QCOMPARE(QFileInfo(m_engine->url()).fileName(), name);
        // "Playing" may still be the file before's for a moment: the length is
        // what tells which file plays.
        QTRY_VERIFY2_WITH_TIMEOUT(
            m_engine->status() == QStringLiteral("Playing") &&
                near(m_engine->duration(), seconds[name]),
            qPrintable(QStringLiteral("%1: %2 s, %3")
                           .arg(name)
                           .arg(m_engine->duration().value_or(-1))
                           .arg(m_engine->status())),
            startTimeout);
    }
    QCOMPARE(m_dialog.messages, QStringList());
}

void TestOddNames::undecodableNameNeverOpensAnotherFile()
{
    const QString tone = m_bad.wav(QStringLiteral("source.wav"), 0.6);
    QVERIFY(!tone.isEmpty());
    const QByteArray folder = QFile::encodeName(m_bad.folder());
    // "bad", the bytes FF FE (not UTF-8), ".wav": shown as "bad\uFFFD\uFFFD.wav".
    const QByteArray rawName = folder + "/bad\xff\xfe.wav";
    QVERIFY(copyToRawName(tone, rawName));
    QVERIFY(QFile::remove(tone));
    const QString shown = QStringLiteral("bad\uFFFD\uFFFD.wav");

    m_list->setPath(m_bad.folder());
    QCOMPARE(m_list->fileNames(), QStringList{shown});
    QVERIFY(click(shown));
    QVERIFY2(m_engine->status().startsWith(QLatin1String("Error: ")) &&
                 m_engine->status().contains(QLatin1String("not valid text")),
             qPrintable(m_engine->status()));
    QTest::qWait(300);
    QVERIFY(!m_engine->duration());

    // A neighbour whose name really is the text shown: the two cannot be
    // told apart by name, so neither click may open it.
    QVERIFY(!m_bad.wav(shown, 1.3).isEmpty());
    m_list->setPath(m_bad.folder());
    QCOMPARE(m_list->fileNames(), (QStringList{shown, shown}));
    for (int index : {0, 1}) {
        m_list->setListIndex(-1);
        m_list->setListIndex(index);
        QVERIFY2(m_engine->status().contains(QLatin1String("not valid text")),
                 qPrintable(m_engine->status()));
        QTest::qWait(300);
        QVERIFY(!m_engine->duration());
    }

    // Once the undecodable one is gone, the other is plain text and plays.
    QCOMPARE(::unlink(rawName.constData()), 0);
    m_list->setPath(m_bad.folder());
    QVERIFY(click(shown));
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->status(), QStringLiteral("Playing"), startTimeout);
    QVERIFY(near(m_engine->duration(), 1.3));
}

QTEST_MAIN(TestOddNames)
#include "tst_oddnames.moc"
