#include "automation/hook_handler.h"

#include "browser/client_handler.h"
#include "platform/platform.h"

#include <QElapsedTimer>

QMap<int, bool> hook_handler::heldKeys;

namespace {

bool hookInstalled = false;
bool firstItemPending = false;
qint64 lastItemTime = 0;
// Events of a hook that was replaced or removed may still be queued for the
// main thread; they carry the number of the recording they belong to.
int recording = 0;

// A clock that never jumps: delays stay right across midnight or a change
// of the system time.
qint64 now()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

void send(const QString& kind, const QString& value, const QString& keyCode, const QString& extended)
{
    if (g_clientHandler)
        g_clientHandler->macroItem(kind, value, keyCode, extended);
}

void sendDelay()
{
    send(QStringLiteral("2"), QString::number(now() - lastItemTime), QStringLiteral("0"), QStringLiteral("0"));
}

}  // namespace

bool hook_handler::startRecording()
{
    if (hookInstalled) {
        platform::keyboardHook().stop();
        hookInstalled = false;
    }
    const int mine = ++recording;
    const bool started = platform::keyboardHook().start([mine](const KeyEvent& event) {
        if (hookInstalled && mine == recording)
            hookProcedure(event);
    });
    if (!started)
        return false;
    lastItemTime = now();
    firstItemPending = true;
    hookInstalled = true;
    return true;
}

void hook_handler::stopRecording()
{
    platform::keyboardHook().stop();
    hookInstalled = false;
    ++recording;
}

void hook_handler::hookProcedure(const KeyEvent& event)
{
    const QString vk = QString::number(event.virtualKey);
    const QString ext = event.extended ? QStringLiteral("1") : QStringLiteral("0");
    if (event.pressed) {
        const auto held = heldKeys.constFind(event.virtualKey);
        if (held != heldKeys.constEnd() && *held == event.extended)
            return;  // auto-repeat of a held key
        if (firstItemPending)
            firstItemPending = false;
        else
            sendDelay();
        lastItemTime = now();
        send(QStringLiteral("0"), QStringLiteral("1"), vk, ext);
        heldKeys.insert(event.virtualKey, event.extended);
    } else {
        sendDelay();
        lastItemTime = now();
        send(QStringLiteral("0"), QStringLiteral("0"), vk, ext);
        heldKeys.remove(event.virtualKey);
    }
}
