#pragma once
// The browser side of the page query router: hands every query to its
// handlers in order until one takes it.

#include "browser/query_callback.h"

#include <QString>

#include <memory>
#include <vector>

class BrowserPage;

class RouterHandler
{
public:
    virtual ~RouterHandler() = default;
    // true: the handler takes the query (and answers it, now or later).
    virtual bool OnQuery(BrowserPage* browser, const QString& request, bool persistent,
                         const CallbackPtr& callback) = 0;
};

class MessageRouter
{
public:
    void AddHandler(std::unique_ptr<RouterHandler> handler);
    void RemoveAllHandlers();
    int handlerCount() const { return int(m_handlers.size()); }

    void OnQuery(BrowserPage* browser, const QString& request, bool persistent,
                 const CallbackPtr& callback);
    // Pending queries of the browser are cancelled.
    void CancelPending(BrowserPage* browser);

private:
    std::vector<std::unique_ptr<RouterHandler>> m_handlers;
};
