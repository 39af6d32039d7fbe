#pragma once
// The attached devices by device ID, and how often each ID has been listed
// since start. A device notification rebuilds the table on the library's
// thread while the main thread may read it, so a rebuild is made aside and
// swapped in whole under the lock: a reader sees the old or the new table,
// never a half-built one.

#include "device/device_blocks.h"

#include <QMap>
#include <QMutex>

class devices_handler;

class DeviceTable
{
public:
    // Lists the devices and replaces the table. Two rebuilds never overlap,
    // so the table always ends as the later listing says.
    void refresh(devices_handler& handler);
    void rebuild(const DeviceListBlock& block);

    QMap<QString, DeviceInfo> entries() const;
    QMap<QString, int> counts() const;

private:
    mutable QMutex m_lock;
    QMutex m_refreshLock;
    QMap<QString, DeviceInfo> m_entries;
    QMap<QString, int> m_counts;  // never cleared
};
