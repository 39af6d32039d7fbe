#pragma once
// The system's own pointer settings.

class MouseSettings
{
public:
    virtual ~MouseSettings() = default;

    virtual bool setPointerSpeed(int speed) = 0;          // 1..20
    virtual bool setWheelScrollLines(int lines) = 0;
    virtual bool setDoubleClickTime(int milliseconds) = 0;
};
