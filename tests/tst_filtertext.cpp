#include "commands/browse/OpenCommand.h"
#include "commands/playlist/PlayList.h"
#include "core/FilterText.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QtTest>

namespace {

// What Qt's own dialog makes of the name filters: the text each shows in the
// type box, and the patterns its file model is given for each.
struct QtReading
{
    QStringList shown;
    QList<QStringList> patterns;
};

QtReading readByQt(const QStringList &nameFilters)
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    auto *model = dialog.findChild<QFileSystemModel *>();
    QtReading reading;
    if (!combo || !model)
        return reading;
    for (int i = 0; i < combo->count(); ++i) {
        reading.shown << combo->itemText(i);
        dialog.selectNameFilter(nameFilters.at(i));
        reading.patterns << model->nameFilters();
    }
    return reading;
}

const QStringList openDescriptions = {
    QStringLiteral("Media Playlist(*.asx;*.m3u;*.wpl;*.wvx;*.wmx)"),
    QStringLiteral("Microsoft Recorded TV Show (*.drv-ms;*.wtv)"),
    QStringLiteral("MIDI file (*.mid;*.rmi;*.midi)"),
    QStringLiteral("Movie file (*.mpeg;*.mpg;*.mod;*.m2v;*.m1v;*.mpa;*.mpe;*.ifo;*.vob)"),
    QStringLiteral("MP4 Audio file (*.m4a)"),
    QStringLiteral("MP4 Video file (*.mp4;*.m4v;*.3gp;*.3gpp;*.3g2;*.3gp2)"),
    QStringLiteral("MPEG-2 TS Video file (*.m2ts;*.m2t;*.mts;*.ts;*.tts)"),
    QStringLiteral("QuickTime Movie file (*.mov)"),
    QStringLiteral("Windows audio file (wav)(*.wav;*.snd;*.au;*.aif;*.aifc;*.wma;*.mp2;*.mp3)"),
    QStringLiteral("Windows Media file (asf) (*.asf;*.wm;*.wma;*.wmv;*.wmd)"),
    QStringLiteral("Windows picture file (jpg) (*.jpg;*.jpeg)"),
    QStringLiteral("Windows video file (avi) (*.avi;*.wmv)"),
    QStringLiteral("All File (*.*)"),
};

} // namespace

class TestFilterText : public QObject
{
    Q_OBJECT
private slots:
    void mediaTextsReadIntoThirteenPairs();
    void qtShowsDescriptionsAndTakesPatterns();
    void barePatternAndOddTexts();
};

void TestFilterText::mediaTextsReadIntoThirteenPairs()
{
    QCOMPARE(OpenCommand::mediaFilter.size(), 881);
    QVERIFY(OpenCommand::mediaFilter.endsWith(QLatin1String("|*.*|")));

    const FilterText open(OpenCommand::mediaFilter);
    QCOMPARE(open.pairs().size(), 13);
    for (int i = 0; i < 13; ++i)
        QCOMPARE(open.pairs().at(i).description, openDescriptions.at(i));
    QCOMPARE(open.pairs().at(0).patterns,
             QStringList({"*.asx", "*.m3u", "*.wpl", "*.wvx", "*.wmx"}));
    // Pair 7's blank before "*.m2ts" is padding, not part of the name.
    QCOMPARE(open.pairs().at(6).patterns,
             QStringList({"*.m2ts", "*.m2t", "*.mts", "*.ts", "*.tts"}));
    QCOMPARE(open.pairs().at(12).patterns, QStringList({"*"}));

    // Add differs from Open in the description of row 4 only.
    const FilterText add(PlayList::addFilter);
    QCOMPARE(add.pairs().size(), 13);
    for (int i = 0; i < 13; ++i) {
        QCOMPARE(add.pairs().at(i).patterns, open.pairs().at(i).patterns);
        if (i != 3)
            QCOMPARE(add.pairs().at(i).description, open.pairs().at(i).description);
    }
    QCOMPARE(add.pairs().at(3).description,
             QStringLiteral("Movie file (*.mpeg;*.mpg;*.m4a;*.mod;*.m2v;*.m1v;*.mpa;*.mpe;*.ifo;"
                            "*.vob)"));
    QCOMPARE(PlayList::addFilter.size(), 881 + 6);
}

