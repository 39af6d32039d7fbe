#pragma once
// A "browser": one page of the engine with an identifier, its web channel
// and bridge, and the engine callbacks the program answers (navigation,
// popups, permissions, quota, load errors, renderer end). Every decision is
// the client handler's; the page only reports.

#include "browser/page_bridge.h"

#include <QWebChannel>
#include <QWebEnginePage>

class BrowserPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit BrowserPage(bool popup, QObject* parent = nullptr);
    ~BrowserPage() override;

    int identifier() const { return m_identifier; }
    bool isPopup() const { return m_popup; }
    PageBridge* bridge() const { return m_bridge; }
    // The page is loaded from the program folder, so it may use the bridge.
    bool isTrusted() const;
    // Loads an HTML text that shows as `url` (the load-error page).
    void loadErrorPage(const QString& html, const QUrl& url);

signals:
    void consoleMessage(int level, const QString& message, int line, const QString& source);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;

private:
    void onLoadStarted();
    void onLoadFinished(bool ok);

    const int m_identifier;
    const bool m_popup;
    QWebChannel* m_channel = nullptr;
    PageBridge* m_bridge = nullptr;
    QUrl m_requestedUrl;     // the main frame's latest navigation
    int m_navigations = 0;   // main-frame navigations asked for so far
    int m_loadNavigation = 0;  // the navigation the running load belongs to
    bool m_showingErrorPage = false;
};
