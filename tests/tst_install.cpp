// Installs the build into a temporary prefix, as a packager would with
// `cmake --install`, and checks what lands there: the program, Generate's
// head and tail where the program looks for them, the .desktop file, the
// D-Bus service that starts the program by its name, the metainfo and the
// icons, and nothing else.

#include "core/MediaFilters.h"
#include "core/MediaTypes.h"
#include "core/WplWriter.h"
#include "widgets/Pictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The keys of the [Desktop Entry] group.
QMap<QString, QString> desktopEntry(const QString &path)
{
    QMap<QString, QString> keys;
    bool inEntry = false;
    const QList<QByteArray> lines = contents(path).split('\n');
    for (const QByteArray &raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'['))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.contains(u'=') && !line.startsWith(u'#'))
            keys.insert(line.section(u'=', 0, 0).trimmed(), line.section(u'=', 1).trimmed());
    }
    return keys;
}

struct Run
{
    int exitCode = -1;
    QString output;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(120000)) {
        result.output = process.errorString();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

} // namespace

class InstallTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsExactlyTheseFiles();
    void programFindsItsEngineAndProbe();
    void programFindsGenerateFiles();
    void programLooksWhereTheDataWasInstalled();
    void desktopFile();
    void desktopMimeTypes();
    void dbusService();
    void metainfo();
    void icons();

private:
    QString path(const QString &relative) const { return m_prefix.filePath(relative); }
    QString dataPath(const QString &relative) const
    {
        return path(QStringLiteral(CORVEL_INSTALL_DATADIR "/") + relative);
    }

    QTemporaryDir m_prefix;
    QString m_program;
    QString m_desktop;
    QString m_metainfo;
    QList<int> m_sizes;
};

void InstallTest::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    const Run install = run(QStringLiteral(CORVEL_CMAKE_COMMAND),
                            {QStringLiteral("--install"), QStringLiteral(CORVEL_BUILD_DIR),
                             QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));

    m_program = path(QStringLiteral(CORVEL_INSTALL_BINDIR "/corvel-media-player"));
    m_desktop = dataPath(QStringLiteral("applications/" CORVEL_APP_ID ".desktop"));
    m_metainfo = dataPath(QStringLiteral("metainfo/" CORVEL_APP_ID ".metainfo.xml"));
    const QStringList sizes = QStringLiteral(CORVEL_ICON_SIZES).split(u' ', Qt::SkipEmptyParts);
    for (const QString &size : sizes)
        m_sizes << size.toInt();
    QVERIFY(m_sizes.contains(48) && m_sizes.contains(128));
}

