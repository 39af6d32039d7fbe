#pragma once
// Window activation on an X11 desktop: the window manager's client list
// (EWMH), or the root window's children when no window manager runs.

#include "platform/window_activation.h"

class X11WindowActivation : public WindowActivation
{
public:
    bool activateProcessWindow(qint64 pid, const QRegularExpression& title) override;
};
