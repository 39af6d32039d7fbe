#include "sim/list_block.h"

#include <algorithm>
#include <cstring>

namespace hxsim {
namespace {

void put8bit(uint8_t* field, size_t width, const std::string& text)
{
    std::memcpy(field, text.data(), std::min(width, text.size()));
}

// At most 254 characters and always a terminator, as the record promises.
void put16bit(uint8_t* field, const std::string& text)
{
    const std::u16string s = utf16FromUtf8(text);
    const size_t n = std::min<size_t>(s.size(), 254);
    for (size_t i = 0; i < n; ++i) {
        field[2 * i] = uint8_t(s[i] & 0xff);
        field[2 * i + 1] = uint8_t(s[i] >> 8);
    }
    field[2 * n] = field[2 * n + 1] = 0;
}

}  // namespace

void writeListBlock(const std::vector<DeviceIdentity>& devices, uint8_t* block, int size)
{
    if (size < kListHeaderSize)
        return;
    const size_t count = std::min<size_t>(devices.size(), 0xffff);
    block[0] = uint8_t(count & 0xff);
    block[1] = uint8_t(count >> 8);
    const size_t fit = size_t(size - kListHeaderSize) / kRecordSize;
    for (size_t i = 0; i < std::min(count, fit); ++i) {
        uint8_t* r = block + kListHeaderSize + i * kRecordSize;
        std::memset(r, 0, kRecordSize);
        const DeviceIdentity& d = devices[i];
        put8bit(r + 0, 40, d.deviceId);
        put8bit(r + 40, 17, d.version);
        put8bit(r + 57, 14, d.sn);
        put8bit(r + 71, 2, d.mask);
        put16bit(r + 1085, d.devicePath);
        put16bit(r + 1595, d.hardwareId);
    }
}

std::u16string utf16FromUtf8(const std::string& s)
{
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = s[i];
        uint32_t cp;
        int extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if ((c >> 5) == 6) { cp = c & 0x1f; extra = 1; }
        else if ((c >> 4) == 14) { cp = c & 0x0f; extra = 2; }
        else if ((c >> 3) == 30) { cp = c & 0x07; extra = 3; }
        else { cp = 0xfffd; extra = 0; }
        ++i;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= s.size() || (uint8_t(s[i]) >> 6) != 2) {
                cp = 0xfffd;
                break;
            }
            cp = (cp << 6) | (uint8_t(s[i]) & 0x3f);
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xd800 + (cp >> 10));
            out += char16_t(0xdc00 + (cp & 0x3ff));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string utf8FromUtf16(const char16_t* s)
{
    std::string out;
    if (!s)
        return out;
    for (; *s; ++s) {
        uint32_t cp = *s;
        if (cp >= 0xd800 && cp < 0xdc00 && s[1] >= 0xdc00 && s[1] < 0xe000) {
            cp = 0x10000 + ((cp - 0xd800) << 10) + (s[1] - 0xdc00);
            ++s;
        }
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xc0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3f));
        } else if (cp < 0x10000) {
            out += char(0xe0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3f));
            out += char(0x80 | (cp & 0x3f));
        } else {
            out += char(0xf0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3f));
            out += char(0x80 | ((cp >> 6) & 0x3f));
            out += char(0x80 | (cp & 0x3f));
        }
    }
    return out;
}

}  // namespace hxsim
