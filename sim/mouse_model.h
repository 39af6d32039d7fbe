#pragma once
// One simulated mouse: its onboard property store and its 64 KiB memory,
// with the checks a real device makes before it accepts a request.

#include "sim/sim_config.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace hxsim {

// Property identifiers and the size of each property in bytes.
enum PropertyId : int {
    kPropFirmwareInfo = 0x01,  // read-only
    kPropActiveMode = 0x02,
    kPropDpiStages = 0x10,
    kPropReportRate = 0x11,
    kPropLiftOff = 0x12,
    kPropButtonMap = 0x13,
};

constexpr int kMemorySize = 0x10000;
constexpr int kMaxTransfer = 2048;
constexpr int kModeCount = 5;
constexpr int kButtonCount = 8;
constexpr int kMaxDpiStages = 8;

// Result codes: 0 is success, as the client expects.
enum Status : int {
    kOk = 0,
    kNoSuchDevice = 1,
    kBadSize = 2,
    kBadAddress = 3,
    kNoSuchProperty = 4,
    kReadOnly = 5,
    kBadValue = 6,
};

struct Mouse
{
    DeviceIdentity identity;
    bool plugged = true;
    std::map<int, std::vector<uint8_t>> properties;
    std::vector<uint8_t> memory = std::vector<uint8_t>(kMemorySize, 0);
    uint8_t lastNotifyType = 0, lastNotifyData = 0;
    unsigned notifyCount = 0;
};

// A mouse straight from the factory.
Mouse factoryMouse(const DeviceIdentity& identity);
// The size of a property, or 0 for an unknown identifier.
int propertySize(int id);

int readProperty(const Mouse& m, int id, uint8_t* buffer, int size);
int writeProperty(Mouse& m, int id, const uint8_t* data, int size);
int readMemory(const Mouse& m, int address, uint8_t* buffer, int size);
int writeMemory(Mouse& m, int address, const uint8_t* data, int size);
// Notification types: 1 switches the active mode to `data`, 2 blinks the
// LED `data` times; any other type is only recorded.
int notify(Mouse& m, uint8_t type, uint8_t data);

}  // namespace hxsim
