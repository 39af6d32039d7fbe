#include "browser/page_bridge.h"

#include <QThread>

QueryCallback::QueryCallback(PageBridge* bridge, int queryId, bool persistent)
    : m_bridge(bridge)
    , m_queryId(queryId)
    , m_persistent(persistent)
{
}

QueryCallback::QueryCallback(Sink sink, bool persistent)
    : m_sink(std::move(sink))
    , m_queryId(0)
    , m_persistent(persistent)
{
}

void QueryCallback::Success(const QString& response)
{
    deliver(true, 0, response);
}

void QueryCallback::Failure(int errorCode, const QString& errorMessage)
{
    deliver(false, errorCode, errorMessage);
}

void QueryCallback::deliver(bool success, int code, const QString& text)
{
    if (m_cancelled)
        return;
    if (!m_persistent && m_answered.exchange(true))
        return;  // a non-persistent query takes its first answer only
    if (m_sink) {
        m_sink(success, code, text);
        return;
    }
    PageBridge* bridge = m_bridge.data();
    if (!bridge)
        return;
    const int id = m_queryId;
    const bool persistent = m_persistent;
    if (QThread::currentThread() == bridge->thread()) {
        bridge->deliverAnswer(id, persistent, success, code, text);
        return;
    }
    QPointer<PageBridge> guard(bridge);
    QMetaObject::invokeMethod(bridge, [guard, id, persistent, success, code, text] {
        if (guard)
            guard->deliverAnswer(id, persistent, success, code, text);
    }, Qt::QueuedConnection);
}

PageBridge::PageBridge(Trust trusted, Dispatch dispatch, QObject* parent)
    : QObject(parent)
    , m_trusted(std::move(trusted))
    , m_dispatch(std::move(dispatch))
{
}

void PageBridge::query(int id, const QString& request, bool persistent)
{
    if (!m_trusted || !m_trusted())
        return;  // a page from elsewhere never reaches the native side
    auto callback = std::make_shared<QueryCallback>(this, id, persistent);
    m_pending.insert(id, callback);
    if (m_dispatch)
        m_dispatch(request, persistent, callback);
}

void PageBridge::cancel(int id)
{
    if (auto callback = m_pending.take(id).lock())
        callback->cancel();
}

void PageBridge::cancelPending()
{
    for (const auto& weak : qAsConst(m_pending))
        if (auto callback = weak.lock())
            callback->cancel();
    m_pending.clear();
}

int PageBridge::pendingCount() const
{
    int count = 0;
    for (const auto& weak : m_pending)
        if (auto callback = weak.lock())
            count += !callback->isCancelled();
    return count;
}

void PageBridge::sendEvent(const QString& name, const QVariantList& args)
{
    emit pageEvent(name, args);
}

void PageBridge::deliverAnswer(int id, bool persistent, bool success, int code, const QString& text)
{
    auto it = m_pending.find(id);
    if (it == m_pending.end())
        return;  // cancelled meanwhile
    auto callback = it->lock();
    if (!callback || callback->isCancelled()) {
        m_pending.erase(it);
        return;
    }
    if (!persistent)
        m_pending.erase(it);
    emit answer(id, success, code, text);
}
