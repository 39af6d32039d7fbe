#include "browser/window_handler.h"

#include "browser/client_handler.h"
#include "browser/message_event.h"
#include "platform/platform.h"
#include "platform/window_placement.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

#include <cctype>
#include <climits>
#include <cstdlib>

QVector<int> parseMoveWindowNumbers(const QByteArray& request)
{
    QVector<int> numbers;
    if (request.size() <= 11)
        return numbers;
    const QByteArray text = request.mid(11);
    const char* p = text.constData();
    const char* end = p + text.size();
    while (p < end) {
        // Stream input skips leading blanks, takes one sign and the digits.
        const char* q = p;
        while (q < end && std::isspace(static_cast<unsigned char>(*q)))
            ++q;
        const char* digits = q;
        if (digits < end && (*digits == '+' || *digits == '-'))
            ++digits;
        const char* stop = digits;
        while (stop < end && std::isdigit(static_cast<unsigned char>(*stop)))
            ++stop;
        if (stop == digits)
            break;
        const long long value = std::strtoll(QByteArray(q, int(stop - q)).constData(), nullptr, 10);
        if (value < INT_MIN || value > INT_MAX)
            break;  // out of range fails the read, as a stream would
        numbers.append(int(value));
        p = stop;
        if (p < end && *p == ',')
            ++p;
    }
    return numbers;
}

namespace window_test {
namespace {

QWidget* hostWindow()
{
    if (!g_clientHandler)
        return nullptr;
    QWidget* w = QWidget::find(g_clientHandler->GetMainWindowHandle());
    return w ? w->window() : nullptr;
}

}  // namespace

bool Handler::OnQuery(BrowserPage* browser, const QString& request, bool persistent,
                      const CallbackPtr& callback)
{
    Q_UNUSED(browser);
    Q_UNUSED(persistent);
    const QByteArray text = request.toUtf8();
    if (text.startsWith("moveWindow")) {
        const QVector<int> n = parseMoveWindowNumbers(text);
        if (n.size() != 4)
            return true;  // not answered
        if (QWidget* window = hostWindow())
            platform::windowPlacement().moveBy(window, n[0], n[1], n[2], n[3]);
        callback->Success(QString());
        return true;
    }
    if (text == R"({"funcname":"minisizeWindow"})") {
        if (g_clientHandler && g_clientHandler->flushPendingDocuments) {
            // The document cache belongs to the main thread.
            QMetaObject::invokeMethod(g_clientHandler,
                                      [] {
                                          if (g_clientHandler->flushPendingDocuments)
                                              g_clientHandler->flushPendingDocuments();
                                      },
                                      Qt::QueuedConnection);
        }
        if (QWidget* window = hostWindow()) {
            WindowPlacement& placement = platform::windowPlacement();
            if (placement.isMinimized(window))
                placement.restore(window);
            else
                placement.minimize(window);
        }
        callback->Success(QString());
        return true;
    }
    if (g_clientHandler && g_clientHandler->listener)
        g_clientHandler->listener->OnMessageEvent(new MessageEvent(request, callback));
    return true;
}

}  // namespace window_test
