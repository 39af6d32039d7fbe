#pragma once
// Key presses and releases of the whole X display, seen through the RECORD
// extension on a connection and thread of their own. Recording only
// watches: every key still reaches the focused program.

#include "platform/keyboard_hook.h"

#include <atomic>
#include <memory>
#include <thread>

class X11KeyboardHook : public KeyboardHook
{
public:
    ~X11KeyboardHook() override;
    bool start(Handler handler) override;
    void stop() override;

private:
    void run(void* dataDisplay, unsigned long context);

    std::thread m_thread;
    int m_stopPipe[2] = {-1, -1};
    std::shared_ptr<Handler> m_handler;
};
