// How the engine picks its video output: the rule on its own, and the engine
// following the option and CORVEL_VIDEO_OUTPUT when it builds its surface.
#include "engine/OpenGlRenderer.h"
#include "engine/VideoOutput.h"
#include "engine/mpv/MpvEngine.h"
#include "engine/mpv/MpvRenderSurface.h"
#include "support/RealEngine.h"

#include <QtTest>

namespace {

// Sets an environment variable for one scope, restoring what was there.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnvironment()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

MpvEngine::Options videoWithout(VideoOutput output)
{
    MpvEngine::Options options;
    options.audio = false;
    options.videoOutput = output;
    return options;
}

} // namespace

class TestVideoOutput : public QObject
{
    Q_OBJECT
private slots:
    void automaticChoiceFollowsTheRenderer_data();
    void automaticChoiceFollowsTheRenderer();
    void forcedOutputWinsOverTheRenderer();
    void optionThenVariableThenAuto();
    void namesReadBack();
    void engineBuildsTheSurfaceItWasAskedFor_data();
    void engineBuildsTheSurfaceItWasAskedFor();
    void automaticChoiceWaitsForTheProbe();
    void noVideoMeansNoSurface();
};

void TestVideoOutput::automaticChoiceFollowsTheRenderer_data()
{
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<bool>("hasOpenGl");
    QTest::addColumn<VideoOutput>("expected");
    const auto row = [](const char *name, const QString &renderer, VideoOutput expected) {
        QTest::newRow(name) << renderer << true << expected;
    };
    row("nvidia", QStringLiteral("NVIDIA GeForce GTX 1060/PCIe/SSE2"), VideoOutput::OpenGL);
    row("intel", QStringLiteral("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"), VideoOutput::OpenGL);
    // A real GPU whose Mesa driver names its LLVM compiler: still hardware.
    row("radeon with LLVM", QStringLiteral("AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6)"),
        VideoOutput::OpenGL);
    row("virgl", QStringLiteral("virgl (Mesa Intel(R) UHD Graphics 620)"), VideoOutput::OpenGL);
    row("llvmpipe", QStringLiteral("llvmpipe (LLVM 15.0.6, 256 bits)"), VideoOutput::Software);
    row("softpipe", QStringLiteral("softpipe"), VideoOutput::Software);
    row("swiftshader", QStringLiteral("Google SwiftShader"), VideoOutput::Software);
    row("mesa swrast", QStringLiteral("Software Rasterizer"), VideoOutput::Software);
    row("windows basic", QStringLiteral("Microsoft Basic Render Driver"), VideoOutput::Software);
    row("blank renderer", QStringLiteral("  "), VideoOutput::Software);
    QTest::newRow("no OpenGL") << QString() << false << VideoOutput::Software;
}

void TestVideoOutput::automaticChoiceFollowsTheRenderer()
{
    QFETCH(QString, renderer);
    QFETCH(bool, hasOpenGl);
    QFETCH(VideoOutput, expected);
    const std::optional<QString> probed = hasOpenGl ? std::optional(renderer) : std::nullopt;
    QCOMPARE(chooseVideoOutput(VideoOutput::Auto, probed), expected);
    // The log line names what was chosen and, where there is one, the renderer.
    const QString said = describeVideoOutputChoice(VideoOutput::Auto, probed);
    QVERIFY2(said.contains(videoOutputName(expected)), qPrintable(said));
    if (hasOpenGl && !renderer.trimmed().isEmpty())
        QVERIFY2(said.contains(renderer), qPrintable(said));
}

void TestVideoOutput::forcedOutputWinsOverTheRenderer()
{
    const std::optional<QString> soft = QStringLiteral("llvmpipe (LLVM 15.0.6, 256 bits)");
    const std::optional<QString> hard = QStringLiteral("NVIDIA GeForce GTX 1060/PCIe/SSE2");
    QCOMPARE(chooseVideoOutput(VideoOutput::OpenGL, soft), VideoOutput::OpenGL);
    QCOMPARE(chooseVideoOutput(VideoOutput::OpenGL, std::nullopt), VideoOutput::OpenGL);
    QCOMPARE(chooseVideoOutput(VideoOutput::Software, hard), VideoOutput::Software);
    QVERIFY(describeVideoOutputChoice(VideoOutput::Software, hard).contains(u"forced"));
}

