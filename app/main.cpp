#include "app/Form1.h"
#include "app/QuitOnSignal.h"
#include "app/StartupClock.h"
#include "core/CommandLine.h"
#include "core/PositionStore.h"
#include "desktop/DesktopIntegration.h"
#include "desktop/SingleInstance.h"
#include "engine/DeferredEngine.h"
#include "engine/EngineLoader.h"
#include "widgets/QtCommonDialog.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <memory>
#include <optional>

int main(int argc, char *argv[])
{
    StartupClock clock;
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
    clock.step("application ready");

    // libmpv takes longer to map than the window takes to build and paint:
    // it loads once the window is on the screen, and the window's requests
    // wait for it.
    EngineLoader loader(EngineLoader::defaultModulePath());
    DeferredEngine engine;
    QtCommonDialog dialog;
    QObject::connect(&loader, &EngineLoader::loaded, &engine, [&engine, &clock](MediaEngine *real) {
        clock.step("engine made");
        engine.attach(std::unique_ptr<MediaEngine>(real));
    });
    QObject::connect(&loader, &EngineLoader::failed, &engine, [&dialog](const QString &reason) {
        // Without an engine nothing can play: say why instead of aborting.
        dialog.showMessage(reason, QApplication::applicationName());
        QApplication::exit(1);
    });

    // With --no-resume the store is neither read nor written.
    std::optional<PositionStore> positions;
    if (commandLine.remembersPositions())
        positions.emplace(PositionStore::defaultPath());
    Form1 window(engine, dialog, positions ? &*positions : nullptr);
    // A session that ends closes the window as Exit would, so it keeps
    // where the video was.
    const QuitOnSignal quitOnSignal;
    dialog.setParentWidget(&window);
    clock.step("window built");
    DesktopIntegration desktop(window, window.commands(), window.playList(), engine, dialog);
    desktop.connectSessionBus();
    desktop.serve(instance);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &instance, &SingleInstance::release);
    clock.step("session bus");
    clock.watchFirstPaint(window);
    loader.startAfterPaintOf(window);
    window.show();
    desktop.openArguments(commandLine.files(), commandLine.enqueue());
    return QApplication::exec();
}
