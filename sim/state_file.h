#pragma once
// The mice's flash: every property and the whole memory of each mouse ever
// seen, by hardware ID, kept in one file beside the library. Written whole to
// a temporary file and renamed over the old one, so a crash in the middle
// leaves the previous state.

#include "sim/mouse_model.h"

#include <map>
#include <string>

namespace hxsim {

struct StoredMouse
{
    std::map<int, std::vector<uint8_t>> properties;
    std::vector<uint8_t> memory;
};

using StoredState = std::map<std::string, StoredMouse>;

// A missing or damaged file gives an empty state.
StoredState loadState(const std::string& path);
bool saveState(const std::string& path, const StoredState& state);

}  // namespace hxsim
