#include "platform/linux/x11_window_activation.h"

#include <QGuiApplication>
#include <QX11Info>
#include <QVector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Longest title read from a window, in characters.
constexpr int kMaxTitle = 1023;

int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

// Reads a property as raw items; empty when the window has none.
QByteArray readProperty(Display* dpy, Window w, Atom property, Atom type, int* format = nullptr,
                        unsigned long* count = nullptr)
{
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    QByteArray out;
    if (XGetWindowProperty(dpy, w, property, 0, 1 << 20, False, type, &actualType, &actualFormat,
                           &items, &after, &data) == Success
        && data && actualType != None) {
        const int itemBytes = actualFormat == 32 ? int(sizeof(long)) : actualFormat / 8;
        out = QByteArray(reinterpret_cast<const char*>(data), int(items) * itemBytes);
        if (format)
            *format = actualFormat;
        if (count)
            *count = items;
    }
    if (data)
        XFree(data);
    return out;
}

QVector<Window> topLevelWindows(Display* dpy)
{
    const Window root = DefaultRootWindow(dpy);
    QVector<Window> windows;
    unsigned long count = 0;
    const QByteArray list = readProperty(dpy, root, XInternAtom(dpy, "_NET_CLIENT_LIST", False),
                                         XA_WINDOW, nullptr, &count);
    if (count > 0) {
        const auto* ids = reinterpret_cast<const long*>(list.constData());
        for (unsigned long i = 0; i < count; ++i)
            windows.append(Window(ids[i]));
        return windows;
    }
    // No window manager: the top-level windows are the root's children.
    Window rootRet = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(dpy, root, &rootRet, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n; ++i)
            windows.append(children[i]);
        if (children)
            XFree(children);
    }
    return windows;
}

qint64 windowPid(Display* dpy, Window w)
{
    unsigned long count = 0;
    const QByteArray pid = readProperty(dpy, w, XInternAtom(dpy, "_NET_WM_PID", False),
                                        XA_CARDINAL, nullptr, &count);
    if (count < 1)
        return -1;
    return qint64(*reinterpret_cast<const unsigned long*>(pid.constData()));
}

QString windowTitle(Display* dpy, Window w)
{
    QByteArray name = readProperty(dpy, w, XInternAtom(dpy, "_NET_WM_NAME", False),
                                   XInternAtom(dpy, "UTF8_STRING", False));
    QString title = QString::fromUtf8(name);
    if (title.isEmpty())
        title = QString::fromLocal8Bit(readProperty(dpy, w, XA_WM_NAME, XA_STRING));
    return title.left(kMaxTitle);
}

void activate(Display* dpy, Window w)
{
    const Window root = DefaultRootWindow(dpy);
    // Ask the window manager first (source 2: on the user's behalf), then do
    // it ourselves for desktops without one.
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 2;
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);

    XWindowAttributes attrs{};
    XRaiseWindow(dpy, w);
    if (XGetWindowAttributes(dpy, w, &attrs) && attrs.map_state == IsViewable)
        XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
}

}  // namespace

bool X11WindowActivation::activateProcessWindow(qint64 pid, const QRegularExpression& title)
{
    if (!QX11Info::isPlatformX11())
        return false;
    Display* dpy = QX11Info::display();
    if (!dpy)
        return false;

    // Windows may vanish while we look at them; their errors are not ours.
    XSync(dpy, False);
    auto* previous = XSetErrorHandler(ignoreXError);
    bool found = false;
    for (Window w : topLevelWindows(dpy)) {
        if (windowPid(dpy, w) != pid)
            continue;
        const QString text = windowTitle(dpy, w);
        if (text.isEmpty() || !title.match(text).hasMatch())
            continue;
        activate(dpy, w);
        found = true;
        break;
    }
    XSync(dpy, False);
    XSetErrorHandler(previous);
    return found;
}
