#include "commands/settings_commands.h"

#include "browser/browser_page.h"
#include "browser/client_handler.h"
#include "commands/argument_readings.h"
#include "commands/tesk.h"

SettingsCommands::SettingsCommands(tesk& window)
    : m_window(window)
{
}

void SettingsCommands::run(const QString& funcname, const QVariantMap& params,
                           const CallbackPtr& callback)
{
    BrowserPage* browser = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr;
    if (funcname == QLatin1String("loadurl")) {
        m_window.loadLocalPage(readText(params, QStringLiteral("url")));
    } else if (funcname == QLatin1String("goback")) {
        if (browser)
            browser->triggerAction(QWebEnginePage::Back);
        callback->Success(QStringLiteral("goback"));
    } else if (funcname == QLatin1String("goforward")) {
        if (browser)
            browser->triggerAction(QWebEnginePage::Forward);
        callback->Success(QStringLiteral("goforward"));
    }
    // The other settings commands come with the settings work.
}
