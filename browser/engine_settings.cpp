#include "browser/engine_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QWebEngineDownloadItem>
#include <QWebEngineProfile>

#include "browser/client_handler.h"

namespace {
EngineSettings g_settings;
bool g_started = false;
}

EngineSettings programEngineSettings()
{
    EngineSettings s;
    s.cachePath = QDir::tempPath() + QStringLiteral("/Cache");
    return s;
}

const EngineSettings& engineSettings()
{
    return g_settings;
}

void setEngineSettings(const EngineSettings& settings)
{
    g_settings = settings;
}

void prepareEngineProcess(const EngineSettings& settings)
{
    setEngineSettings(settings);
    if (settings.noSandbox)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Qt WebEngine's widgets share one GL context with the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void startEngine()
{
    if (g_started)
        return;
    g_started = true;
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    profile->setCachePath(g_settings.cachePath);
    profile->setPersistentStoragePath(g_settings.cachePath);
    profile->setPersistentCookiesPolicy(g_settings.persistSessionCookies
                                            ? QWebEngineProfile::ForcePersistentCookies
                                            : QWebEngineProfile::AllowPersistentCookies);
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile,
                     [](QWebEngineDownloadItem* download) {
                         if (g_clientHandler)
                             g_clientHandler->OnBeforeDownload(download);
                         else
                             download->cancel();
                     });
}
