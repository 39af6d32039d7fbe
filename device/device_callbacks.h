#pragma once
// The two functions the device library calls back, on a thread of its own.
// They reach only process-wide objects, and only while a handler is alive:
// the gate below closes before the handler goes, and waits for a callback
// that is running, so a late callback never touches a destroyed object.

#include "device/device_library.h"

#include <QString>

#include <functional>

bool deviceEventCallback(uint32_t notification);
bool deviceDataCallback(const uint8_t* const* report, intptr_t unused);

namespace device_callbacks {
void open();
void close();
void setRefresh(std::function<void()> refresh);
// The 8 bytes of a report as 16 lowercase hexadecimal digits.
QString reportText(const uint8_t* report);
}  // namespace device_callbacks
