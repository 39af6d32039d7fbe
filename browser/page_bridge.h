#pragma once
// The native end of one page's bridge, published on the page's web channel
// as "teskRouter". Pages call query/cancel; answers and the six events go
// back as signals. Queries of a page that is not from the program folder are
// never dispatched.

#include "browser/query_callback.h"

#include <QHash>
#include <QObject>
#include <QVariantList>

#include <functional>

class PageBridge : public QObject
{
    Q_OBJECT
public:
    using Dispatch = std::function<void(const QString& request, bool persistent, CallbackPtr)>;
    using Trust = std::function<bool()>;

    PageBridge(Trust trusted, Dispatch dispatch, QObject* parent = nullptr);

    // Cancels every query of the page that is still waiting for an answer.
    void cancelPending();
    int pendingCount() const;

    // Sends one event to the page.
    void sendEvent(const QString& name, const QVariantList& args);

public slots:
    void query(int id, const QString& request, bool persistent);
    void cancel(int id);

signals:
    void answer(int id, bool success, int code, const QString& text);
    void pageEvent(const QString& name, const QVariantList& args);

private:
    friend class QueryCallback;
    void deliverAnswer(int id, bool persistent, bool success, int code, const QString& text);

    Trust m_trusted;
    Dispatch m_dispatch;
    QHash<int, std::weak_ptr<QueryCallback>> m_pending;
};
