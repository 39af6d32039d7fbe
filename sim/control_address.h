#pragma once
// Where a simulated library listens for control commands: an abstract Unix
// socket whose name is derived from the folder the library lives in, so two
// program folders on one machine never share a mouse.

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace hxsim {

inline std::string controlSocketName(const std::string& folder)
{
    char resolved[PATH_MAX];
    const std::string path = realpath(folder.c_str(), resolved) ? std::string(resolved) : folder;
    uint64_t hash = 1469598103934665603ull;  // FNV-1a, 64 bits
    for (unsigned char c : path) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    static const char digits[] = "0123456789abcdef";
    std::string name = "tesk-libhx-";
    for (int shift = 60; shift >= 0; shift -= 4)
        name += digits[(hash >> shift) & 0xf];
    return name;
}

}  // namespace hxsim
