#include "platform/linux/x11_global_hotkeys.h"

#include <QCoreApplication>
#include <QX11Info>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace {

constexpr unsigned kShift = XCB_MOD_MASK_SHIFT;
constexpr unsigned kControl = XCB_MOD_MASK_CONTROL;
constexpr unsigned kAlt = XCB_MOD_MASK_1;
constexpr unsigned kNumLock = XCB_MOD_MASK_2;
constexpr unsigned kCapsLock = XCB_MOD_MASK_LOCK;
constexpr unsigned kSuper = XCB_MOD_MASK_4;
const unsigned kLockVariants[] = {0, kNumLock, kCapsLock, kNumLock | kCapsLock};

struct KeyName
{
    int qt;
    unsigned long sym;
};

const KeyName kSpecialKeys[] = {
    {Qt::Key_Escape, XK_Escape}, {Qt::Key_Tab, XK_Tab}, {Qt::Key_Backspace, XK_BackSpace},
    {Qt::Key_Return, XK_Return}, {Qt::Key_Enter, XK_KP_Enter}, {Qt::Key_Insert, XK_Insert},
    {Qt::Key_Delete, XK_Delete}, {Qt::Key_Pause, XK_Pause}, {Qt::Key_Print, XK_Print},
    {Qt::Key_Home, XK_Home}, {Qt::Key_End, XK_End}, {Qt::Key_Left, XK_Left},
    {Qt::Key_Up, XK_Up}, {Qt::Key_Right, XK_Right}, {Qt::Key_Down, XK_Down},
    {Qt::Key_PageUp, XK_Prior}, {Qt::Key_PageDown, XK_Next}, {Qt::Key_Space, XK_space},
    {Qt::Key_Menu, XK_Menu},
};

}  // namespace

bool x11KeyOf(int combination, unsigned long* keysym, unsigned* modifiers)
{
    const int key = combination & ~int(Qt::KeyboardModifierMask);
    *modifiers = 0;
    if (combination & Qt::ShiftModifier)
        *modifiers |= kShift;
    if (combination & Qt::ControlModifier)
        *modifiers |= kControl;
    if (combination & Qt::AltModifier)
        *modifiers |= kAlt;
    if (combination & Qt::MetaModifier)
        *modifiers |= kSuper;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
        *keysym = XK_F1 + (key - Qt::Key_F1);
        return true;
    }
    for (const KeyName& k : kSpecialKeys) {
        if (k.qt == key) {
            *keysym = k.sym;
            return true;
        }
    }
    // Latin-1 keys have the same code in Qt and X; X names letters in lower case.
    if (key > 0x20 && key <= 0xff) {
        *keysym = (key >= 'A' && key <= 'Z') ? unsigned(key - 'A' + 'a') : unsigned(key);
        return true;
    }
    return false;
}

X11GlobalHotkeys::X11GlobalHotkeys() = default;

X11GlobalHotkeys::~X11GlobalHotkeys()
{
    for (const Binding& b : m_bindings)
        ungrab(b);
    if (m_filterInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

int X11GlobalHotkeys::bind(const QKeySequence& keys, std::function<void()> pressed)
{
    if (!QX11Info::isPlatformX11() || keys.isEmpty())
        return 0;
    unsigned long sym = 0;
    unsigned modifiers = 0;
    if (!x11KeyOf(keys[0], &sym, &modifiers))
        return 0;
    const KeyCode keycode = XKeysymToKeycode(QX11Info::display(), sym);
    if (!keycode)
        return 0;
    // X lets a client grab its own combination twice; here that is a clash.
    for (const Binding& b : m_bindings)
        if (b.keycode == keycode && b.modifiers == modifiers)
            return 0;
    xcb_connection_t* c = QX11Info::connection();
    const xcb_window_t root = xcb_window_t(QX11Info::appRootWindow());
    xcb_void_cookie_t cookies[4];
    for (int i = 0; i < 4; ++i)
        cookies[i] = xcb_grab_key_checked(c, 1, root, uint16_t(modifiers | kLockVariants[i]), keycode,
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool refused = false;
    for (xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            refused = true;  // BadAccess: another client holds the combination
            std::free(error);
        }
    }
    const Binding binding{keycode, modifiers, std::move(pressed)};
    if (refused) {
        ungrab(binding);
        return 0;
    }
    if (!m_filterInstalled) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    const int id = m_nextId++;
    m_bindings.insert(id, binding);
    return id;
}

void X11GlobalHotkeys::ungrab(const Binding& b)
{
    if (!QX11Info::isPlatformX11())
        return;
    xcb_connection_t* c = QX11Info::connection();
    const xcb_window_t root = xcb_window_t(QX11Info::appRootWindow());
    for (unsigned variant : kLockVariants)
        xcb_ungrab_key(c, xcb_keycode_t(b.keycode), root, uint16_t(b.modifiers | variant));
    xcb_flush(c);
}

void X11GlobalHotkeys::release(int id)
{
    const auto it = m_bindings.find(id);
    if (it == m_bindings.end())
        return;
    ungrab(*it);
    m_bindings.erase(it);
}

bool X11GlobalHotkeys::nativeEventFilter(const QByteArray& eventType, void* message, long*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    const unsigned modifiers = press->state & (kShift | kControl | kAlt | kSuper);
    for (const Binding& b : m_bindings) {
        if (b.keycode == press->detail && b.modifiers == modifiers) {
            const std::function<void()> pressed = b.pressed;  // may rebind while it runs
            pressed();
            return true;
        }
    }
    return false;
}
