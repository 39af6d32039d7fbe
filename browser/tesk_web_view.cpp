#include "browser/tesk_web_view.h"

#include "browser/browser_page.h"
#include "browser/browser_view.h"
#include "browser/message_event.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QResizeEvent>

TeskWebView::TeskWebView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
}

TeskWebView::~TeskWebView()
{
    if (g_clientHandler && g_clientHandler->listener == this)
        g_clientHandler->listener = nullptr;
}

BrowserPage* TeskWebView::page() const
{
    return m_view ? static_cast<BrowserPage*>(m_view->page()) : nullptr;
}

void TeskWebView::load(const QUrl& url)
{
    m_url = url;
    switch (m_state) {
    case NoBrowser:
        createBrowser(size());
        break;
    case Creating:
        m_loadPending = true;
        break;
    case Created:
        if (!m_url.isEmpty())
            if (BrowserPage* browser = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr)
                browser->load(m_url);
        break;
    }
}

void TeskWebView::createBrowser(const QSize& size)
{
    if (m_state != NoBrowser || size.width() < 1 || size.height() < 1)
        return;
    if (g_clientHandler)
        g_clientHandler->listener = this;
    m_state = Creating;

    m_view = new BrowserView(this, g_clientHandler && g_clientHandler->mouseCursorChangeDisabled);
    auto* browser = new BrowserPage(false, m_view);
    m_view->setPage(browser);
    m_view->setGeometry(0, 0, size.width(), size.height());
    m_view->show();
    m_view->load(m_url.isEmpty() ? QUrl(QStringLiteral("about:blank")) : m_url);
    if (g_clientHandler)
        g_clientHandler->OnAfterCreated(browser);
}

void TeskWebView::OnAfterCreated(BrowserPage* browser)
{
    Q_UNUSED(browser);
    if (m_state != Creating)
        return;
    m_state = Created;
    // What arrived while the browser was being made is carried out now.
    if (m_resizePending && m_view)
        m_view->resize(size());
    if (m_loadPending && m_view && !m_url.isEmpty())
        m_view->load(m_url);
    m_resizePending = m_loadPending = false;
}

void TeskWebView::OnMessageEvent(MessageEvent* event)
{
    QCoreApplication::postEvent(this, event, Qt::HighEventPriority);
}

void TeskWebView::customEvent(QEvent* event)
{
    if (event->type() != MessageEvent::eventType())
        return;
    auto* message = static_cast<MessageEvent*>(event);
    emit jsMessage(message->name(), message->callback());
}

void TeskWebView::resizeEvent(QResizeEvent* event)
{
    switch (m_state) {
    case NoBrowser:
        createBrowser(event->size());
        break;
    case Creating:
        m_resizePending = true;
        break;
    case Created:
        if (m_view)
            m_view->resize(event->size());
        break;
    }
    QWidget::resizeEvent(event);
}

void TeskWebView::showEvent(QShowEvent* event)
{
    createBrowser(size());
    QWidget::showEvent(event);
}

void TeskWebView::closeEvent(QCloseEvent* event)
{
    event->accept();
}

void TeskWebView::back()
{
    if (BrowserPage* b = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr)
        b->triggerAction(QWebEnginePage::Back);
}

void TeskWebView::forward()
{
    if (BrowserPage* b = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr)
        b->triggerAction(QWebEnginePage::Forward);
}

void TeskWebView::reload()
{
    if (BrowserPage* b = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr)
        b->triggerAction(QWebEnginePage::Reload);
}

void TeskWebView::stop()
{
    if (BrowserPage* b = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr)
        b->triggerAction(QWebEnginePage::Stop);
}

QVariant TeskWebView::evaluateJavaScript(const QString& scriptSource)
{
    BrowserPage* b = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr;
    if (!b)
        return QVariant(false);
    b->runJavaScript(scriptSource);
    return QVariant(true);
}
