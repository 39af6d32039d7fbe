#include "browser/message_router.h"

#include "browser/browser_page.h"

void MessageRouter::AddHandler(std::unique_ptr<RouterHandler> handler)
{
    m_handlers.push_back(std::move(handler));
}

void MessageRouter::RemoveAllHandlers()
{
    m_handlers.clear();
}

void MessageRouter::OnQuery(BrowserPage* browser, const QString& request, bool persistent,
                            const CallbackPtr& callback)
{
    for (const auto& handler : m_handlers)
        if (handler->OnQuery(browser, request, persistent, callback))
            return;
    // Nobody took it: the page learns at once.
    callback->Failure(-1, QStringLiteral("Unhandled"));
}

void MessageRouter::CancelPending(BrowserPage* browser)
{
    if (browser)
        browser->bridge()->cancelPending();
}
