#pragma once
// The call shapes of the device library's exports. Texts are NUL-terminated
// UTF-16; a result of 0 means success.

#include "device/device_blocks.h"

#include <cstdint>

extern "C" {
// A notification whose low 16 bits are the notification code.
typedef bool (*DeviceEventCallback)(uint32_t notification);
// The address of a variable holding the address of an 8-byte data report,
// and a value the client does not use.
typedef bool (*DeviceDataCallback)(const uint8_t* const* report, intptr_t unused);

typedef int (*HxDevicesFn)(DeviceFilter filter, void* block, int size);
typedef int (*HxOnDeviceEventFn)(const DeviceEventCallback* holder);
typedef int (*HxOnDeviceDataFn)(const char16_t* id, const char16_t* path, int context,
                                const DeviceDataCallback* holder);
typedef int (*HxReadFn)(const char16_t* id, const char16_t* path, int context,
                        uint8_t* buffer, int size, int where);
typedef int (*HxWriteFn)(const char16_t* id, const char16_t* path, int context,
                         const uint8_t* data, int size, int where);
typedef int (*HxNotifyFn)(const char16_t* id, const char16_t* path, int context,
                          uint32_t value, uint8_t* scratch, int reserved);
// Entries held for firmware updates and diagnostics; never called.
typedef int (*HxHeldFn)();
}
