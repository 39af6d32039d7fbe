// The exported entry points: each checks the caller's arguments the way the
// device would and hands over to the one simulator.

#include "sim/hx_api.h"
#include "sim/list_block.h"
#include "sim/simulator.h"

using hxsim::Simulator;

namespace {

// Requests are only accepted in the transfer context the client uses.
constexpr int kContext = 0x1016;
constexpr int kNotSupported = 0x7f;

bool contextOk(int context)
{
    return context == kContext;
}

}  // namespace

extern "C" {

int hxDevices(HxDeviceFilter filter, uint8_t* block, int size)
{
    return Simulator::instance().listDevices(filter, block, size);
}

int hxOnDeviceEvent(const HxDeviceEventCallback* holder)
{
    Simulator::instance().setEventCallback(holder ? *holder : nullptr);
    return 0;
}

#ifndef HX_WITHOUT_DEVICE_DATA
int hxonDeviceData(const char16_t* id, const char16_t*, int context, const HxDeviceDataCallback* holder)
{
    if (!contextOk(context) || !holder)
        return hxsim::kBadValue;
    return Simulator::instance().armDataCallback(hxsim::utf8FromUtf16(id), *holder);
}
#endif

int hxReadProp(const char16_t* id, const char16_t*, int context, uint8_t* buffer, int size, int property)
{
    if (!contextOk(context) || !buffer)
        return hxsim::kBadValue;
    return Simulator::instance().readProperty(hxsim::utf8FromUtf16(id), buffer, size, property);
}

int hxWriteProp(const char16_t* id, const char16_t*, int context, const uint8_t* data, int size, int property)
{
    if (!contextOk(context) || !data)
        return hxsim::kBadValue;
    return Simulator::instance().writeProperty(hxsim::utf8FromUtf16(id), data, size, property);
}

int hxRead(const char16_t* id, const char16_t*, int context, uint8_t* buffer, int size, int address)
{
    if (!contextOk(context) || !buffer)
        return hxsim::kBadValue;
    return Simulator::instance().read(hxsim::utf8FromUtf16(id), buffer, size, address);
}

int hxWrite(const char16_t* id, const char16_t*, int context, const uint8_t* data, int size, int address)
{
    if (!contextOk(context) || !data)
        return hxsim::kBadValue;
    return Simulator::instance().write(hxsim::utf8FromUtf16(id), data, size, address);
}

int hxNotify(const char16_t* id, const char16_t*, int context, uint32_t value, uint8_t* scratch, int)
{
    if (!contextOk(context))
        return hxsim::kBadValue;
    return Simulator::instance().notify(hxsim::utf8FromUtf16(id), value, scratch);
}

int hxDeviceExist(const char16_t*, const char16_t*, int) { return kNotSupported; }
int hxAsk(const char16_t*, const char16_t*, int) { return kNotSupported; }
int hxReset(const char16_t*, const char16_t*, int) { return kNotSupported; }
int hxScriptOut(const char16_t*, const char16_t*, int) { return kNotSupported; }
int hxIDWrite(const char16_t*, const char16_t*, int) { return kNotSupported; }
int hxRebootRom(const char16_t*, const char16_t*, int) { return kNotSupported; }
int hxFinishUpdateRom(const char16_t*, const char16_t*, int) { return kNotSupported; }
int hxCheckRom(const char16_t*, const char16_t*, int) { return kNotSupported; }
int hxBornRom(const char16_t*, const char16_t*, int) { return kNotSupported; }
int hxEraseRom(const char16_t*, const char16_t*, int) { return kNotSupported; }
}
