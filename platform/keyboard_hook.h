#pragma once
// A system-wide, non-intercepting view of key presses and releases, used to
// record keyboard macros. Keys always go on to the focused program.

#include <functional>

struct KeyEvent
{
    int virtualKey = 0;  // the key as a Windows virtual-key code
    bool extended = false;
    bool pressed = false;  // false: released
};

class KeyboardHook
{
public:
    using Handler = std::function<void(const KeyEvent&)>;
    virtual ~KeyboardHook() = default;

    // Starts delivering key events to `handler` on the main thread; a second
    // start replaces the first. Returns false when the system offers no hook.
    virtual bool start(Handler handler) = 0;
    virtual void stop() = 0;
};
