#pragma once
// One attached device as the device table holds it.

#include <QString>

struct DeviceRecord
{
    QString deviceId;
};
