#pragma once
// Runs script in a real page and waits for its result; collects the page's
// console errors so a test can fail on them.

#include <QObject>
#include <QStringList>
#include <QVariant>

class QWebEnginePage;

class PageDriver : public QObject
{
    Q_OBJECT
public:
    explicit PageDriver(QWebEnginePage* page = nullptr);
    void setPage(QWebEnginePage* page);

    // The value of `script` (a JSON-convertible result), or an invalid QVariant on timeout.
    QVariant eval(const QString& script, int timeoutMs = 10000);
    // Polls `expression` until it is true.
    bool waitFor(const QString& expression, int timeoutMs = 15000);
    // Call before starting a navigation; waitForLoad then waits for it.
    void expectLoad() { m_loaded = false; }
    // Waits until the page finished loading.
    bool waitForLoad(int timeoutMs = 20000);

    QStringList consoleErrors;

private:
    QWebEnginePage* m_page = nullptr;
    bool m_loaded = false;
};
