#pragma once
// The one browser client of the program. Every browser (page) the program
// makes, and every popup a page opens, reports here. It keeps the current
// browser (the first one made while none is current), routes page queries
// through the message router to its one window handler, reloads the start
// page after a renderer failure, and sends the six page events.

#include "browser/query_callback.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QUrl>
#include <QVariantList>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class BrowserPage;
class MessageEvent;
class MessageRouter;
class QWebEngineDownloadItem;

class ClientHandler : public QObject
{
    Q_OBJECT
public:
    // The web view that receives creation notices and page messages.
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void OnAfterCreated(BrowserPage* browser) = 0;
        // Takes ownership of `event`.
        virtual void OnMessageEvent(MessageEvent* event) = 0;
    };

    ClientHandler();
    ~ClientHandler() override;

    // The current browser, or null. Main thread.
    BrowserPage* GetBrowser() const;
    int currentBrowserIdentifier() const;

    void SetMainWindowHandle(WId handle);
    WId GetMainWindowHandle() const;

    Listener* listener = nullptr;
    // Page reloaded after the renderer ends (UTF-8). The switch "url" sets
    // it; the main window replaces it with the local page.
    QByteArray startUrl;
    // The switch "mouse-cursor-change-disabled" was given.
    bool mouseCursorChangeDisabled = false;
    // Writes the main window's pending profile documents; set by the main
    // window. Always run on the main thread.
    std::function<void()> flushPendingDocuments;

    // The six page events; callable from any thread. Each goes to the
    // current browser only and is dropped when there is none.
    void devicesChanged(int code);
    void macroItem(const QString& kind, const QString& value, const QString& keyCode,
                   const QString& extended);
    void currentPropChanged(int propIndex, int proMode);
    void navStateChanged(bool canGoBack, bool canGoForward);
    void onDeviceData(const QString& hex);
    void onProcessChanged(const QString& index, bool running);

    // Engine callbacks, reported by the pages.
    void OnAfterCreated(BrowserPage* browser);
    void OnBeforeClose(BrowserPage* browser);
    void OnQuery(BrowserPage* browser, const QString& request, bool persistent,
                 const CallbackPtr& callback);
    // false: the navigation does not happen.
    bool OnBeforeBrowse(BrowserPage* browser, const QUrl& url, bool isMainFrame);
    BrowserPage* OnBeforePopup(BrowserPage* opener);
    void OnLoadingStateChange(BrowserPage* browser, bool canGoBack, bool canGoForward);
    void OnLoadError(BrowserPage* browser, bool aborted, const QUrl& failedUrl);
    void OnRenderProcessTerminated(BrowserPage* browser);
    bool OnQuotaRequest(qint64 newSize) const;
    void OnBeforeDownload(QWebEngineDownloadItem* download);

    // How many browsers are open (all handlers together).
    static int browserCount();
    MessageRouter* router() const { return m_router.get(); }
    QList<BrowserPage*> popups() const;

private:
    void sendEvent(const QString& name, const QVariantList& args);

    mutable QMutex m_lock;
    QPointer<BrowserPage> m_currentBrowser;
    int m_currentIdentifier = 0;
    QList<QPointer<BrowserPage>> m_popups;
    std::atomic<WId> m_mainWindowHandle{0};
    std::unique_ptr<MessageRouter> m_router;
};

extern ClientHandler* g_clientHandler;

// The generated page shown when a page cannot load.
QString loadErrorHtml(const QString& failedUrl, const QString& errorText, int errorCode);
// The largest storage a page may ask for: 20 MiB.
constexpr qint64 kMaxQuotaBytes = 20971520;
