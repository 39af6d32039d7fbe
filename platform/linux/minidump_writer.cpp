#include "platform/linux/minidump_writer.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

namespace crashdump {
namespace {

// ---- format constants -------------------------------------------------------
constexpr uint32_t kSignature = 0x504d444d;  // "MDMP"
constexpr uint32_t kVersion = 0xa793;
constexpr uint32_t kThreadListStream = 3;
constexpr uint32_t kModuleListStream = 4;
constexpr uint32_t kMemoryListStream = 5;
constexpr uint32_t kExceptionStream = 6;
constexpr uint32_t kSystemInfoStream = 7;
constexpr uint32_t kMiscInfoStream = 15;
constexpr uint16_t kArchAmd64 = 9;
constexpr uint32_t kPlatformLinux = 0x8201;
constexpr uint32_t kContextAmd64 = 0x00100000;
constexpr uint32_t kContextFull = kContextAmd64 | 0x1 | 0x2 | 0x4;  // control, integer, segments
constexpr size_t kContextSize = 1232;
constexpr size_t kModuleSize = 108;
constexpr size_t kMaxStack = 64 * 1024;
constexpr int kMaxModules = 512;
constexpr int kMaxPath = 512;

// ---- output ---------------------------------------------------------------------
struct Out
{
    int fd;
    uint32_t offset = 0;
    bool ok = true;

