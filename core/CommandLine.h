#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The program's command line: --help, --version, --video-output, --enqueue,
// --new-window, --no-resume, --forget-positions and the media to open. --help and --version are
// answered before the window system is touched, so they work without a display.
class CommandLine
{
public:
    // The values --video-output takes.
    static const QStringList videoOutputs;
    // The environment variable --video-output sets for the engine.
    static const char *const videoOutputVariable;

    // The arguments as the program received them, program name first.
    static QStringList fromArgv(int argc, char *argv[]);

    // The environment variable that turns remembering positions off ("0").
    static const char *const resumeVariable;

    // Answers --help, --version, --forget-positions and usage errors before the window system
    // starts, so they work without a display; returns the exit code then.
    // Arguments holding a toolkit option (-platform, -style ...) are left for
    // read(), which runs once QApplication has taken its own.
    std::optional<int> answerEarly(const QStringList &arguments);
    // Reads the arguments left after the toolkit took its own. Returns an
    // exit code when the program must end here (help, version, positions
    // forgotten, or a usage error, printed on stderr as GNU programs do); nothing when it goes on.
    std::optional<int> read(const QStringList &arguments);

    // The media to open, in order, as given (paths or URLs).
    QStringList files() const { return m_files; }
    // The --video-output value, or "" when none was given.
    QString videoOutput() const { return m_videoOutput; }
    // --enqueue: the files join the play list as dropped files do.
    bool enqueue() const { return m_enqueue; }
    // --new-window: a player of its own even when one is running.
    bool newWindow() const { return m_newWindow; }
    // Whether the player remembers where media stopped and offers to resume
    // them: not with --no-resume, nor with CORVEL_RESUME=0.
    bool remembersPositions() const;
    // Sets CORVEL_VIDEO_OUTPUT when --video-output was given; the engine
    // reads it when it is made.
    void applyEnvironment() const;

    // The texts --help and --version print.
    QString helpText() const;
    QString versionText() const;

private:
    enum class Outcome
    {
        Run,
        Help,
        Version,
        ForgetPositions,
        Error
    };
    Outcome parse(const QStringList &arguments);

    QString m_program = QStringLiteral("corvel-media-player");
    QStringList m_files;
    QString m_videoOutput;
    bool m_enqueue = false;
    bool m_newWindow = false;
    bool m_noResume = false;
    QString m_error;
    QString m_optionsText;
};
