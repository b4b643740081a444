// Play lists whose entries are nearly all missing or refused, in the real
// engine: for 2,000, 20,000 and 100,000 such entries before one good
// medium, the time and CPU until the good medium plays, and the CPU used
// while it plays; beside mpv given the same .m3u where it is installed.
//
//     bench_refusedentries            every size
//     bench_refusedentries 2000       one size
#include "BenchClock.h"
#include "BenchEngine.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

QTextStream out(stdout);

// Longer than this and the figure is printed as a lower bound.
constexpr int giveUpMs = 120000;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

// A mono 16-bit WAV of silence this long.
void writeWav(const QString &path, double seconds)
{
    const quint32 samples = quint32(seconds * 8000);
    QByteArray bytes;
    QDataStream data(&bytes, QIODevice::WriteOnly);
    data.setByteOrder(QDataStream::LittleEndian);
    data.writeRawData("RIFF", 4);
    data << quint32(36 + samples * 2);
    data.writeRawData("WAVEfmt ", 8);
    data << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
         << quint16(16);
    data.writeRawData("data", 4);
    data << quint32(samples * 2);
    bytes.append(QByteArray(int(samples * 2), '\0'));
    writeFile(path, bytes);
}

struct Figures
{
    bool settled = false;
    qint64 wallMs = 0;
    double cpuToPlay = 0;
    // CPU while the good medium plays, in % of one core.
    double playingCpuPercent = -1;
};

Figures measure(const QString &list, double goodSeconds)
{
    auto engine = startEngine(MpvEngine::Options::headless());
    Figures figures;
    QElapsedTimer clock;
    const double cpuBefore = cpuSeconds();
    clock.start();
    engine->setUrl(list);
    figures.settled = waitFor(
        [&] {
            const auto length = engine->duration();
            return length && qAbs(*length - goodSeconds) < 0.05 &&
                   engine->status().startsWith(QLatin1String("Playing"));
        },
        giveUpMs, 2);
    figures.wallMs = clock.elapsed();
    figures.cpuToPlay = cpuSeconds() - cpuBefore;
    if (figures.settled) {
        const double cpuPlaying = cpuSeconds();
        QElapsedTimer playing;
        playing.start();
        waitFor([] { return false; }, 2000);
        figures.playingCpuPercent = 100.0 * (cpuSeconds() - cpuPlaying) / (playing.elapsed() / 1e3);
    }
    return figures;
}

// mpv's own time through the same list to its end, good medium included.
QString peer(const QString &list)
{
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    if (mpv.isEmpty())
        return QStringLiteral("mpv not installed");
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(mpv, {QStringLiteral("--no-config"), QStringLiteral("--really-quiet"),
                        QStringLiteral("--ao=null"), QStringLiteral("--vo=null"), list});
    if (!process.waitForFinished(giveUpMs)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("mpv over %1 s").arg(giveUpMs / 1000);
    }
    return QStringLiteral("mpv to its end %1 ms").arg(clock.elapsed());
}

void report(const char *what, int entries, const Figures &f, const QString &peerText)
{
    if (!f.settled) {
        out << what << " " << entries << ": not playing after " << giveUpMs / 1000 << " s ("
            << QString::number(f.cpuToPlay, 'f', 1) << " s CPU)";
    } else {
        out << what << " " << entries << ": good medium playing after " << f.wallMs << " ms, "
            << QString::number(f.cpuToPlay, 'f', 2) << " s CPU; then "
            << QString::number(f.playingCpuPercent, 'f', 1) << "% of a core while it plays";
    }
    if (!peerText.isEmpty())
        out << "; " << peerText;
    out << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes = {2000, 20000, 100000};
    if (argc > 1)
        sizes = {QString::fromLocal8Bit(argv[1]).toInt()};
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.wav"));
    const double goodSeconds = 3.0;
    writeWav(good, goodSeconds);

    for (int entries : sizes) {
        QByteArray missing = "#EXTM3U\n";
        QByteArray refused = "#EXTM3U\n";
        QByteArray asx = "<ASX version=\"3.0\">\n";
        for (int i = 0; i < entries; ++i) {
            const QByteArray n = QByteArray::number(i);
            missing += dir.filePath(QStringLiteral("missing-")).toUtf8() + n + ".wav\n";
            refused += "lavfi://sine" + n + "\n";
            asx += "<Entry><Ref href=\"fd://" + n + "\"/></Entry>\n";
        }
        missing += good.toUtf8() + '\n';
        refused += good.toUtf8() + '\n';
        asx += "<Entry><Ref href=\"" + good.toUtf8() + "\"/></Entry>\n</ASX>\n";
        const QString missingList = dir.filePath(QStringLiteral("missing-%1.m3u").arg(entries));
        const QString refusedList = dir.filePath(QStringLiteral("refused-%1.m3u").arg(entries));
        const QString asxList = dir.filePath(QStringLiteral("refused-%1.asx").arg(entries));
        writeFile(missingList, missing);
        writeFile(refusedList, refused);
        writeFile(asxList, asx);

        report("missing files in an .m3u", entries, measure(missingList, goodSeconds),
               peer(missingList));
        report("refused sources in an .m3u", entries, measure(refusedList, goodSeconds),
               peer(refusedList));
        report("refused sources in an .asx", entries, measure(asxList, goodSeconds), {});
    }
    return 0;
}