void InstallTest::installsExactlyTheseFiles()
{
    QStringList expected = {
        m_program,
        path(QStringLiteral(CORVEL_HELPERS_DIR "/corvel_mpv_engine.so")),
        path(QStringLiteral(CORVEL_HELPERS_DIR "/libcorvel_core.so")),
        path(QStringLiteral(CORVEL_HELPERS_DIR "/libcorvel_engine.so")),
        path(QStringLiteral(CORVEL_HELPERS_DIR "/corvel-opengl-probe")),
        dataPath(QStringLiteral("corvel-media-player/Pl1.txt")),
        dataPath(QStringLiteral("corvel-media-player/pl3.txt")),
        m_desktop,
        m_metainfo,
        dataPath(QStringLiteral("dbus-1/services/" CORVEL_APP_ID ".service")),
        dataPath(QStringLiteral("icons/hicolor/scalable/apps/" CORVEL_APP_ID ".svg")),
        dataPath(QStringLiteral("man/man1/corvel-media-player.1.gz")),
    };
    for (int size : std::as_const(m_sizes))
        expected << dataPath(
            QStringLiteral("icons/hicolor/%1x%1/apps/" CORVEL_APP_ID ".png").arg(size));

    QStringList installed;
    QDirIterator it(m_prefix.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        installed << it.next();
    installed.sort();
    expected.sort();
    QCOMPARE(installed, expected);

    const QFileInfo program(m_program);
    QVERIFY(program.isExecutable());
    QVERIFY(program.size() > 0);
}

void InstallTest::programFindsItsEngineAndProbe()
{
    // The installed program loads its engine and runs its OpenGL probe from
    // this place relative to itself; without them it cannot play.
    const QDir helpers(
        QFileInfo(m_program).dir().filePath(QStringLiteral(CORVEL_HELPERS_FROM_PROGRAM)));
    for (const char *name : {"corvel_mpv_engine.so", "corvel-opengl-probe"}) {
        const QFileInfo installed(helpers.filePath(QLatin1String(name)));
        QVERIFY2(installed.exists(), qPrintable(installed.filePath()));
        QVERIFY2(installed.size() > 0, qPrintable(installed.filePath()));
    }
    QVERIFY(QFileInfo(helpers.filePath(QStringLiteral("corvel-opengl-probe"))).isExecutable());
}

void InstallTest::programFindsGenerateFiles()
{
    // The installed program looks for them at this place relative to itself.
    const QDir data(QFileInfo(m_program).dir().filePath(QStringLiteral(CORVEL_DATA_FROM_PROGRAM)));
    for (const char *name : {"Pl1.txt", "pl3.txt"}) {
        const QString installed = data.filePath(QLatin1String(name));
        QVERIFY2(QFileInfo::exists(installed), qPrintable(installed));
        const QByteArray source =
            contents(QStringLiteral(CORVEL_SOURCE_DIR "/data/") + QLatin1String(name));
        QVERIFY(!source.isEmpty());
        QCOMPARE(contents(installed), source);
    }
}

void InstallTest::programLooksWhereTheDataWasInstalled()
{
    // From a working directory without pieces, the installed program's
    // lookup lands on the files the install put down, in the layout the
    // build was configured with (a packager may move bin or share).
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    const QStringList folders = WplWriter::pieceFolders(QFileInfo(m_program).absolutePath());
    QDir::setCurrent(previous);
    for (const char *name : {"Pl1.txt", "pl3.txt"}) {
        const QString installed =
            QFileInfo(dataPath(QStringLiteral("corvel-media-player/") + QLatin1String(name)))
                .absoluteFilePath();
        QCOMPARE(WplWriter::findPiece(QLatin1String(name), folders.mid(1)), installed);
    }
}

void InstallTest::desktopFile()
{
    const QMap<QString, QString> entry = desktopEntry(m_desktop);
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Corvel Media Player"));
    // Exec names the program that was installed, found on PATH by its name.
    const QString exec = entry.value(QStringLiteral("Exec")).section(u' ', 0, 0);
    QCOMPARE(exec, QFileInfo(m_program).fileName());
    // Icon is a theme name that the installed icons answer to.
    QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral(CORVEL_APP_ID));
    QVERIFY(entry.value(QStringLiteral("Categories")).split(u';').contains(u"AudioVideo"));
    // Desktops that start programs over D-Bus do so by the file's name.
    QCOMPARE(entry.value(QStringLiteral("DBusActivatable")), QStringLiteral("true"));

    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty()) {
        qInfo("desktop-file-validate is not installed; the .desktop file was not validated");
        return;
    }
    const Run check = run(validator, {m_desktop});
    QVERIFY2(check.exitCode == 0, qPrintable(check.output));
    QVERIFY2(!check.output.contains(QLatin1String("error:")), qPrintable(check.output));
}

void InstallTest::desktopMimeTypes()
{
    const QMap<QString, QString> entry = desktopEntry(m_desktop);
    // A file manager hands the chosen files over as separate paths.
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("corvel-media-player %F"));
    QStringList listed = entry.value(QStringLiteral("MimeType")).split(u';', Qt::SkipEmptyParts);
    QCOMPARE(listed, MediaTypes::mimeTypes());

    // Every extension of the dialogs' catalogue that the MIME database names
    // is covered, and every listed type comes from one of them.
    QStringList extensions;
    const QStringList filter = mediaFilterText(true).split(u'|');
    for (int i = 1; i < filter.size(); i += 2)
        for (const QString &pattern : filter.at(i).split(u';', Qt::SkipEmptyParts))
            if (pattern.trimmed() != QLatin1String("*.*"))
                extensions << pattern.trimmed().mid(2);
    QVERIFY(extensions.size() > 40);
    const QMimeDatabase database;
    if (!database.mimeTypeForName(QStringLiteral("video/mp4")).isValid())
        QSKIP("no shared MIME database (Debian package shared-mime-info)");
    const QStringList notMedia = {QStringLiteral("application/x-object"),
                                  QStringLiteral("text/vnd.trolltech.linguist")};
    QSet<QString> used;
    for (const QString &extension : std::as_const(extensions)) {
        const QList<QMimeType> types =
            database.mimeTypesForFileName(QStringLiteral("x.") + extension);
        for (const QMimeType &type : types) {
            if (notMedia.contains(type.name()))
                continue;
            QVERIFY2(listed.contains(type.name()),
                     qPrintable(extension + QStringLiteral(": ") + type.name()));
            used.insert(type.name());
        }
    }
    for (const QString &type : std::as_const(listed))
        QVERIFY2(used.contains(type), qPrintable(type));
}

