#include "browser/client_handler.h"

#include "browser/browser_page.h"
#include "browser/command_line.h"
#include "browser/message_router.h"
#include "browser/window_handler.h"
#include "platform/platform.h"
#include "platform/shell.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWebEngineDownloadItem>
#include <QWebEngineView>

ClientHandler* g_clientHandler = nullptr;

namespace {

// Shown when nothing else names a start page; a blank page reaches no network
// and gets no access to the native side.
const char kDefaultStartUrl[] = "about:blank";

int g_browserCount = 0;

bool isStandardScheme(const QString& scheme)
{
    static const QStringList known{"file", "http", "https", "about", "data", "blob",
                                   "qrc", "chrome", "ftp", "ws", "wss", "javascript"};
    return known.contains(scheme);
}

// Qt WebEngine 5.15 reports a failed load without its network error, so the
// error is told from the address as far as it can be.
void describeLoadError(const QUrl& url, QString* text, int* code)
{
    if (!isStandardScheme(url.scheme())) {
        *text = QStringLiteral("ERR_UNKNOWN_URL_SCHEME");
        *code = -302;
    } else if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
        *text = QStringLiteral("ERR_FILE_NOT_FOUND");
        *code = -6;
    } else {
        *text = QStringLiteral("ERR_FAILED");
        *code = -2;
    }
}

}  // namespace

QString loadErrorHtml(const QString& failedUrl, const QString& errorText, int errorCode)
{
    return QStringLiteral("<html><body bgcolor=\"white\"><h2>Failed to load URL ") + failedUrl
           + QStringLiteral(" with error ") + errorText + QStringLiteral(" (")
           + QString::number(errorCode) + QStringLiteral(").</h2></body></html>");
}

ClientHandler::ClientHandler()
{
    const QByteArray url = switchValue(QStringLiteral("url")).toUtf8();
    startUrl = url.isEmpty() ? QByteArray(kDefaultStartUrl) : url;
    mouseCursorChangeDisabled = hasSwitch(QStringLiteral("mouse-cursor-change-disabled"));
}

ClientHandler::~ClientHandler() = default;

BrowserPage* ClientHandler::GetBrowser() const
{
    QMutexLocker lock(&m_lock);
    return m_currentBrowser.data();
}

int ClientHandler::currentBrowserIdentifier() const
{
    QMutexLocker lock(&m_lock);
    return m_currentIdentifier;
}

void ClientHandler::SetMainWindowHandle(WId handle)
{
    m_mainWindowHandle = handle;
}

WId ClientHandler::GetMainWindowHandle() const
{
    return m_mainWindowHandle;
}

int ClientHandler::browserCount()
{
    return g_browserCount;
}

QList<BrowserPage*> ClientHandler::popups() const
{
    QList<BrowserPage*> out;
    for (const auto& p : m_popups)
        if (p)
            out.append(p.data());
    return out;
}

// ---- browser life ---------------------------------------------------------

void ClientHandler::OnAfterCreated(BrowserPage* browser)
{
    if (!m_router) {
        m_router = std::make_unique<MessageRouter>();
        m_router->AddHandler(std::make_unique<window_test::Handler>());
    }
    {
        QMutexLocker lock(&m_lock);
        if (!m_currentBrowser) {
            m_currentBrowser = browser;
            m_currentIdentifier = browser->identifier();
        }
    }
    if (browser->isPopup()) {
        m_popups.append(browser);
        QPointer<BrowserPage> page(browser);
        QTimer::singleShot(0, browser, [page] {
            if (page && page->view())
                page->view()->setFocus();
        });
    }
    ++g_browserCount;
    if (listener)
        listener->OnAfterCreated(browser);
}

void ClientHandler::OnBeforeClose(BrowserPage* browser)
{
    if (m_router)
        m_router->CancelPending(browser);
    {
        QMutexLocker lock(&m_lock);
        if (browser->identifier() == m_currentIdentifier) {
            m_currentBrowser = nullptr;
            m_currentIdentifier = 0;
        }
    }
    for (int i = 0; i < m_popups.size(); ++i) {
        if (m_popups.at(i) == browser || !m_popups.at(i)) {
            m_popups.removeAt(i);
            break;
        }
    }
    if (--g_browserCount == 0 && m_router) {
        m_router->RemoveAllHandlers();
        m_router.reset();
    }
}

