#include "tests/support/page_driver.h"

#include "browser/browser_page.h"
#include "tests/support/client_process.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>

PageDriver::PageDriver(QWebEnginePage* page)
{
    if (page)
        setPage(page);
}

void PageDriver::setPage(QWebEnginePage* page)
{
    if (m_page)
        disconnect(m_page, nullptr, this, nullptr);
    m_page = page;
    m_loaded = false;
    connect(page, &QWebEnginePage::loadStarted, this, [this] { m_loaded = false; });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool) { m_loaded = true; });
    if (auto* browser = qobject_cast<BrowserPage*>(page)) {
        connect(browser, &BrowserPage::consoleMessage, this,
                [this](int level, const QString& message, int line, const QString& source) {
                    if (level == QWebEnginePage::ErrorMessageLevel)
                        consoleErrors.append(QStringLiteral("%1 (%2:%3)").arg(message, source).arg(line));
                });
    }
}

QVariant PageDriver::eval(const QString& script, int timeoutMs)
{
    QEventLoop loop;
    QVariant result;
    bool done = false;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    m_page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
        loop.quit();
    });
    if (!done)
        loop.exec();
    return result;
}

bool PageDriver::waitFor(const QString& expression, int timeoutMs)
{
    return waitUntil([&] { return eval(QStringLiteral("!!(") + expression + QLatin1Char(')'), 2000).toBool(); },
                     timeoutMs);
}

bool PageDriver::waitForLoad(int timeoutMs)
{
    return waitUntil([&] { return m_loaded; }, timeoutMs);
}