void InstallTest::dbusService()
{
    const QString service = dataPath(QStringLiteral("dbus-1/services/" CORVEL_APP_ID ".service"));
    const QList<QByteArray> lines = contents(service).trimmed().split('\n');
    QCOMPARE(lines.value(0), QByteArray("[D-BUS Service]"));
    QMap<QString, QString> keys;
    for (const QByteArray &line : lines.mid(1))
        keys.insert(QString::fromUtf8(line.split('=').value(0)),
                    QString::fromUtf8(line.mid(line.indexOf('=') + 1)));
    // The bus name is the desktop entry's, and the bus starts the program
    // at the prefix it was installed to, by its absolute path.
    QCOMPARE(keys.value(QStringLiteral("Name")), QStringLiteral(CORVEL_APP_ID));
    QCOMPARE(keys.value(QStringLiteral("Exec")), QFileInfo(m_program).absoluteFilePath());
    QCOMPARE(keys.size(), 2);
}

void InstallTest::metainfo()
{
    QFile file(m_metainfo);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString root, id, launchable, binary;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (root.isEmpty())
            root = xml.name().toString() + QLatin1Char('/') +
                   xml.attributes().value(QLatin1String("type")).toString();
        if (xml.name() == u"id")
            id = xml.readElementText();
        else if (xml.name() == u"launchable")
            launchable = xml.readElementText();
        else if (xml.name() == u"binary")
            binary = xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(root, QStringLiteral("component/desktop-application"));
    QCOMPARE(id, QStringLiteral(CORVEL_APP_ID));
    // Software centres tie the metainfo to the installed .desktop file and
    // program by these names.
    QCOMPARE(launchable, QFileInfo(m_desktop).fileName());
    QCOMPARE(binary, QFileInfo(m_program).fileName());

    const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (validator.isEmpty()) {
        qInfo("appstreamcli is not installed; the metainfo was not validated");
        return;
    }
    const Run check =
        run(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"), m_metainfo});
    QVERIFY2(check.exitCode == 0, qPrintable(check.output));
}

void InstallTest::icons()
{
    for (int size : std::as_const(m_sizes)) {
        const QString file =
            dataPath(QStringLiteral("icons/hicolor/%1x%1/apps/" CORVEL_APP_ID ".png").arg(size));
        const QImage icon(file, "PNG");
        QVERIFY2(!icon.isNull(), qPrintable(file));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        // The same picture as the window's own icon, pixel for pixel.
        const QImage expected = Pictures::sun(size).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(icon.convertToFormat(QImage::Format_ARGB32) == expected, qPrintable(file));
        // A sun: yellow in the middle, clear in the corners.
        const QColor centre = icon.pixelColor(size / 2, size / 2);
        QVERIFY(centre.red() > 200 && centre.green() > 150 && centre.blue() < 80);
        QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
    }

    const QString svg =
        dataPath(QStringLiteral("icons/hicolor/scalable/apps/" CORVEL_APP_ID ".svg"));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QVERIFY(xml.readNextStartElement());
    QCOMPARE(xml.name(), u"svg");
    const QStringList viewBox =
        xml.attributes().value(QLatin1String("viewBox")).toString().split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(viewBox.size(), 4);
    QCOMPARE(viewBox.at(2), viewBox.at(3));
    int discs = 0;
    int rays = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        discs += xml.name() == u"circle";
        rays += xml.name() == u"line";
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(discs, 1);
    QCOMPARE(rays, 8);
}

QTEST_MAIN(InstallTest)
#include "tst_install.moc"
