#include "tests/support/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

long cardinal(Display* dpy, Window w, const char* name)
{
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    long value = -1;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 1, False, XA_CARDINAL, &type,
                           &format, &n, &after, &data) == Success && data && n == 1)
        value = *reinterpret_cast<long*>(data);
    if (data)
        XFree(data);
    return value;
}

QString utf8Title(Display* dpy, Window w)
{
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    QString title;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(dpy, "UTF8_STRING", False), &type, &format, &n, &after,
                           &data) == Success && data)
        title = QString::fromUtf8(reinterpret_cast<char*>(data), int(n));
    if (data)
        XFree(data);
    return title;
}

}  // namespace

ProcessWindow findProcessWindow(qint64 pid)
{
    ProcessWindow result;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return result;
    auto* previous = XSetErrorHandler(ignoreErrors);
    Window root = DefaultRootWindow(dpy), parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(dpy, root, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !result.viewable; ++i) {
            if (cardinal(dpy, children[i], "_NET_WM_PID") != pid)
                continue;
            const QString title = utf8Title(dpy, children[i]);
            if (title.isEmpty())
                continue;
            XWindowAttributes attrs{};
            XGetWindowAttributes(dpy, children[i], &attrs);
            if (result.exists && attrs.map_state != IsViewable)
                continue;  // keep the first; a mapped one is better
            result.exists = true;
            result.viewable = attrs.map_state == IsViewable;
            result.title = title;
            result.width = attrs.width;
            result.height = attrs.height;
        }
        if (children)
            XFree(children);
    }
    XSetErrorHandler(previous);
    XCloseDisplay(dpy);
    return result;
}

int viewableWindowCount(qint64 pid)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 0;
    auto* previous = XSetErrorHandler(ignoreErrors);
    Window root = DefaultRootWindow(dpy), parent = 0, *children = nullptr;
    unsigned int count = 0;
    int viewable = 0;
    if (XQueryTree(dpy, root, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            if (cardinal(dpy, children[i], "_NET_WM_PID") != pid)
                continue;
            XWindowAttributes attrs{};
            XGetWindowAttributes(dpy, children[i], &attrs);
            if (attrs.map_state == IsViewable)
                ++viewable;
        }
        if (children)
            XFree(children);
    }
    XSetErrorHandler(previous);
    XCloseDisplay(dpy);
    return viewable;
}