void TestVideoOutput::optionThenVariableThenAuto()
{
    QString warning;
    // The option, when it forces an output, wins over the variable.
    QCOMPARE(requestedVideoOutput(VideoOutput::Software, "opengl", &warning),
             VideoOutput::Software);
    QCOMPARE(requestedVideoOutput(VideoOutput::OpenGL, "software", &warning), VideoOutput::OpenGL);
    // Otherwise the variable decides, in any case and with blanks around.
    QCOMPARE(requestedVideoOutput(VideoOutput::Auto, "opengl", &warning), VideoOutput::OpenGL);
    QCOMPARE(requestedVideoOutput(VideoOutput::Auto, " SOFTWARE\n", &warning),
             VideoOutput::Software);
    QCOMPARE(requestedVideoOutput(VideoOutput::Auto, "auto", &warning), VideoOutput::Auto);
    QCOMPARE(requestedVideoOutput(VideoOutput::Auto, "", &warning), VideoOutput::Auto);
    QVERIFY(warning.isEmpty());
    // A value that means nothing is reported and leaves the choice automatic.
    QCOMPARE(requestedVideoOutput(VideoOutput::Auto, "vulkan", &warning), VideoOutput::Auto);
    QVERIFY2(warning.contains(u"vulkan"), qPrintable(warning));
    QCOMPARE(requestedVideoOutput(VideoOutput::Auto, "soft", nullptr), VideoOutput::Auto);
}

void TestVideoOutput::namesReadBack()
{
    for (VideoOutput output : {VideoOutput::Auto, VideoOutput::OpenGL, VideoOutput::Software})
        QCOMPARE(parseVideoOutput(videoOutputName(output)), std::optional(output));
    QCOMPARE(parseVideoOutput(QStringLiteral("gl")), std::nullopt);
    QCOMPARE(parseVideoOutput(QString()), std::nullopt);
}

void TestVideoOutput::engineBuildsTheSurfaceItWasAskedFor_data()
{
    QTest::addColumn<VideoOutput>("option");
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<VideoOutput>("expected");
    QTest::newRow("option wins") << VideoOutput::Software << QByteArray("opengl")
                                 << VideoOutput::Software;
    QTest::newRow("variable opengl")
        << VideoOutput::Auto << QByteArray("opengl") << VideoOutput::OpenGL;
    QTest::newRow("variable software")
        << VideoOutput::Auto << QByteArray("software") << VideoOutput::Software;
}

void TestVideoOutput::engineBuildsTheSurfaceItWasAskedFor()
{
    QFETCH(VideoOutput, option);
    QFETCH(QByteArray, variable);
    QFETCH(VideoOutput, expected);
    ScopedEnvironment environment("CORVEL_VIDEO_OUTPUT", variable);
    const auto engine = makeEngine(videoWithout(option));
    QCOMPARE(videoOutputIn(engine->widget()), expected);
}

void TestVideoOutput::automaticChoiceWaitsForTheProbe()
{
    // Left to itself, the engine does what the probe of this machine says,
    // and the window does not wait for the probe: the surface takes the
    // place of a black stand-in when the probe is done.
    ScopedEnvironment variable("CORVEL_VIDEO_OUTPUT", "");
    const auto engine = makeEngine(videoWithout(VideoOutput::Auto));
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^Video output: ")));
    QWidget *box = engine->widget();
    QCOMPARE(videoSurfaceIn(box), nullptr);
    QTRY_VERIFY(videoSurfaceIn(box));
    MpvRenderSurface *surface = videoSurfaceIn(box);
    QCOMPARE(surface->widget()->parentWidget(), box);
    const auto surfaces = box->findChildren<QWidget *>(QStringLiteral("videoSurface"));
    QCOMPARE(surfaces, QList<QWidget *>{surface->widget()});
    QCOMPARE(videoOutputIn(box), chooseVideoOutput(VideoOutput::Auto, probeOpenGlRenderer()));
}

void TestVideoOutput::noVideoMeansNoSurface()
{
    const auto engine = makeEngine(MpvEngine::Options::headless());
    QCOMPARE(videoSurfaceIn(engine->widget()), nullptr);
}

QTEST_MAIN(TestVideoOutput)
#include "tst_videooutput.moc"
