#include "platform/linux/x11_keyboard_hook.h"

#include "platform/linux/x11_key_codes.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/keysym.h>
#include <X11/extensions/record.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <memory>

namespace {

struct RecordState
{
    Display* query = nullptr;  // keymap and lock state
    unsigned numLockMask = 0;
    std::shared_ptr<KeyboardHook::Handler> handler;
    // X repeats a held key as a release and a press with one time stamp; the
    // release waits here until the next event shows which it is.
    bool releasePending = false;
    unsigned pendingCode = 0;
    unsigned long pendingTime = 0;
};

void deliver(RecordState& s, unsigned keycode, bool pressed)
{
    const KeySym sym = XkbKeycodeToKeysym(s.query, KeyCode(keycode), 0, 0);
    XkbStateRec state;
    const bool numLock = XkbGetState(s.query, XkbUseCoreKbd, &state) == Success
                         && (state.locked_mods & s.numLockMask);
    const VirtualKey vk = virtualKeyFromKeysym(sym, numLock);
    if (vk.code == 0)
        return;  // a key with no virtual-key code cannot be replayed
    const KeyEvent event{vk.code, vk.extended, pressed};
    std::shared_ptr<KeyboardHook::Handler> handler = s.handler;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [handler, event] { (*handler)(event); }, Qt::QueuedConnection);
}

void flushPending(RecordState& s)
{
    if (s.releasePending) {
        s.releasePending = false;
        deliver(s, s.pendingCode, false);
    }
}

void onRecorded(XPointer closure, XRecordInterceptData* data)
{
    RecordState& s = *reinterpret_cast<RecordState*>(closure);
    if (data->category == XRecordFromServer && data->data_len * 4 >= sizeof(xEvent)) {
        const xEvent* e = reinterpret_cast<const xEvent*>(data->data);
        const int type = e->u.u.type & 0x7f;
        const unsigned code = e->u.u.detail;
        const unsigned long time = e->u.keyButtonPointer.time;
        if (type == KeyPress) {
            if (s.releasePending && s.pendingCode == code && s.pendingTime == time)
                s.releasePending = false;  // auto-repeat: the key stays down
            flushPending(s);
            deliver(s, code, true);
        } else if (type == KeyRelease) {
            flushPending(s);
            s.releasePending = true;
            s.pendingCode = code;
            s.pendingTime = time;
        }
    }
    XRecordFreeData(data);
}

}  // namespace

X11KeyboardHook::~X11KeyboardHook()
{
    stop();
}

bool X11KeyboardHook::start(Handler handler)
{
    stop();
    Display* data = XOpenDisplay(nullptr);
    if (!data)
        return false;
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(data, &major, &minor)) {
        XCloseDisplay(data);
        return false;
    }
    XRecordRange* range = XRecordAllocRange();
    range->device_events.first = KeyPress;
    range->device_events.last = KeyRelease;
    XRecordClientSpec clients = XRecordAllClients;
    const XRecordContext context = XRecordCreateContext(data, 0, &clients, 1, &range, 1);
    XFree(range);
    if (!context || pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        XCloseDisplay(data);
        return false;
    }
    XSync(data, False);
    m_handler = std::make_shared<Handler>(std::move(handler));
    m_thread = std::thread([this, data, context] { run(data, context); });
    return true;
}

void X11KeyboardHook::run(void* dataDisplay, unsigned long context)
{
    Display* data = static_cast<Display*>(dataDisplay);
    RecordState state;
    state.query = XOpenDisplay(nullptr);
    state.handler = m_handler;
    if (state.query)
        state.numLockMask = XkbKeysymToModifiers(state.query, XK_Num_Lock);
    if (state.query && XRecordEnableContextAsync(data, context, onRecorded, reinterpret_cast<XPointer>(&state))) {
        pollfd fds[2] = {{ConnectionNumber(data), POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        for (;;) {
            XRecordProcessReplies(data);
            // A release with nothing after it is a real release.
            const int timeout = state.releasePending ? 30 : -1;
            const int n = poll(fds, 2, timeout);
            if (n == 0)
                flushPending(state);
            if (fds[1].revents)
                break;
        }
        flushPending(state);
        // The context is disabled from another connection, as RECORD requires.
        if (Display* control = XOpenDisplay(nullptr)) {
            XRecordDisableContext(control, context);
            XSync(control, False);
            XCloseDisplay(control);
        }
        XRecordProcessReplies(data);
    }
    XRecordFreeContext(data, context);
    XCloseDisplay(data);
    if (state.query)
        XCloseDisplay(state.query);
}

void X11KeyboardHook::stop()
{
    if (m_thread.joinable()) {
        const char c = 0;
        ssize_t ignored = ::write(m_stopPipe[1], &c, 1);
        (void)ignored;
        m_thread.join();
    }
    for (int& fd : m_stopPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    m_handler.reset();
}
