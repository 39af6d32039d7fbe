#pragma once
// Pointer settings on a Linux desktop. Wheel lines and double-click time are
// applied to the running application; pointer speed needs the X server's
// pointer control, which comes with the system-settings work.

#include "platform/mouse_settings.h"

class DesktopMouseSettings : public MouseSettings
{
public:
    bool setPointerSpeed(int speed) override;
    bool setWheelScrollLines(int lines) override;
    bool setDoubleClickTime(int milliseconds) override;
};
