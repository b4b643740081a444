#include "app/CommandLine.h"
#include "app/DesktopIntegration.h"
#include "app/Form1.h"
#include "browse/QtCommonDialog.h"
#include "playback/MpvEngine.h"

#include <QApplication>

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

    MpvEngine engine;
    QtCommonDialog dialog;
    Form1 window(engine, dialog);
    dialog.setParentWidget(&window);
    DesktopIntegration desktop(window);
    desktop.connectSessionBus();
    window.show();
    desktop.openArguments(commandLine.files());
    return QApplication::exec();
}
