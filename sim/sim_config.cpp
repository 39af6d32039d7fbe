#include "sim/sim_config.h"

#include <fstream>
#include <sstream>

namespace hxsim {
namespace {

std::string trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    const size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> splitFields(const std::string& s)
{
    std::vector<std::string> fields;
    std::stringstream in(s);
    std::string item;
    while (std::getline(in, item, ','))
        fields.push_back(trim(item));
    return fields;
}

}  // namespace

DeviceIdentity defaultMouse(int index)
{
    const std::string n = std::to_string(index);
    DeviceIdentity d;
    d.deviceId = "HX-M1";
    d.version = "1.2.0";
    d.sn = "SN000000000" + n;
    d.mask = "01";
    d.hardwareId = "HX\\VID_F0D1&PID_0001&MI_01\\" + n;
    d.devicePath = "/dev/hidraw-hx" + n;
    return d;
}

SimConfig readSimConfig(const std::string& path)
{
    SimConfig config;
    std::ifstream in(path);
    if (!in) {
        config.devices.push_back(defaultMouse());
        return config;
    }
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = trim(line.substr(0, eq));
        const std::string value = trim(line.substr(eq + 1));
        if (key == "device") {
            // DeviceID, Version, SN, MASK, HardwareID [, DevicePath]
            const std::vector<std::string> f = splitFields(value);
            if (f.size() < 5 || f[4].empty())
                continue;
            DeviceIdentity d{f[0], f[1], f[2], f[3], f[4], f.size() > 5 ? f[5] : std::string()};
            config.devices.push_back(d);
        } else if (key == "seed") {
            config.seed = unsigned(std::strtoul(value.c_str(), nullptr, 10));
        } else if (key == "report_interval_ms") {
            config.reportIntervalMs = std::max(0, std::atoi(value.c_str()));
        }
    }
    return config;
}

}  // namespace hxsim
