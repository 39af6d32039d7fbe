#include "device/device_table.h"

#include "device/devices_handler.h"

#include <QMutexLocker>

void DeviceTable::refresh(devices_handler& handler)
{
    QMutexLocker serial(&m_refreshLock);
    rebuild(handler.listDevices());
}

void DeviceTable::rebuild(const DeviceListBlock& block)
{
    QMap<QString, DeviceInfo> next;
    QStringList listed;
    for (int i = 0; i < block.count(); ++i) {
        const DeviceInfo d = block.record(i);
        next.insert(d.deviceId, d);  // a later record with the same ID wins
        listed.append(d.deviceId);
    }
    QMutexLocker lock(&m_lock);
    m_entries.swap(next);
    for (const QString& id : listed)
        ++m_counts[id];
}

QMap<QString, DeviceInfo> DeviceTable::entries() const
{
    QMutexLocker lock(&m_lock);
    return m_entries;
}

QMap<QString, int> DeviceTable::counts() const
{
    QMutexLocker lock(&m_lock);
    return m_counts;
}
