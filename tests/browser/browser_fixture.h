#pragma once
// A real main window with its real web view, showing a test page from a
// temporary program folder, in the test's own process.

#include "app/globals.h"
#include "browser/browser_page.h"
#include "browser/client_handler.h"
#include "browser/engine_settings.h"
#include "browser/tesk_web_view.h"
#include "commands/tesk.h"
#include "tests/support/client_process.h"
#include "tests/support/page_driver.h"
#include "tests/support/program_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

struct BrowserFixture
{
    QTemporaryDir root;
    std::unique_ptr<ClientHandler> handler;
    std::unique_ptr<tesk> window;
    PageDriver driver;

    QString folder() const { return root.path() + QStringLiteral("/program"); }

    bool setUp()
    {
        const QString view = folder() + QStringLiteral("/view");
        if (!copyFolder(QStringLiteral(TESK_TEST_PAGES), view))
            return false;
        g_exeDir = folder() + QLatin1Char('/');
        g_baseDir = g_exeDir;
        handler = std::make_unique<ClientHandler>();
        g_clientHandler = handler.get();
        setEngineSettings(programEngineSettings());
        startEngine();
        window = std::make_unique<tesk>();
        window->move(100, 100);
        window->show();
        g_clientHandler->SetMainWindowHandle(window->winId());
        BrowserPage* page = window->webView()->page();
        if (!page)
            return false;
        driver.setPage(page);
        return driver.waitForLoad() && driver.waitFor(QStringLiteral("window.answers !== undefined"));
    }

    void tearDown()
    {
        window.reset();
        g_clientHandler = nullptr;
        handler.reset();
    }

    BrowserPage* page() const { return window->webView()->page(); }
};
