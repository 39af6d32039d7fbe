// Process entry: configure the browser engine, create the browser client and
// the application object, run the event loop, and shut down in order; a
// pending client update starts the updater only after everything else ended.

#include "app/cefapplication.h"
#include "app/logging.h"
#include "browser/client_app.h"
#include "browser/client_handler.h"
#include "browser/command_line.h"
#include "browser/engine_settings.h"
#include "update/update_cache.h"

#include <memory>

int main(int argc, char** argv)
{
    setProcessArguments(argc, argv);
    const auto clientApp = std::make_shared<ClientApp>();

    const EngineSettings settings = programEngineSettings();
    logging::setFile(settings.logFile);
    logging::setMinimumLevel(logging::levelFromName(
        QString::fromLocal8Bit(qgetenv("TESK_LOG_LEVEL")), logging::Level::Info));
    prepareEngineProcess(settings);

    // Kept for the rest of the process.
    static std::unique_ptr<ClientHandler> clientHandler;
    clientHandler = std::make_unique<ClientHandler>();
    g_clientHandler = clientHandler.get();

    int exitCode = 0;
    {
        cefApplication app(argc, argv);
        app.init();
        exitCode = app.exec();
    }
    // The engine shuts down with the application object; only then may a
    // downloaded client update replace the program's files.
    if (g_updatePending)
        launchUpdater();
    return exitCode;
}
