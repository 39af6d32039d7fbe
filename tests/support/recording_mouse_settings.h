#pragma once
// A stand-in for the system's mouse settings that accepts everything and
// remembers the double-click times it was given.

#include "platform/mouse_settings.h"

#include <QList>

class RecordingMouseSettings : public MouseSettings
{
public:
    QList<int> doubleClickTimes;
    bool setPointerSpeed(int) override { return true; }
    bool setWheelScrollLines(int) override { return true; }
    bool setDoubleClickTime(int ms) override
    {
        doubleClickTimes.append(ms);
        return true;
    }
};
