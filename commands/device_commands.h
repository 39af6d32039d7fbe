#pragma once
// The device commands: the page lists the mice and reads and writes their
// properties and memory through the device library. Every call blocks the
// main thread until the library returns; an entry the library lacks is
// skipped and answered as if the device had nothing to say.

#include "commands/command_family.h"
#include "device/device_blocks.h"

#include <functional>

class devices_handler;

class DeviceCommands : public CommandFamily
{
public:
    void run(const QString& funcname, const QVariantMap& params,
             const CallbackPtr& callback) override;

private:
    void getDevicesList(devices_handler* h, const CallbackPtr& cb);
    void readDevicesProp(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb);
    void writeDevicesProp(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb);
    void readByAddr(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb);
    void writeByAddr(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb);
    void notifyDevice(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb);
    void isPropEmpty(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb);
    void cleanMacroByAddr(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb);
    void writeMacroByAddr(devices_handler* h, const QVariantMap& p, const CallbackPtr& cb);
};

// The configuration text the product entries are looked up in. By default
// the application object's; tests without one give their own.
void setProductConfSource(std::function<QString()> source);

// The page's record of every listed device, as compact JSON; a null text
// when the configuration text does not parse (only looked at when there
// is at least one device).
QString deviceListJson(const DeviceListBlock& block, const QString& confText);
