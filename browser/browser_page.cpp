#include "browser/browser_page.h"

#include "app/globals.h"
#include "app/logging.h"
#include "browser/bridge_script.h"
#include "browser/client_handler.h"
#include "browser/engine_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QWebEngineHistory>
#include <QWebEngineQuotaRequest>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <atomic>

namespace {
std::atomic<int> g_nextIdentifier{1};
}

BrowserPage::BrowserPage(bool popup, QObject* parent)
    : QWebEnginePage(parent)
    , m_identifier(g_nextIdentifier++)
    , m_popup(popup)
{
    setBackgroundColor(engineSettings().backgroundColor);
    QWebEngineSettings* s = settings();
    // The local page may read other local files and reach any origin.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    s->setAttribute(QWebEngineSettings::SpatialNavigationEnabled, false);
    s->setAttribute(QWebEngineSettings::LinksIncludedInFocusChain, false);
    // Failed loads show the program's own error page.
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);

    scripts().insert(bridgeScript(g_exeDir));
    m_bridge = new PageBridge([this] { return isTrusted(); },
                              [this](const QString& request, bool persistent, CallbackPtr cb) {
                                  if (g_clientHandler)
                                      g_clientHandler->OnQuery(this, request, persistent, cb);
                              },
                              this);
    m_channel = new QWebChannel(this);
    m_channel->registerObject(QStringLiteral("teskRouter"), m_bridge);
    setWebChannel(m_channel, QWebEngineScript::MainWorld);

    connect(this, &QWebEnginePage::loadStarted, this, &BrowserPage::onLoadStarted);
    connect(this, &QWebEnginePage::loadFinished, this, &BrowserPage::onLoadFinished);
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                const bool grant = feature == Geolocation;
                setFeaturePermission(origin, feature, grant ? PermissionGrantedByUser
                                                            : PermissionDeniedByUser);
            });
    connect(this, &QWebEnginePage::quotaRequested, this, [](QWebEngineQuotaRequest request) {
        if (g_clientHandler && g_clientHandler->OnQuotaRequest(request.requestedSize()))
            request.accept();
        else
            request.reject();
    });
    connect(this, &QWebEnginePage::renderProcessTerminated, this,
            [this](RenderProcessTerminationStatus, int) {
                if (g_clientHandler)
                    g_clientHandler->OnRenderProcessTerminated(this);
            });
}

BrowserPage::~BrowserPage()
{
    m_bridge->cancelPending();
    if (g_clientHandler)
        g_clientHandler->OnBeforeClose(this);
}

bool BrowserPage::isTrusted() const
{
    const QUrl u = url();
    if (!u.isLocalFile() || g_exeDir.isEmpty())
        return false;
    const QString path = QDir::cleanPath(u.toLocalFile());
    QString folder = QDir::cleanPath(g_exeDir);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return path.startsWith(folder);
}

void BrowserPage::loadErrorPage(const QString& html, const QUrl& url)
{
    m_showingErrorPage = true;
    setHtml(html, url);
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    if (g_clientHandler && !g_clientHandler->OnBeforeBrowse(this, url, isMainFrame))
        return false;
    if (isMainFrame) {
        ++m_navigations;
        m_requestedUrl = url;
    }
    return true;
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType type)
{
    Q_UNUSED(type);
    return g_clientHandler ? g_clientHandler->OnBeforePopup(this) : nullptr;
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                           const QString& message, int lineNumber,
                                           const QString& sourceID)
{
    LOG_INFO(QStringLiteral("Console: %1 (%2:%3)").arg(message, sourceID).arg(lineNumber));
    emit consoleMessage(int(level), message, lineNumber, sourceID);
}

void BrowserPage::onLoadStarted()
{
    m_loadNavigation = m_navigations;
    if (g_clientHandler)
        g_clientHandler->OnLoadingStateChange(this, history()->canGoBack(),
                                              history()->canGoForward());
}

void BrowserPage::onLoadFinished(bool ok)
{
    if (g_clientHandler)
        g_clientHandler->OnLoadingStateChange(this, history()->canGoBack(),
                                              history()->canGoForward());
    const bool errorPage = m_showingErrorPage;
    m_showingErrorPage = false;
    if (ok || errorPage)
        return;
    // A load that a newer navigation replaced was aborted, not failed.
    const bool aborted = m_loadNavigation != m_navigations;
    if (g_clientHandler)
        g_clientHandler->OnLoadError(this, aborted, m_requestedUrl);
}
