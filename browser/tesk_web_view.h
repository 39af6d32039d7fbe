#pragma once
// The widget that shows a browser. It creates its browser when it first has
// a size, and is where page queries cross to the Qt main thread: the query
// handler posts a MessageEvent here, and customEvent turns it into jsMessage.
// Navigation and scripts act on the client handler's current browser.

#include "browser/client_handler.h"
#include "browser/query_callback.h"

#include <QUrl>
#include <QVariant>
#include <QWidget>

class BrowserView;

class TeskWebView : public QWidget, public ClientHandler::Listener
{
    Q_OBJECT
public:
    enum BrowserState { NoBrowser = 0, Creating = 1, Created = 2 };

    explicit TeskWebView(QWidget* parent = nullptr);
    ~TeskWebView() override;

    void load(const QUrl& url);
    BrowserState browserState() const { return m_state; }
    BrowserPage* page() const;
    QUrl url() const { return m_url; }

    void OnAfterCreated(BrowserPage* browser) override;
    void OnMessageEvent(MessageEvent* event) override;

signals:
    void titleChanged(const QString& title);
    void urlChanged(const QUrl& url);
    void loadStarted();
    void loadFinished(bool ok);
    void navStateChanged(bool canGoBack, bool canGoForward);
    void jsMessage(const QString& name, const CallbackPtr& callbackPtr);

public slots:
    void back();
    void forward();
    void reload();
    void stop();
    QVariant evaluateJavaScript(const QString& scriptSource);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void createBrowser(const QSize& size);

    BrowserState m_state = NoBrowser;
    bool m_resizePending = false;
    bool m_loadPending = false;
    QUrl m_url;
    BrowserView* m_view = nullptr;
};
