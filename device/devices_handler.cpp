#include "device/devices_handler.h"

devices_handler::devices_handler(QObject* parent)
    : QObject(parent)
{
}

QMap<QString, DeviceRecord> devices_handler::listDevices()
{
    // Without the device library there is nothing attached.
    return {};
}
