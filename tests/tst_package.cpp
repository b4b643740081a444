// Makes the Debian package from the build, as `cmake --build build --target
// package` does, and checks it: its name, the dependencies worked out from the
// binary, the files it holds, the desktop files' validators on what it holds,
// the packaged program run from the package's files, and lintian without an
// error or a warning. Installing it for real is left to a throw-away machine.

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString output;
};

Run run(const QString &program, const QStringList &arguments, int timeoutMs = 300000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.output = program + QStringLiteral(": ") + process.errorString();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QLatin1String(name));
}

} // namespace

class PackageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nameAndControlFields();
    void holdsTheseFiles_data();
    void holdsTheseFiles();
    void holdsNothingElse();
    void packagedFilesAreValid();
    void packagedProgramRuns();
    void lintianFindsNothing();
    void installsOnAThrowAwayMachine();

private:
    QString field(const QString &name) const;
    // A path of the package ("/usr/..." or "usr/...") where it was unpacked.
    QString extracted(const QString &path) const
    {
        return m_root.filePath(path.startsWith(u'/') ? path.mid(1) : path);
    }

    QTemporaryDir m_out;
    QTemporaryDir m_root;
    QString m_package;
    QStringList m_files;
};

void PackageTest::initTestCase()
{
    if (tool("dpkg-deb").isEmpty() || tool("dpkg-shlibdeps").isEmpty())
        QSKIP("not a Debian system with dpkg-dev (dpkg-deb, dpkg-shlibdeps)");
    QVERIFY(m_out.isValid() && m_root.isValid());
    const QString cpack =
        QFileInfo(QStringLiteral(CORVEL_CMAKE_COMMAND)).dir().filePath(QStringLiteral("cpack"));
    const Run made = run(cpack, {QStringLiteral("--config"),
                                 QStringLiteral(CORVEL_BUILD_DIR "/CPackConfig.cmake"),
                                 QStringLiteral("-B"), m_out.path()});
    QVERIFY2(made.exitCode == 0, qPrintable(made.output));

    const QString arch =
        run(tool("dpkg"), {QStringLiteral("--print-architecture")}).output.trimmed();
    QVERIFY(!arch.isEmpty());
    m_package = m_out.filePath(QStringLiteral("corvel-media-player_2.6_%1.deb").arg(arch));
    QVERIFY2(QFileInfo::exists(m_package),
             qPrintable(QDir(m_out.path()).entryList(QDir::Files).join(u' ')));

    const Run listing = run(tool("dpkg-deb"), {QStringLiteral("--contents"), m_package});
    QCOMPARE(listing.exitCode, 0);
    for (const QString &line : listing.output.split(u'\n', Qt::SkipEmptyParts)) {
        // "-rw-r--r-- root/root  1234 2026-12-08 09:00 ./usr/bin/x"
        const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
        QVERIFY2(parts.size() >= 6, qPrintable(line));
        QVERIFY2(parts.at(1) == QLatin1String("root/root"), qPrintable(line));
        if (!parts.at(0).startsWith(u'd'))
            m_files << parts.at(5).mid(1);
    }
    const Run unpacked = run(tool("dpkg-deb"), {QStringLiteral("-x"), m_package, m_root.path()});
    QVERIFY2(unpacked.exitCode == 0, qPrintable(unpacked.output));
}

QString PackageTest::field(const QString &name) const
{
    return run(tool("dpkg-deb"), {QStringLiteral("--field"), m_package, name}).output.trimmed();
}

void PackageTest::nameAndControlFields()
{
    QCOMPARE(field(QStringLiteral("Package")), QStringLiteral("corvel-media-player"));
    QCOMPARE(field(QStringLiteral("Version")), QStringLiteral("2.6"));
    QCOMPARE(field(QStringLiteral("Section")), QStringLiteral("video"));
    QVERIFY(field(QStringLiteral("Maintainer")).contains(u'@'));
    // Worked out from the binary: the C library, Qt and libmpv with the
    // versions this build needs; the platform plugins are named by hand.
    const QStringList depends = field(QStringLiteral("Depends")).split(QStringLiteral(", "));
    for (const char *library : {"libc6 (>=", "libmpv2 (>=", "libqt6widgets6 (>=", "libqt6dbus6 (>=",
                                "libfluidsynth3 (>=", "qt6-qpa-plugins"}) {
        const bool found = std::any_of(depends.begin(), depends.end(), [library](const QString &d) {
            return d.startsWith(QLatin1String(library));
        });
        QVERIFY2(found, qPrintable(QLatin1String(library) + QStringLiteral(" in ") +
                                   depends.join(QStringLiteral(", "))));
    }
}

