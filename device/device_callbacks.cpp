#include "device/device_callbacks.h"

#include "browser/client_handler.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

// Guards everything below. Held for the whole of a callback, which is what
// lets close() wait for one in progress.
QMutex& gateLock()
{
    static QMutex lock;
    return lock;
}
bool gateOpen = false;
// Only the first of every five notifications reaches the page.
int eventCounter = 0;
std::function<void()> refreshTable;

}  // namespace

namespace device_callbacks {

void open()
{
    QMutexLocker lock(&gateLock());
    gateOpen = true;
}

void close()
{
    QMutexLocker lock(&gateLock());
    gateOpen = false;
}

void setRefresh(std::function<void()> refresh)
{
    QMutexLocker lock(&gateLock());
    refreshTable = std::move(refresh);
}

QString reportText(const uint8_t* report)
{
    static const char digits[] = "0123456789abcdef";
    QString hex;
    hex.reserve(16);
    for (int i = 0; i < 8; ++i) {
        hex.append(QLatin1Char(digits[report[i] >> 4]));
        hex.append(QLatin1Char(digits[report[i] & 0xf]));
    }
    return hex;
}

}  // namespace device_callbacks

bool deviceEventCallback(uint32_t notification)
{
    QMutexLocker lock(&gateLock());
    if (!gateOpen)
        return true;
    if (eventCounter == 0) {
        if (refreshTable)
            refreshTable();
        if (g_clientHandler)
            g_clientHandler->devicesChanged(int(notification & 0xffff));
    }
    eventCounter = eventCounter + 1 == 5 ? 0 : eventCounter + 1;
    return true;
}

bool deviceDataCallback(const uint8_t* const* report, intptr_t)
{
    if (!report || !*report)
        return true;
    const QString hex = device_callbacks::reportText(*report);
    QMutexLocker lock(&gateLock());
    if (gateOpen && g_clientHandler)
        g_clientHandler->onDeviceData(hex);
    return true;
}
