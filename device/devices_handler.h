#pragma once
// The device library binding: loads the maker's library from the program
// folder and turns its callbacks into page events.

#include "device/device_record.h"

#include <QMap>
#include <QObject>

class devices_handler : public QObject
{
    Q_OBJECT
public:
    explicit devices_handler(QObject* parent = nullptr);

    // The devices attached now, by device identifier.
    QMap<QString, DeviceRecord> listDevices();
};
