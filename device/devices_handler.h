#pragma once
// The one way to the device library: loads it from the program folder,
// resolves its entries by name (a missing library or export leaves the
// entry null, and callers skip it), hands over the notification callback
// and offers the small wrappers the device commands use.

#include "device/device_blocks.h"
#include "device/device_library.h"

#include <QLibrary>
#include <QObject>

#include <functional>

class devices_handler : public QObject
{
    Q_OBJECT
public:
    // The library is "libhx.so" in the program folder, unless a path is given.
    explicit devices_handler(QObject* parent = nullptr, const QString& libraryPath = QString());
    ~devices_handler() override;

    // The handler the device commands use: the last one created and still alive.
    static devices_handler* current();

    // A zero-filled block filled by the library; arms data reports for the
    // first listed device.
    DeviceListBlock listDevices();
    bool notify(const QString& id, int type, int data);
    uint8_t* read(uint8_t* buffer, const QString& id, int size, int address);
    bool write(const QString& id, const uint8_t* data, int size, int address);

    bool isLoaded() const { return library.isLoaded(); }

    HxHeldFn hxDeviceExist = nullptr;
    HxDevicesFn hxDevices = nullptr;
    HxOnDeviceEventFn hxOnDeviceEvent = nullptr;
    HxOnDeviceDataFn hxonDeviceData = nullptr;
    HxHeldFn hxAsk = nullptr;
    HxHeldFn hxReset = nullptr;
    HxNotifyFn hxNotify = nullptr;
    HxReadFn hxRead = nullptr;
    HxWriteFn hxWrite = nullptr;
    HxReadFn hxReadProp = nullptr;
    HxWriteFn hxWriteProp = nullptr;
    HxHeldFn hxScriptOut = nullptr;
    HxHeldFn hxIDWrite = nullptr;
    HxHeldFn hxRebootRom = nullptr;
    HxHeldFn hxFinishUpdateRom = nullptr;
    HxHeldFn hxCheckRom = nullptr;
    HxHeldFn hxBornRom = nullptr;
    HxHeldFn hxEraseRom = nullptr;

signals:
    void deviceChanged();

private:
    QLibrary library;
};

// What a device notification does before it reaches the page: the owner of
// the device table rebuilds it here. Runs on the library's thread.
void setDeviceListRefresh(std::function<void()> refresh);
