#include "sim/mouse_model.h"

#include <algorithm>
#include <cstring>

namespace hxsim {
namespace {

struct DpiStage
{
    int dpi;
    uint8_t r, g, b;
};

std::vector<uint8_t> dpiStages(const std::vector<DpiStage>& stages, int active)
{
    std::vector<uint8_t> p(2 + kMaxDpiStages * 5, 0);
    p[0] = uint8_t(stages.size());
    p[1] = uint8_t(active);
    for (size_t i = 0; i < stages.size(); ++i) {
        uint8_t* s = &p[2 + i * 5];
        s[0] = uint8_t(stages[i].dpi & 0xff);
        s[1] = uint8_t(stages[i].dpi >> 8);
        s[2] = stages[i].r;
        s[3] = stages[i].g;
        s[4] = stages[i].b;
    }
    return p;
}

// A write is checked on the property as it would be after the write, so a
// partial write cannot leave an invalid setting behind.
bool validProperty(int id, const std::vector<uint8_t>& p)
{
    switch (id) {
    case kPropActiveMode:
        return p[0] < kModeCount;
    case kPropDpiStages: {
        const int count = p[0];
        if (count < 1 || count > kMaxDpiStages || p[1] >= count)
            return false;
        for (int i = 0; i < count; ++i) {
            const int dpi = p[2 + i * 5] | (p[3 + i * 5] << 8);
            if (dpi < 100 || dpi > 26000 || dpi % 50 != 0)
                return false;
        }
        return true;
    }
    case kPropReportRate:
        return p[0] >= 1 && p[0] <= 4;
    case kPropLiftOff:
        return p[0] == 1 || p[0] == 2;
    case kPropButtonMap:
        for (int i = 0; i < kButtonCount; ++i)
            if (p[i * 4] > 5)
                return false;
        return true;
    default:
        return true;
    }
}

bool transferSizeOk(int size)
{
    return size >= 0 && size <= kMaxTransfer;
}

}  // namespace

int propertySize(int id)
{
    switch (id) {
    case kPropFirmwareInfo: return 8;
    case kPropActiveMode: return 1;
    case kPropDpiStages: return 2 + kMaxDpiStages * 5;
    case kPropReportRate: return 1;
    case kPropLiftOff: return 1;
    case kPropButtonMap: return kButtonCount * 4;
    default: return 0;
    }
}

Mouse factoryMouse(const DeviceIdentity& identity)
{
    Mouse m;
    m.identity = identity;
    // version 1.2.0, 8 buttons, 8 DPI stages, 26000 DPI at most (in hundreds)
    m.properties[kPropFirmwareInfo] = {1, 2, 0, kButtonCount, kMaxDpiStages, 0x04, 0x01, 0};
    m.properties[kPropActiveMode] = {0};
    m.properties[kPropDpiStages] = dpiStages(
        {{800, 0xff, 0x00, 0x00}, {1600, 0x00, 0xff, 0x00}, {3200, 0x00, 0x00, 0xff},
         {6400, 0xff, 0xff, 0x00}},
        1);
    m.properties[kPropReportRate] = {4};
    m.properties[kPropLiftOff] = {1};
    // left, right, middle, back, forward, DPI up, DPI down, next mode
    m.properties[kPropButtonMap] = {1, 1, 0, 0, 1, 2, 0, 0, 1, 3, 0, 0, 1, 4, 0, 0,
                                    1, 5, 0, 0, 3, 1, 0, 0, 3, 2, 0, 0, 4, 0xff, 0, 0};
    return m;
}

int readProperty(const Mouse& m, int id, uint8_t* buffer, int size)
{
    const int limit = propertySize(id);
    if (limit == 0)
        return kNoSuchProperty;
    if (!transferSizeOk(size) || size > limit)
        return kBadSize;
    const auto it = m.properties.find(id);
    if (size > 0)
        std::memcpy(buffer, it->second.data(), size_t(size));
    return kOk;
}

int writeProperty(Mouse& m, int id, const uint8_t* data, int size)
{
    const int limit = propertySize(id);
    if (limit == 0)
        return kNoSuchProperty;
    if (id == kPropFirmwareInfo)
        return kReadOnly;
    if (!transferSizeOk(size) || size > limit || size == 0)
        return kBadSize;
    std::vector<uint8_t> next = m.properties[id];
    std::copy(data, data + size, next.begin());
    if (!validProperty(id, next))
        return kBadValue;
    m.properties[id] = next;
    return kOk;
}

int readMemory(const Mouse& m, int address, uint8_t* buffer, int size)
{
    if (!transferSizeOk(size))
        return kBadSize;
    if (address < 0 || address > kMemorySize - size)
        return kBadAddress;
    if (size > 0)
        std::memcpy(buffer, m.memory.data() + address, size_t(size));
    return kOk;
}

int writeMemory(Mouse& m, int address, const uint8_t* data, int size)
{
    if (!transferSizeOk(size))
        return kBadSize;
    if (address < 0 || address > kMemorySize - size)
        return kBadAddress;
    if (size > 0)
        std::memcpy(m.memory.data() + address, data, size_t(size));
    return kOk;
}

int notify(Mouse& m, uint8_t type, uint8_t data)
{
    if (type == 1 && data >= kModeCount)
        return kBadValue;
    if (type == 1)
        m.properties[kPropActiveMode] = {data};
    m.lastNotifyType = type;
    m.lastNotifyData = data;
    ++m.notifyCount;
    return kOk;
}

}  // namespace hxsim