BrowserPage* ClientHandler::OnBeforePopup(BrowserPage* opener)
{
    Q_UNUSED(opener);
    // Popups open as ordinary top-level windows.
    auto* view = new QWebEngineView();
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setContextMenuPolicy(Qt::NoContextMenu);
    auto* page = new BrowserPage(true, view);
    view->setPage(page);
    QObject::connect(page, &QWebEnginePage::windowCloseRequested, view, &QWidget::close);
    view->resize(800, 600);
    view->show();
    OnAfterCreated(page);
    return page;
}

// ---- queries and navigation -------------------------------------------------

void ClientHandler::OnQuery(BrowserPage* browser, const QString& request, bool persistent,
                            const CallbackPtr& callback)
{
    if (m_router)
        m_router->OnQuery(browser, request, persistent, callback);
}

bool ClientHandler::OnBeforeBrowse(BrowserPage* browser, const QUrl& url, bool isMainFrame)
{
    // Addresses of the music player go to the desktop, not to the page.
    if (url.scheme() == QLatin1String("spotify")) {
        platform::shell().openWithDesktop(url.toString(QUrl::FullyEncoded));
        return false;
    }
    if (isMainFrame && m_router)
        m_router->CancelPending(browser);
    return true;
}

void ClientHandler::OnLoadingStateChange(BrowserPage* browser, bool canGoBack, bool canGoForward)
{
    Q_UNUSED(browser);
    navStateChanged(canGoBack, canGoForward);
}

void ClientHandler::OnLoadError(BrowserPage* browser, bool aborted, const QUrl& failedUrl)
{
    if (aborted || failedUrl.isEmpty())
        return;
    QString text;
    int code = 0;
    describeLoadError(failedUrl, &text, &code);
    const QString failed = failedUrl.toString(QUrl::FullyEncoded);
    browser->loadErrorPage(loadErrorHtml(failed, text, code), failedUrl);
}

void ClientHandler::OnRenderProcessTerminated(BrowserPage* browser)
{
    if (m_router)
        m_router->CancelPending(browser);
    const QString current = browser->url().toString(QUrl::FullyEncoded).toLower();
    const QString start = QString::fromUtf8(startUrl);
    if (start != QLatin1String("chrome://crash") && !current.isEmpty()
        && !current.startsWith(start)) {
        browser->load(QUrl(start));
    }
}

bool ClientHandler::OnQuotaRequest(qint64 newSize) const
{
    return newSize <= kMaxQuotaBytes;
}

void ClientHandler::OnBeforeDownload(QWebEngineDownloadItem* download)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        QDir().mkpath(documents);
    const QString suggested = documents.isEmpty()
                                  ? QString()
                                  : documents + QLatin1Char('/') + download->downloadFileName();
    const QString chosen = QFileDialog::getSaveFileName(nullptr, QString(), suggested);
    if (chosen.isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo target(chosen);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    download->accept();
}

// ---- events -------------------------------------------------------------------

void ClientHandler::sendEvent(const QString& name, const QVariantList& args)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, name, args] { sendEvent(name, args); },
                                  Qt::QueuedConnection);
        return;
    }
    if (BrowserPage* browser = GetBrowser())
        browser->bridge()->sendEvent(name, args);
}

void ClientHandler::devicesChanged(int code)
{
    sendEvent(QStringLiteral("devicesChanged"), {code});
}

void ClientHandler::macroItem(const QString& kind, const QString& value, const QString& keyCode,
                              const QString& extended)
{
    sendEvent(QStringLiteral("macroItem"), {kind, value, keyCode, extended});
}

void ClientHandler::currentPropChanged(int propIndex, int proMode)
{
    sendEvent(QStringLiteral("currentPropChanged"), {propIndex, proMode});
}

void ClientHandler::navStateChanged(bool canGoBack, bool canGoForward)
{
    sendEvent(QStringLiteral("navStateChanged"), {canGoBack, canGoForward});
}

void ClientHandler::onDeviceData(const QString& hex)
{
    sendEvent(QStringLiteral("onDeviceData"), {hex});
}

void ClientHandler::onProcessChanged(const QString& index, bool running)
{
    sendEvent(QStringLiteral("onProcessChanged"), {index, running});
}