void TestFilterText::qtShowsDescriptionsAndTakesPatterns()
{
    // The description alone in the type box; the patterns, one by one, in
    // the file model, although every description holds parentheses of its
    // own with ";" in them.
    const FilterText open(OpenCommand::mediaFilter);
    const QtReading reading = readByQt(open.nameFilters());
    QCOMPARE(reading.shown, openDescriptions);
    QCOMPARE(reading.patterns.size(), 13);
    for (int i = 0; i < 13; ++i)
        QCOMPARE(reading.patterns.at(i), open.pairs().at(i).patterns);

    const FilterText playListFile(QStringLiteral(
        "Default|PlayList1.wpl|Media Playlist(*.asx;*.m3u;*.wpl;*.wvx;*.wmx)|*.asx;*.m3u;*.wpl;"
        "*.wvx;*.wmx|"));
    const QtReading second = readByQt(playListFile.nameFilters());
    QCOMPARE(second.shown, QStringList({"Default", openDescriptions.at(0)}));
    QCOMPARE(second.patterns.value(0), QStringList({"PlayList1.wpl"}));
}

void TestFilterText::barePatternAndOddTexts()
{
    // Load List hands over a single pattern without any "|".
    const FilterText bare(QStringLiteral("*.txt"));
    QCOMPARE(bare.pairs().size(), 1);
    QCOMPARE(bare.pairs().at(0).description, QStringLiteral("*.txt"));
    QCOMPARE(bare.pairs().at(0).patterns, QStringList({"*.txt"}));
    const QtReading reading = readByQt(bare.nameFilters());
    QCOMPARE(reading.shown, QStringList({"*.txt"}));
    QCOMPARE(reading.patterns.value(0), QStringList({"*.txt"}));

    // The last field may end at the end of the text instead of at a "|".
    const FilterText unclosed(QStringLiteral("Text|*.txt;*.TEXT|Audio| *.wav"));
    QCOMPARE(unclosed.pairs().size(), 2);
    QCOMPARE(unclosed.pairs().at(0).patterns, QStringList({"*.txt", "*.TEXT"}));
    QCOMPARE(unclosed.pairs().at(1).description, QStringLiteral("Audio"));
    QCOMPARE(unclosed.pairs().at(1).patterns, QStringList({"*.wav"}));

    // A description without its pattern still offers something to pick.
    const FilterText dangling(QStringLiteral("Text|*.txt|Everything"));
    QCOMPARE(dangling.pairs().size(), 2);
    QCOMPARE(dangling.pairs().at(1).patterns, QStringList({"*"}));

    QVERIFY(FilterText(QString()).pairs().isEmpty());
    QVERIFY(FilterText(QString()).nameFilters().isEmpty());

    // A line break in a description would hide every pattern of its filter
    // from Qt's dialog; each becomes a blank (CR LF one blank).
    const FilterText broken(QStringLiteral("Text\nFile (*.txt)|*.txt|Two\r\nlines\u2028here|*.wav|"
                                           "Bare\rtext\u0085and\u2029more|*.mp3|"));
    QCOMPARE(broken.pairs().size(), 3);
    QCOMPARE(broken.pairs().at(0).description, QStringLiteral("Text File (*.txt)"));
    QCOMPARE(broken.pairs().at(1).description, QStringLiteral("Two lines here"));
    QCOMPARE(broken.pairs().at(2).description, QStringLiteral("Bare text and more"));
    const QtReading brokenReading = readByQt(broken.nameFilters());
    QCOMPARE(brokenReading.shown,
             QStringList({"Text File (*.txt)", "Two lines here", "Bare text and more"}));
    QCOMPARE(brokenReading.patterns.value(0), QStringList({"*.txt"}));
    QCOMPARE(brokenReading.patterns.value(1), QStringList({"*.wav"}));
    QCOMPARE(brokenReading.patterns.value(2), QStringList({"*.mp3"}));
    // The kept fuzz finding: control bytes and a break, no pattern.
    const FilterText found(QString::fromLatin1("Text File (\x01\0\0\0\n\0\0\0xt|", 22));
    QCOMPARE(found.pairs().size(), 1);
    QVERIFY(!found.pairs().at(0).description.contains(u'\n'));
    QCOMPARE(readByQt(found.nameFilters()).patterns.value(0), QStringList({"*"}));
}

QTEST_MAIN(TestFilterText)
#include "tst_filtertext.moc"
