#include "app/Form1.h"
#include "core/CommandLine.h"
#include "desktop/DesktopIntegration.h"
#include "desktop/SingleInstance.h"
#include "engine/mpv/MpvEngine.h"
#include "widgets/QtCommonDialog.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <memory>

int main(int argc, char *argv[])
{
    CommandLine commandLine;
    if (const auto exitCode = commandLine.answerEarly(CommandLine::fromArgv(argc, argv)))
        return *exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvel Media Player"));
    QApplication::setApplicationVersion(QStringLiteral("2.6"));
    if (const auto exitCode = commandLine.read(QApplication::arguments()))
        return *exitCode;
    commandLine.applyEnvironment();
    // A player already running in this session takes the files, before this
    // one makes a window or an engine.
    SingleInstance instance(QDBusConnection::sessionBus());
    if (instance.handOver(commandLine, QDir::currentPath()))
        return 0;

    QtCommonDialog dialog;
    QString engineError;
    const std::unique_ptr<MpvEngine> engine = MpvEngine::create(MpvEngine::Options(), &engineError);
    if (!engine) {
        // Without an engine nothing can play: say why instead of aborting.
        dialog.showMessage(engineError, QApplication::applicationName());
        return 1;
    }
    Form1 window(*engine, dialog);
    dialog.setParentWidget(&window);
    DesktopIntegration desktop(window, window.commands(), window.playList(), *engine, dialog);
    desktop.connectSessionBus();
    desktop.serve(instance);
    window.show();
    desktop.openArguments(commandLine.files(), commandLine.enqueue());
    return QApplication::exec();
}
