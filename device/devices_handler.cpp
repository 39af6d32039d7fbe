#include "device/devices_handler.h"

#include "device/device_callbacks.h"

#include <QCoreApplication>
#include <QPointer>

#include <cstring>

namespace {

QPointer<devices_handler> currentHandler;

// Variables that hold the callbacks: the library takes the callbacks by the
// address of such a variable.
const DeviceEventCallback eventCallbackHolder = &deviceEventCallback;
const DeviceDataCallback dataCallbackHolder = &deviceDataCallback;

template <typename Fn>
void resolve(QLibrary& library, Fn& entry, const char* name)
{
    entry = reinterpret_cast<Fn>(library.resolve(name));
}

}  // namespace

devices_handler::devices_handler(QObject* parent, const QString& libraryPath)
    : QObject(parent)
{
    currentHandler = this;
    library.setFileName(libraryPath.isEmpty()
                            ? QCoreApplication::applicationDirPath() + QStringLiteral("/libhx.so")
                            : libraryPath);
    if (!library.load())
        return;
    resolve(library, hxDeviceExist, "hxDeviceExist");
    resolve(library, hxDevices, "hxDevices");
    resolve(library, hxOnDeviceEvent, "hxOnDeviceEvent");
    resolve(library, hxonDeviceData, "hxonDeviceData");
    resolve(library, hxAsk, "hxAsk");
    resolve(library, hxReset, "hxReset");
    resolve(library, hxNotify, "hxNotify");
    resolve(library, hxRead, "hxRead");
    resolve(library, hxWrite, "hxWrite");
    resolve(library, hxReadProp, "hxReadProp");
    resolve(library, hxWriteProp, "hxWriteProp");
    resolve(library, hxScriptOut, "hxScriptOut");
    resolve(library, hxIDWrite, "hxIDWrite");
    resolve(library, hxRebootRom, "hxRebootRom");
    resolve(library, hxFinishUpdateRom, "hxFinishUpdateRom");
    resolve(library, hxCheckRom, "hxCheckRom");
    resolve(library, hxBornRom, "hxBornRom");
    resolve(library, hxEraseRom, "hxEraseRom");
    device_callbacks::open();
    if (hxOnDeviceEvent)
        hxOnDeviceEvent(&eventCallbackHolder);
}

devices_handler::~devices_handler()
{
    // The library keeps the callbacks and stays loaded; from here on they
    // return at once.
    if (currentHandler == this) {
        device_callbacks::close();
        device_callbacks::setRefresh(nullptr);
    }
}

devices_handler* devices_handler::current()
{
    return currentHandler.data();
}

DeviceListBlock devices_handler::listDevices()
{
    DeviceListBlock block;
    if (!hxDevices)
        return block;
    hxDevices(mouseFilter(), block.bytes.data(), kDeviceListBlockSize);
    if (block.count() > 0 && hxonDeviceData) {
        const DeviceInfo first = block.record(0);
        const std::u16string id = libraryText(first.hardwareId);
        const std::u16string path = libraryText(first.devicePath);
        hxonDeviceData(id.c_str(), path.c_str(), kDeviceContext, &dataCallbackHolder);
    }
    return block;
}

bool devices_handler::notify(const QString& id, int type, int data)
{
    const std::u16string hid = libraryText(id);
    const uint32_t value = uint32_t(type & 0xff) | (uint32_t(data & 0xff) << 8);
    uint8_t scratch = 0;
    return hxNotify(hid.c_str(), u"", kDeviceContext, value, &scratch, 0) == 0;
}

uint8_t* devices_handler::read(uint8_t* buffer, const QString& id, int size, int address)
{
    const std::u16string hid = libraryText(id);
    hxRead(hid.c_str(), u"", kDeviceContext, buffer, size, address);
    return buffer;
}

bool devices_handler::write(const QString& id, const uint8_t* data, int size, int address)
{
    const std::u16string hid = libraryText(id);
    return hxWrite(hid.c_str(), u"", kDeviceContext, data, size, address) == 0;
}

void setDeviceListRefresh(std::function<void()> refresh)
{
    device_callbacks::setRefresh(std::move(refresh));
}
