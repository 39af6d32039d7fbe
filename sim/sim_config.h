#pragma once
// What the simulated library pretends is plugged in, read from "libhx.conf"
// beside the library. Without the file one mouse is attached.

#include <string>
#include <vector>

namespace hxsim {

struct DeviceIdentity
{
    std::string deviceId;
    std::string version;
    std::string sn;
    std::string mask;
    std::string hardwareId;
    std::string devicePath;
};

struct SimConfig
{
    std::vector<DeviceIdentity> devices;
    unsigned seed = 1;
    int reportIntervalMs = 0;  // 0: no periodic data reports
};

DeviceIdentity defaultMouse(int index = 0);
// Reads the file; a missing file gives the default configuration. Lines
// that cannot be read are skipped.
SimConfig readSimConfig(const std::string& path);

}  // namespace hxsim
