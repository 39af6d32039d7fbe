#pragma once
// The answer path of one page query: Success(text) or Failure(code, message).
// Shared by everyone who holds the query; callable from any thread (the
// answer is carried to the page's thread). A non-persistent query delivers
// only its first answer; a cancelled query (page navigated or closed,
// renderer ended, page cancelled it) delivers nothing.

#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class PageBridge;

class QueryCallback
{
public:
    using Sink = std::function<void(bool success, int code, const QString& text)>;

    QueryCallback(PageBridge* bridge, int queryId, bool persistent);
    // Answers go to `sink` on the calling thread (native callers, tests).
    explicit QueryCallback(Sink sink, bool persistent = false);

    void Success(const QString& response);
    void Failure(int errorCode, const QString& errorMessage);

    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }
    int queryId() const { return m_queryId; }
    bool isPersistent() const { return m_persistent; }

private:
    void deliver(bool success, int code, const QString& text);

    QPointer<PageBridge> m_bridge;
    Sink m_sink;
    const int m_queryId;
    const bool m_persistent;
    std::atomic<bool> m_answered{false};
    std::atomic<bool> m_cancelled{false};
};

using CallbackPtr = std::shared_ptr<QueryCallback>;
Q_DECLARE_METATYPE(CallbackPtr)
