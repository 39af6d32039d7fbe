#pragma once
// The blocks the device library fills, in the library's byte layout, and the
// texts the client reads out of them.

#include <QString>

#include <array>
#include <cstdint>

// The list filter: twenty little-endian 32-bit words, passed by value.
struct DeviceFilter
{
    uint32_t words[20];
};
static_assert(sizeof(DeviceFilter) == 80, "the library expects 80 bytes");

// The filter every listing uses.
DeviceFilter mouseFilter();

constexpr int kDeviceListBlockSize = 42102;
constexpr int kDeviceRecordSize = 2105;
constexpr int kMaxDeviceRecords = 20;
// The context argument of every library call that names a device.
constexpr int kDeviceContext = 0x1016;

// The six texts of one device record.
struct DeviceInfo
{
    QString deviceId;
    QString version;
    QString sn;
    QString mask;
    QString devicePath;
    QString hardwareId;

    bool operator==(const DeviceInfo& o) const
    {
        return deviceId == o.deviceId && version == o.version && sn == o.sn && mask == o.mask
               && devicePath == o.devicePath && hardwareId == o.hardwareId;
    }
};

// The list block: a 16-bit record count, then 20 records of 2,105 bytes.
struct DeviceListBlock
{
    std::array<uint8_t, kDeviceListBlockSize> bytes{};

    // How many records the block holds: the count the library wrote, but
    // never more than the 20 that fit.
    int count() const;
    DeviceInfo record(int index) const;
};

// The NUL-terminated UTF-16 form the library takes a text in.
std::u16string libraryText(const QString& text);
