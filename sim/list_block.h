#pragma once
// Writes device records into the caller's list block in the layout the
// client reads: a 16-bit count, then records of 2,105 bytes.

#include "sim/sim_config.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hxsim {

constexpr int kRecordSize = 2105;
constexpr int kListHeaderSize = 2;

// The count field says how many devices there are, even when fewer records
// fit into `size` bytes; only whole records are written.
void writeListBlock(const std::vector<DeviceIdentity>& devices, uint8_t* block, int size);

std::u16string utf16FromUtf8(const std::string& s);
std::string utf8FromUtf16(const char16_t* s);

}  // namespace hxsim