    uint32_t write(const void* data, size_t size)
    {
        const uint32_t at = offset;
        const char* p = static_cast<const char*>(data);
        size_t left = size;
        while (left > 0 && ok) {
            const ssize_t n = ::pwrite(fd, p, left, off_t(offset));
            if (n <= 0) {
                ok = false;
                break;
            }
            p += n;
            left -= size_t(n);
            offset += uint32_t(n);
        }
        return at;
    }
    void writeAt(uint32_t at, const void* data, size_t size)
    {
        if (ok && ::pwrite(fd, data, size, off_t(at)) != ssize_t(size))
            ok = false;
    }
};

template <typename T>
void put(unsigned char* buf, size_t at, T value)
{
    std::memcpy(buf + at, &value, sizeof(T));
}

// A MINIDUMP_STRING: byte length, UTF-16 text, terminator (ASCII/UTF-8
// bytes are widened one by one; paths from /proc are taken as they are).
uint32_t writeString(Out& out, const char* text)
{
    static uint16_t wide[kMaxPath + 1];
    size_t n = 0;
    while (text[n] && n < size_t(kMaxPath)) {
        wide[n] = static_cast<unsigned char>(text[n]);
        ++n;
    }
    wide[n] = 0;
    const uint32_t bytes = uint32_t(n * 2);
    const uint32_t at = out.write(&bytes, 4);
    out.write(wide, (n + 1) * 2);
    return at;
}

// ---- /proc/self/maps -----------------------------------------------------------------
struct Mapping
{
    uint64_t start, end, offset;
    char path[kMaxPath];
};

struct Module
{
    uint64_t base, end;
    char path[kMaxPath];
};

Module g_modules[kMaxModules];
char g_mapsBuffer[256 * 1024];

uint64_t parseHex(const char*& p)
{
    uint64_t v = 0;
    for (;; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') v = v * 16 + uint64_t(c - '0');
        else if (c >= 'a' && c <= 'f') v = v * 16 + uint64_t(c - 'a' + 10);
        else break;
    }
    return v;
}

// Reads the whole maps file into the static buffer; returns its length.
size_t readMaps()
{
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    size_t len = 0;
    while (len < sizeof(g_mapsBuffer) - 1) {
        const ssize_t n = ::read(fd, g_mapsBuffer + len, sizeof(g_mapsBuffer) - 1 - len);
        if (n <= 0)
            break;
        len += size_t(n);
    }
    ::close(fd);
    g_mapsBuffer[len] = 0;
    return len;
}

// Walks the maps lines; calls `fn(mapping)` for each.
template <typename Fn>
void forEachMapping(size_t len, Fn fn)
{
    const char* p = g_mapsBuffer;
    const char* end = g_mapsBuffer + len;
    static Mapping m;
    while (p < end) {
        const char* line = p;
        const char* eol = line;
        while (eol < end && *eol != '\n')
            ++eol;
        m.start = parseHex(p);
        if (*p == '-') ++p;
        m.end = parseHex(p);
        while (p < eol && *p == ' ') ++p;
        while (p < eol && *p != ' ') ++p;  // permissions
        while (p < eol && *p == ' ') ++p;
        m.offset = parseHex(p);
        // device, inode, then the path (if any)
        for (int field = 0; field < 2; ++field) {
            while (p < eol && *p == ' ') ++p;
            while (p < eol && *p != ' ') ++p;
        }
        while (p < eol && *p == ' ') ++p;
        size_t n = 0;
        while (p < eol && n < size_t(kMaxPath) - 1)
            m.path[n++] = *p++;
        m.path[n] = 0;
        fn(m);
        p = eol + 1;
        (void)line;
    }
}

int collectModules(size_t len)
{
    int count = 0;
    forEachMapping(len, [&](const Mapping& m) {
        if (m.path[0] != '/')
            return;
        for (int i = 0; i < count; ++i) {
            if (std::strcmp(g_modules[i].path, m.path) == 0) {
                if (m.end > g_modules[i].end)
                    g_modules[i].end = m.end;
                return;
            }
        }
        if (count >= kMaxModules || m.offset != 0)
            return;  // a module starts where its file offset is 0
        g_modules[count].base = m.start;
        g_modules[count].end = m.end;
        std::memcpy(g_modules[count].path, m.path, sizeof m.path);
        ++count;
    });
    return count;
}

// The end of the mapping that holds `address` (0 when none does).
uint64_t mappingEnd(size_t len, uint64_t address)
{
    uint64_t found = 0;
    forEachMapping(len, [&](const Mapping& m) {
        if (address >= m.start && address < m.end)
            found = m.end;
    });
    return found;
}

// ---- the register context -------------------------------------------------------------------
void fillContext(unsigned char* c, const ucontext_t* uc)
{
    std::memset(c, 0, kContextSize);
    const greg_t* g = uc->uc_mcontext.gregs;
    put<uint32_t>(c, 48, kContextFull);
    put<uint16_t>(c, 56, uint16_t(g[REG_CSGSFS] & 0xffff));           // cs
    put<uint16_t>(c, 62, uint16_t((g[REG_CSGSFS] >> 32) & 0xffff));   // fs
    put<uint16_t>(c, 64, uint16_t((g[REG_CSGSFS] >> 16) & 0xffff));   // gs
    put<uint32_t>(c, 68, uint32_t(g[REG_EFL]));
    const int order[] = {REG_RAX, REG_RCX, REG_RDX, REG_RBX, REG_RSP, REG_RBP, REG_RSI, REG_RDI,
                         REG_R8,  REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15,
                         REG_RIP};
    for (int i = 0; i < 17; ++i)
        put<uint64_t>(c, 120 + size_t(i) * 8, uint64_t(g[order[i]]));
    if (uc->uc_mcontext.fpregs)
        std::memcpy(c + 256, uc->uc_mcontext.fpregs, 512);
}

}  // namespace

bool writeMinidump(int fd, int signal, const siginfo_t* info, const ucontext_t* uc)
{
    Out out{fd};
    const uint32_t streams = 6;
    static unsigned char header[32];
    std::memset(header, 0, sizeof header);
    out.write(header, sizeof header);
    static unsigned char directory[6 * 12];
    std::memset(directory, 0, sizeof directory);
    const uint32_t directoryRva = out.write(directory, sizeof directory);
    size_t slot = 0;
    auto record = [&](uint32_t type, uint32_t rva, uint32_t size) {
        put<uint32_t>(directory, slot * 12, type);
        put<uint32_t>(directory, slot * 12 + 4, size);
        put<uint32_t>(directory, slot * 12 + 8, rva);
        ++slot;
    };

    const size_t mapsLength = readMaps();
    const uint32_t tid = uint32_t(::syscall(SYS_gettid));

    // Register context.
    static unsigned char context[kContextSize];
    fillContext(context, uc);
    const uint32_t contextRva = out.write(context, kContextSize);

    // Stack memory, from just below the stack pointer (red zone) upward.
    const uint64_t rsp = uint64_t(uc->uc_mcontext.gregs[REG_RSP]);
    const uint64_t stackStart = rsp >= 128 ? rsp - 128 : 0;
    uint64_t stackEnd = mappingEnd(mapsLength, rsp);
    if (stackEnd == 0 || stackEnd - stackStart > kMaxStack)
        stackEnd = stackStart + kMaxStack;
    if (stackEnd < stackStart)
        stackEnd = stackStart;
    uint64_t stackSize = stackEnd - stackStart;
    {
        // The stack may end before our bound; stop where memory does.
        const uint64_t mapped = mappingEnd(mapsLength, stackStart);
        if (mapped && mapped < stackEnd)
            stackSize = mapped - stackStart;
    }
    const uint32_t stackRva = out.write(reinterpret_cast<const void*>(stackStart), size_t(stackSize));

    // System information.
    static unsigned char system[56];
    std::memset(system, 0, sizeof system);
    put<uint16_t>(system, 0, kArchAmd64);
    put<uint8_t>(system, 6, uint8_t(::sysconf(_SC_NPROCESSORS_ONLN)));
    put<uint32_t>(system, 20, kPlatformLinux);
    const uint32_t versionRva = writeString(out, "");
    put<uint32_t>(system, 24, versionRva);
    const uint32_t systemRva = out.write(system, sizeof system);
    record(kSystemInfoStream, systemRva, sizeof system);

    // Exception: the signal and the faulting address.
    static unsigned char exception[168];
    std::memset(exception, 0, sizeof exception);
    put<uint32_t>(exception, 0, tid);
    put<uint32_t>(exception, 8, uint32_t(signal));
    put<uint32_t>(exception, 12, info ? uint32_t(info->si_code) : 0);
    put<uint64_t>(exception, 24, info ? uint64_t(reinterpret_cast<uintptr_t>(info->si_addr)) : 0);
    put<uint32_t>(exception, 160, uint32_t(kContextSize));
    put<uint32_t>(exception, 164, contextRva);
    record(kExceptionStream, out.write(exception, sizeof exception), sizeof exception);

    // The crashing thread.
    static unsigned char threads[4 + 48];
    std::memset(threads, 0, sizeof threads);
    put<uint32_t>(threads, 0, 1);
    put<uint32_t>(threads, 4, tid);
    put<uint64_t>(threads, 4 + 24, stackStart);
    put<uint32_t>(threads, 4 + 32, uint32_t(stackSize));
    put<uint32_t>(threads, 4 + 36, stackRva);
    put<uint32_t>(threads, 4 + 40, uint32_t(kContextSize));
    put<uint32_t>(threads, 4 + 44, contextRva);
    record(kThreadListStream, out.write(threads, sizeof threads), sizeof threads);

    // Memory list: the stack.
    static unsigned char memory[4 + 16];
    put<uint32_t>(memory, 0, 1);
    put<uint64_t>(memory, 4, stackStart);
    put<uint32_t>(memory, 12, uint32_t(stackSize));
    put<uint32_t>(memory, 16, stackRva);
    record(kMemoryListStream, out.write(memory, sizeof memory), sizeof memory);

    // Modules: names first, then the list that points at them.
    const int moduleCount = collectModules(mapsLength);
    static uint32_t nameRva[kMaxModules];
    for (int i = 0; i < moduleCount; ++i)
        nameRva[i] = writeString(out, g_modules[i].path);
    const uint32_t count = uint32_t(moduleCount);
    const uint32_t listRva = out.write(&count, 4);
    static unsigned char module[kModuleSize];
    for (int i = 0; i < moduleCount; ++i) {
        std::memset(module, 0, sizeof module);
        put<uint64_t>(module, 0, g_modules[i].base);
        put<uint32_t>(module, 8, uint32_t(g_modules[i].end - g_modules[i].base));
        put<uint32_t>(module, 20, nameRva[i]);
        out.write(module, sizeof module);
    }
    record(kModuleListStream, listRva, 4 + count * uint32_t(kModuleSize));

    // The process identifier.
    static unsigned char misc[24];
    std::memset(misc, 0, sizeof misc);
    put<uint32_t>(misc, 0, sizeof misc);
    put<uint32_t>(misc, 4, 1);  // the process id is set
    put<uint32_t>(misc, 8, uint32_t(::getpid()));
    record(kMiscInfoStream, out.write(misc, sizeof misc), sizeof misc);

    // Header and directory last, when every place is known.
    put<uint32_t>(header, 0, kSignature);
    put<uint32_t>(header, 4, kVersion);
    put<uint32_t>(header, 8, streams);
    put<uint32_t>(header, 12, directoryRva);
    put<uint32_t>(header, 20, uint32_t(::time(nullptr)));
    out.writeAt(0, header, sizeof header);
    out.writeAt(directoryRva, directory, sizeof directory);
    return out.ok;
}

}  // namespace crashdump
