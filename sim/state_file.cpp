#include "sim/state_file.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace hxsim {
namespace {

const char kMagic[8] = {'H', 'X', 'S', 'T', 'A', 'T', 'E', '1'};

void putU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += char((v >> (8 * i)) & 0xff);
}

struct Reader
{
    const std::string& in;
    size_t pos = 0;
    bool ok = true;
    uint32_t u32()
    {
        if (pos + 4 > in.size()) {
            ok = false;
            return 0;
        }
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(uint8_t(in[pos + i])) << (8 * i);
        pos += 4;
        return v;
    }
    std::string bytes(uint32_t n)
    {
        if (n > in.size() - pos) {
            ok = false;
            return {};
        }
        std::string s = in.substr(pos, n);
        pos += n;
        return s;
    }
};

}  // namespace

StoredState loadState(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string in((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (in.size() < sizeof kMagic || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0)
        return {};
    Reader r{in, sizeof kMagic};
    StoredState state;
    const uint32_t mice = r.u32();
    for (uint32_t i = 0; r.ok && i < mice; ++i) {
        const std::string id = r.bytes(r.u32());
        StoredMouse m;
        const uint32_t props = r.u32();
        for (uint32_t p = 0; r.ok && p < props; ++p) {
            const uint32_t pid = r.u32();
            const std::string value = r.bytes(r.u32());
            m.properties[int(pid)] = std::vector<uint8_t>(value.begin(), value.end());
        }
        const std::string memory = r.bytes(r.u32());
        m.memory.assign(memory.begin(), memory.end());
        if (r.ok && m.memory.size() == size_t(kMemorySize))
            state[id] = m;
    }
    return r.ok ? state : StoredState();
}

bool saveState(const std::string& path, const StoredState& state)
{
    std::string out(kMagic, sizeof kMagic);
    putU32(out, uint32_t(state.size()));
    for (const auto& [id, m] : state) {
        putU32(out, uint32_t(id.size()));
        out += id;
        putU32(out, uint32_t(m.properties.size()));
        for (const auto& [pid, value] : m.properties) {
            putU32(out, uint32_t(pid));
            putU32(out, uint32_t(value.size()));
            out.append(reinterpret_cast<const char*>(value.data()), value.size());
        }
        putU32(out, uint32_t(m.memory.size()));
        out.append(reinterpret_cast<const char*>(m.memory.data()), m.memory.size());
    }
    const std::string temp = path + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(out.data(), std::streamsize(out.size()));
        file.flush();
        if (!file) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace hxsim
