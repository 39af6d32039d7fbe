#include "device/device_blocks.h"

namespace {

constexpr int kListHeaderSize = 2;

// An 8-bit text ends at the first NUL or at the end of its field.
QString text8(const uint8_t* field, int width)
{
    int n = 0;
    while (n < width && field[n])
        ++n;
    return QString::fromUtf8(reinterpret_cast<const char*>(field), n);
}

// A UTF-16LE text ends at the first NUL or at the end of its field, even
// when a device leaves the terminator out.
QString text16(const uint8_t* field, int widthBytes)
{
    QString s;
    for (int i = 0; i + 1 < widthBytes; i += 2) {
        const char16_t c = char16_t(field[i] | (field[i + 1] << 8));
        if (c == 0)
            break;
        s.append(QChar(c));
    }
    return s;
}

}  // namespace

DeviceFilter mouseFilter()
{
    DeviceFilter filter{};
    filter.words[0] = 0xFFA00001;
    filter.words[1] = 0xFFAA0001;
    return filter;
}

int DeviceListBlock::count() const
{
    const int n = bytes[0] | (bytes[1] << 8);
    return n < kMaxDeviceRecords ? n : kMaxDeviceRecords;
}

DeviceInfo DeviceListBlock::record(int index) const
{
    const uint8_t* r = bytes.data() + kListHeaderSize + index * kDeviceRecordSize;
    DeviceInfo d;
    d.deviceId = text8(r + 0, 40);
    d.version = text8(r + 40, 17);
    d.sn = text8(r + 57, 14);
    d.mask = text8(r + 71, 2);
    d.devicePath = text16(r + 1085, 510);
    d.hardwareId = text16(r + 1595, 510);
    return d;
}

std::u16string libraryText(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
}