void PackageTest::holdsTheseFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("program") << QStringLiteral("/usr/bin/corvel-media-player");
    QTest::newRow("engine module")
        << QStringLiteral("/usr/" CORVEL_HELPERS_DIR "/corvel_mpv_engine.so");
    QTest::newRow("OpenGL probe") << QStringLiteral("/usr/" CORVEL_HELPERS_DIR
                                                    "/corvel-opengl-probe");
    QTest::newRow("the seam's libraries")
        << QStringLiteral("/usr/" CORVEL_HELPERS_DIR "/libcorvel_core.so");
    QTest::newRow("the seam's engine library")
        << QStringLiteral("/usr/" CORVEL_HELPERS_DIR "/libcorvel_engine.so");
    QTest::newRow("desktop entry")
        << QStringLiteral("/usr/share/applications/" CORVEL_APP_ID ".desktop");
    QTest::newRow("metainfo") << QStringLiteral("/usr/share/metainfo/" CORVEL_APP_ID
                                                ".metainfo.xml");
    QTest::newRow("D-Bus service")
        << QStringLiteral("/usr/share/dbus-1/services/" CORVEL_APP_ID ".service");
    QTest::newRow("play-list head") << QStringLiteral("/usr/share/corvel-media-player/Pl1.txt");
    QTest::newRow("play-list tail") << QStringLiteral("/usr/share/corvel-media-player/pl3.txt");
    QTest::newRow("copyright") << QStringLiteral("/usr/share/doc/corvel-media-player/copyright");
    QTest::newRow("changelog") << QStringLiteral("/usr/share/doc/corvel-media-player/changelog.gz");
    QTest::newRow("manual page") << QStringLiteral("/usr/share/man/man1/corvel-media-player.1.gz");
    QTest::newRow("scalable icon")
        << QStringLiteral("/usr/share/icons/hicolor/scalable/apps/" CORVEL_APP_ID ".svg");
    for (const QString &size : QStringLiteral(CORVEL_ICON_SIZES).split(u' ', Qt::SkipEmptyParts))
        QTest::newRow(qPrintable(QStringLiteral("icon %1").arg(size)))
            << QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/" CORVEL_APP_ID ".png")
                   .arg(size);
}

void PackageTest::holdsTheseFiles()
{
    QFETCH(QString, path);
    QVERIFY2(m_files.contains(path), qPrintable(m_files.join(u'\n')));
    QVERIFY(QFileInfo(extracted(path)).size() > 0);
}

void PackageTest::holdsNothingElse()
{
    const int icons = QStringLiteral(CORVEL_ICON_SIZES).split(u' ', Qt::SkipEmptyParts).size() + 1;
    // The rows above, and nothing outside /usr.
    QCOMPARE(m_files.size(), 13 + icons);
    for (const QString &file : std::as_const(m_files))
        QVERIFY2(file.startsWith(QLatin1String("/usr/")), qPrintable(file));
}

void PackageTest::packagedFilesAreValid()
{
    QFile service(extracted(QStringLiteral("usr/share/dbus-1/services/" CORVEL_APP_ID ".service")));
    QVERIFY(service.open(QIODevice::ReadOnly));
    // The bus starts the program where the package puts it, not where it
    // was staged.
    QVERIFY(service.readAll().split('\n').contains("Exec=/usr/bin/corvel-media-player"));

    if (tool("desktop-file-validate").isEmpty() || tool("appstreamcli").isEmpty())
        QSKIP("desktop-file-validate or appstreamcli is not installed");
    const Run desktop =
        run(tool("desktop-file-validate"),
            {extracted(QStringLiteral("usr/share/applications/" CORVEL_APP_ID ".desktop"))});
    QVERIFY2(desktop.exitCode == 0 && desktop.output.isEmpty(), qPrintable(desktop.output));
    const Run metainfo =
        run(tool("appstreamcli"),
            {QStringLiteral("validate"), QStringLiteral("--no-net"),
             extracted(QStringLiteral("usr/share/metainfo/" CORVEL_APP_ID ".metainfo.xml"))});
    QVERIFY2(metainfo.exitCode == 0, qPrintable(metainfo.output));
}

void PackageTest::packagedProgramRuns()
{
    const Run version = run(extracted(QStringLiteral("usr/bin/corvel-media-player")),
                            {QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.output.section(u'\n', 0, 0),
             QStringLiteral("corvel-media-player (Corvel Media Player) 2.6"));
    // Stripped, as Debian ships programs.
    const Run file = run(tool("file"), {extracted(QStringLiteral("usr/bin/corvel-media-player"))});
    if (file.exitCode == 0)
        QVERIFY2(file.output.contains(QLatin1String(", stripped")), qPrintable(file.output));
}

void PackageTest::lintianFindsNothing()
{
    if (tool("lintian").isEmpty())
        QSKIP("lintian is not installed (bash scripts/setup.sh installs it)");
    const Run check = run(tool("lintian"),
                          {QStringLiteral("--tag-display-limit"), QStringLiteral("0"), m_package});
    QStringList found;
    for (const QString &line : check.output.split(u'\n', Qt::SkipEmptyParts))
        if (line.startsWith(QLatin1String("E: ")) || line.startsWith(QLatin1String("W: ")))
            found << line;
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    // lintian itself ran to its end (it exits 1 for errors and 2 when it fails).
    QVERIFY2(check.exitCode == 0 || check.exitCode == 1, qPrintable(check.output));
    if (!check.output.isEmpty())
        qInfo("lintian: %s", qPrintable(check.output.trimmed()));
}

void PackageTest::installsOnAThrowAwayMachine()
{
    if (geteuid() != 0 || qgetenv("CORVEL_TEST_INSTALL_PACKAGE") != "1")
        QSKIP("installing the package needs root and CORVEL_TEST_INSTALL_PACKAGE=1 "
              "(a machine that may be changed)");
    const Run install = run(tool("dpkg"), {QStringLiteral("-i"), m_package});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));
    const Run version =
        run(QStringLiteral("/usr/bin/corvel-media-player"), {QStringLiteral("--version")});
    const Run remove =
        run(tool("dpkg"), {QStringLiteral("-r"), QStringLiteral("corvel-media-player")});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(
        version.output.startsWith(QLatin1String("corvel-media-player (Corvel Media Player) 2.6")));
    QVERIFY2(remove.exitCode == 0, qPrintable(remove.output));
}

QTEST_MAIN(PackageTest)
#include "tst_package.moc"
