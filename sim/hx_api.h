#pragma once
// The entry points of the simulated mouse library, with the call shapes the
// client resolves by name. Texts are NUL-terminated UTF-16; results are 0 on
// success.

#include <cstdint>

extern "C" {

// The list filter: twenty 32-bit words, passed by value.
struct HxDeviceFilter
{
    uint32_t words[20];
};

typedef bool (*HxDeviceEventCallback)(uint32_t notification);
typedef bool (*HxDeviceDataCallback)(const uint8_t* const* report, intptr_t unused);

#define HX_EXPORT __attribute__((visibility("default")))

HX_EXPORT int hxDevices(HxDeviceFilter filter, uint8_t* block, int size);
HX_EXPORT int hxOnDeviceEvent(const HxDeviceEventCallback* holder);
HX_EXPORT int hxonDeviceData(const char16_t* id, const char16_t* path, int context,
                             const HxDeviceDataCallback* holder);
HX_EXPORT int hxReadProp(const char16_t* id, const char16_t* path, int context,
                         uint8_t* buffer, int size, int propertyId);
HX_EXPORT int hxWriteProp(const char16_t* id, const char16_t* path, int context,
                          const uint8_t* data, int size, int propertyId);
HX_EXPORT int hxRead(const char16_t* id, const char16_t* path, int context,
                     uint8_t* buffer, int size, int address);
HX_EXPORT int hxWrite(const char16_t* id, const char16_t* path, int context,
                      const uint8_t* data, int size, int address);
HX_EXPORT int hxNotify(const char16_t* id, const char16_t* path, int context,
                       uint32_t value, uint8_t* scratch, int reserved);

// Firmware and diagnostics entries. They exist so a client finds every name;
// the simulated mouse has no firmware to update and answers "not supported".
HX_EXPORT int hxDeviceExist(const char16_t* id, const char16_t* path, int context);
HX_EXPORT int hxAsk(const char16_t* id, const char16_t* path, int context);
HX_EXPORT int hxReset(const char16_t* id, const char16_t* path, int context);
HX_EXPORT int hxScriptOut(const char16_t* id, const char16_t* path, int context);
HX_EXPORT int hxIDWrite(const char16_t* id, const char16_t* path, int context);
HX_EXPORT int hxRebootRom(const char16_t* id, const char16_t* path, int context);
HX_EXPORT int hxFinishUpdateRom(const char16_t* id, const char16_t* path, int context);
HX_EXPORT int hxCheckRom(const char16_t* id, const char16_t* path, int context);
HX_EXPORT int hxBornRom(const char16_t* id, const char16_t* path, int context);
HX_EXPORT int hxEraseRom(const char16_t* id, const char16_t* path, int context);
}
