#pragma once
// Hot keys as passive key grabs on the X root window. Each combination is
// grabbed four times, with and without NumLock and CapsLock, so those locks
// do not break it; presses arrive through a native event filter.

#include "platform/global_hotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QMap>

class X11GlobalHotkeys : public GlobalHotkeys, public QAbstractNativeEventFilter
{
public:
    X11GlobalHotkeys();
    ~X11GlobalHotkeys() override;
    int bind(const QKeySequence& keys, std::function<void()> pressed) override;
    void release(int id) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;

private:
    struct Binding
    {
        unsigned keycode;
        unsigned modifiers;
        std::function<void()> pressed;
    };
    void ungrab(const Binding& b);
    bool m_filterInstalled = false;
    int m_nextId = 1;
    QMap<int, Binding> m_bindings;
};

// The X keysym and modifier mask of a Qt key combination; false for a key
// that has no keysym here.
bool x11KeyOf(int qtKeyWithModifiers, unsigned long* keysym, unsigned* modifiers);
