// Hand-over figures on a private session bus: a second start of the player
// with a file, from its launch to that file playing in the window that was
// already open (and to the second process's exit), beside a cold start with
// the same file, from launch to the file playing. "Playing" is read from
// outside over MPRIS: the file is the current medium and its position has
// moved. Prints figures; judges nothing.
//
//   bench_handover [runs]     (5 by default; offscreen or under xvfb-run)

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString mprisName = QStringLiteral("org.mpris.MediaPlayer2.corvel");

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../corvel-media-player");
}

// A silent 16-bit mono WAV of this many seconds.
bool writeWav(const QString &path, int seconds)
{
    const quint32 rate = 44100;
    const quint32 bytes = rate * 2 * quint32(seconds);
    QByteArray wav("RIFF");
    auto put32 = [&wav](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav.append(char((v >> (8 * i)) & 0xff));
    };
    auto put16 = [&wav](quint16 v) {
        wav.append(char(v & 0xff));
        wav.append(char(v >> 8));
    };
    put32(36 + bytes);
    wav.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    wav.append("data");
    put32(bytes);
    wav.append(QByteArray(int(bytes), '\0'));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(wav) == wav.size();
}

QVariant playerProperty(const QDBusConnection &bus, const QString &name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        mprisName, QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.mpris.MediaPlayer2.Player") << name;
    const QDBusMessage reply = bus.call(get, QDBus::Block, 1000);
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

// Whether the player under mprisName plays this file: it is the current
// medium and its position has moved.
bool plays(const QDBusConnection &bus, const QString &file)
{
    const QVariant metadata = playerProperty(bus, QStringLiteral("Metadata"));
    if (metadata.userType() != qMetaTypeId<QDBusArgument>())
        return false;
    const QVariantMap map = qdbus_cast<QVariantMap>(metadata.value<QDBusArgument>());
    if (map.value(QStringLiteral("xesam:url")).toString() !=
        QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded))
        return false;
    return playerProperty(bus, QStringLiteral("Position")).toLongLong() > 0;
}

// Milliseconds until the check holds, polled every 5 ms; -1 after 30 s.
template <class Check> double waitMs(const QElapsedTimer &clock, Check check)
{
    while (clock.elapsed() < 30000) {
        if (check())
            return double(clock.nsecsElapsed()) / 1e6;
        QThread::msleep(5);
    }
    return -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

QString list(const std::vector<double> &values)
{
    QStringList texts;
    for (double v : values)
        texts << QString::number(v, 'f', 0);
    return texts.join(QStringLiteral(", "));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--print-address"),
                  QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
    if (!daemon.waitForStarted() || !daemon.waitForReadyRead(10000)) {
        std::fprintf(stderr, "dbus-daemon could not be started\n");
        return 1;
    }
    const QString address = QString::fromLatin1(daemon.readLine()).trimmed();
    const QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("bench"));

    QTemporaryDir dir;
    const QString files[2] = {dir.filePath(QStringLiteral("one.wav")),
                              dir.filePath(QStringLiteral("two.wav"))};
    if (!writeWav(files[0], 30) || !writeWav(files[1], 30)) {
        std::fprintf(stderr, "the clips could not be written\n");
        return 1;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    auto start = [&env](QProcess &process, const QStringList &arguments) {
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program(), arguments);
    };

    std::vector<double> cold;
    for (int i = 0; i < runs; ++i) {
        QProcess player;
        QElapsedTimer clock;
        clock.start();
        start(player, {files[0]});
        cold.push_back(waitMs(clock, [&] { return plays(bus, files[0]); }));
        player.terminate();
        player.waitForFinished();
        // The names are free again before the next start.
        waitMs(clock, [&] { return !bus.interface()->isServiceRegistered(mprisName).value(); });
    }

    QProcess first;
    QElapsedTimer firstClock;
    firstClock.start();
    start(first, {});
    waitMs(firstClock, [&] { return bus.interface()->isServiceRegistered(mprisName).value(); });
    std::vector<double> handOver;
    std::vector<double> secondExit;
    for (int i = 0; i < runs; ++i) {
        const QString &file = files[i % 2];
        QProcess second;
        QElapsedTimer clock;
        clock.start();
        start(second, {file});
        // Both watched in one loop, as either may come first.
        double played = -1;
        double exited = -1;
        waitMs(clock, [&] {
            if (exited < 0 && second.waitForFinished(0))
                exited = second.exitCode() == 0 ? double(clock.nsecsElapsed()) / 1e6 : 0;
            if (played < 0 && plays(bus, file))
                played = double(clock.nsecsElapsed()) / 1e6;
            return played >= 0 && exited >= 0;
        });
        handOver.push_back(played);
        secondExit.push_back(exited);
    }
    first.terminate();
    first.waitForFinished();
    daemon.terminate();
    daemon.waitForFinished();

    std::printf("platform %s, %d runs, medians in ms (each run in brackets)\n",
                qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"))), runs);
    std::printf("cold start, launch to the file playing:              %6.0f  (%s)\n", median(cold),
                qPrintable(list(cold)));
    std::printf("second launch, to the file playing in the first:     %6.0f  (%s)\n",
                median(handOver), qPrintable(list(handOver)));
    std::printf("second launch, to the second process's exit:         %6.0f  (%s)\n",
                median(secondExit), qPrintable(list(secondExit)));
    return 0;
}
