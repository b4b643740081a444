#include "core/CommandLine.h"

#include "core/PositionStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

const QStringList CommandLine::videoOutputs = {QStringLiteral("auto"), QStringLiteral("opengl"),
                                               QStringLiteral("software")};
const char *const CommandLine::videoOutputVariable = "CORVEL_VIDEO_OUTPUT";
const char *const CommandLine::resumeVariable = "CORVEL_RESUME";

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// The options QApplication takes out of the arguments itself. Until it has
// run, an argument among them is not an error of ours.
bool isToolkitOption(const QString &argument)
{
    static const QStringList options = {
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("reverse"),       QStringLiteral("session"),
        QStringLiteral("display"),       QStringLiteral("geometry"),
        QStringLiteral("title"),         QStringLiteral("name"),
        QStringLiteral("style"),         QStringLiteral("stylesheet"),
        QStringLiteral("widgetcount"),   QStringLiteral("nograb"),
        QStringLiteral("dograb"),        QStringLiteral("visual"),
        QStringLiteral("ncols"),         QStringLiteral("cmap")};
    if (!argument.startsWith(u'-'))
        return false;
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    name = name.section(u'=', 0, 0);
    return options.contains(name);
}

} // namespace

QStringList CommandLine::fromArgv(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

std::optional<int> CommandLine::answerEarly(const QStringList &arguments)
{
    if (parse(arguments) == Outcome::Error) {
        const qsizetype end = arguments.indexOf(QStringLiteral("--"));
        const QStringList options = end < 0 ? arguments : arguments.mid(0, end);
        if (std::any_of(options.begin(), options.end(), isToolkitOption))
            return std::nullopt;
    }
    return read(arguments);
}

std::optional<int> CommandLine::read(const QStringList &arguments)
{
    switch (parse(arguments)) {
    case Outcome::Run:
        return std::nullopt;
    case Outcome::Help:
        print(stdout, helpText());
        return 0;
    case Outcome::Version:
        print(stdout, versionText());
        return 0;
    case Outcome::ForgetPositions: {
        QString why;
        PositionStore store(PositionStore::defaultPath());
        if (store.clear(&why))
            return 0;
        m_error = QStringLiteral("cannot remove %1: %2").arg(store.path(), why);
        print(stderr, QStringLiteral("%1: %2\n").arg(m_program, m_error));
        return 1;
    }
    case Outcome::Error:
        break;
    }
    print(
        stderr,
        QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(m_program, m_error));
    return 2;
}

CommandLine::Outcome CommandLine::parse(const QStringList &arguments)
{
    if (!arguments.isEmpty())
        m_program = QFileInfo(arguments.first()).fileName();
    m_files.clear();
    m_videoOutput.clear();
    m_enqueue = false;
    m_newWindow = false;
    m_noResume = false;
    m_error.clear();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays audio and video files. The FILEs (paths or URLs) replace the play list, in\n"
        "order, and the first one plays; a play-list file given first (.wpl, .asx, .wvx,\n"
        ".wmx, .m3u) is handed to the engine whole. A folder stands for its media files.\n"
        "When the player is already running, the FILEs go to its window.\n"
        "Where a video of 3 minutes or more was stopped is kept in\n"
        "$XDG_STATE_HOME/corvel-media-player/positions (~/.local/state/... by default),\n"
        "under a hash that names no file, and opening it again offers to resume there."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("display this help and exit"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("output version information and exit"));
    const QCommandLineOption video(QStringLiteral("video-output"),
                                   QStringLiteral("how video is drawn: auto (the default), "
                                                  "opengl or software"),
                                   QStringLiteral("MODE"));
    const QCommandLineOption enqueue(QStringLiteral("enqueue"),
                                     QStringLiteral("append the FILEs to the play list instead "
                                                    "of replacing it"));
    const QCommandLineOption newWindow(QStringLiteral("new-window"),
                                       QStringLiteral("start a separate player even when one "
                                                      "is running"));
    const QCommandLineOption noResume(QStringLiteral("no-resume"),
                                      QStringLiteral("neither remember where videos stopped "
                                                     "nor offer to resume them (as "
                                                     "CORVEL_RESUME=0 does)"));
    const QCommandLineOption forget(QStringLiteral("forget-positions"),
                                    QStringLiteral("forget every remembered position and exit"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(video);
    parser.addOption(enqueue);
    parser.addOption(newWindow);
    parser.addOption(noResume);
    parser.addOption(forget);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("media to play"),
                                 QStringLiteral("[FILE]..."));
    // The usage line comes from us; the rest of the parser's text follows it.
    m_optionsText = parser.helpText().section(u'\n', 1);

    if (!parser.parse(arguments)) {
        m_error = parser.errorText();
        return Outcome::Error;
    }
    if (parser.isSet(help))
        return Outcome::Help;
    if (parser.isSet(version))
        return Outcome::Version;
    if (parser.isSet(forget))
        return Outcome::ForgetPositions;
    if (parser.isSet(video)) {
        const QString value = parser.value(video);
        if (!videoOutputs.contains(value)) {
            m_error = QStringLiteral("invalid video output '%1' (choose %2)")
                          .arg(value, videoOutputs.join(QLatin1String(", ")));
            return Outcome::Error;
        }
        m_videoOutput = value;
    }
    m_enqueue = parser.isSet(enqueue);
    m_newWindow = parser.isSet(newWindow);
    m_noResume = parser.isSet(noResume);
    m_files = parser.positionalArguments();
    return Outcome::Run;
}

bool CommandLine::remembersPositions() const
{
    return !m_noResume && qgetenv(resumeVariable) != "0";
}

void CommandLine::applyEnvironment() const
{
    if (!m_videoOutput.isEmpty())
        qputenv(videoOutputVariable, m_videoOutput.toLatin1());
}

QString CommandLine::helpText() const
{
    return QStringLiteral("Usage: %1 [OPTION]... [FILE]...\n").arg(m_program) + m_optionsText;
}

QString CommandLine::versionText() const
{
    return QStringLiteral("%1 (Corvel Media Player) %2\n")
        .arg(m_program, QStringLiteral(CORVEL_VERSION));
}
