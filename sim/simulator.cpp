#include "sim/simulator.h"

#include "sim/control_address.h"
#include "sim/list_block.h"
#include "sim/sim_config.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <sstream>

namespace hxsim {
namespace {

// Notification codes raised on the event callback.
constexpr uint32_t kArrival = 0x0001;
constexpr uint32_t kRemoval = 0x0002;

// The filter words a mouse of this family answers to.
constexpr uint32_t kFilterWord0 = 0xFFA00001;
constexpr uint32_t kFilterWord1 = 0xFFAA0001;

std::string libraryFolder()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&libraryFolder), &info) && info.dli_fname) {
        std::string path = info.dli_fname;
        const size_t slash = path.rfind('/');
        return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    }
    return ".";
}

std::string hexBytes(const uint8_t* data, int size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < size; ++i) {
        if (i)
            out += ' ';
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0xf];
    }
    return out;
}

bool parseNumber(const std::string& text, long* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    *value = std::strtol(text.c_str(), &end, 0);
    return end && *end == '\0';
}

}  // namespace

Simulator& Simulator::instance()
{
    static Simulator sim;
    return sim;
}

Simulator::Simulator()
    : m_folder(libraryFolder())
    , m_statePath(m_folder + "/libhx.state")
{
    const SimConfig config = readSimConfig(m_folder + "/libhx.conf");
    m_flash = loadState(m_statePath);
    m_reportIntervalMs = config.reportIntervalMs;
    m_random = config.seed ? config.seed : 1;
    for (const DeviceIdentity& d : config.devices)
        m_mice.push_back(attachedMouse(d));
    if (pipe2(m_wakePipe, O_CLOEXEC) == 0) {
        const int listenFd = bindControl();
        m_thread = std::thread([this, listenFd] { run(listenFd); });
    }
}

Simulator::~Simulator()
{
    m_stop = true;
    if (m_wakePipe[1] >= 0) {
        const char c = 0;
        ssize_t ignored = ::write(m_wakePipe[1], &c, 1);
        (void)ignored;
    }
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : m_wakePipe)
        if (fd >= 0)
            close(fd);
}

// A mouse seen before keeps what its flash held; a new one is factory-fresh.
Mouse Simulator::attachedMouse(const DeviceIdentity& identity) const
{
    Mouse m = factoryMouse(identity);
    const auto saved = m_flash.find(identity.hardwareId);
    if (saved != m_flash.end()) {
        for (const auto& [id, value] : saved->second.properties)
            if (int(value.size()) == propertySize(id))
                m.properties[id] = value;
        m.memory = saved->second.memory;
    }
    return m;
}

Mouse* Simulator::pluggedMouse(const std::string& hardwareId)
{
    for (Mouse& m : m_mice)
        if (m.plugged && m.identity.hardwareId == hardwareId)
            return &m;
    return nullptr;
}

void Simulator::persistLocked()
{
    for (const Mouse& m : m_mice)
        m_flash[m.identity.hardwareId] = StoredMouse{m.properties, m.memory};
    saveState(m_statePath, m_flash);
}

// ---- the library's entry points ------------------------------------------

int Simulator::listDevices(const HxDeviceFilter& filter, uint8_t* block, int size)
{
    if (!block || size < kListHeaderSize)
        return kBadSize;
    std::vector<DeviceIdentity> found;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (filter.words[0] == kFilterWord0 && filter.words[1] == kFilterWord1)
            for (const Mouse& m : m_mice)
                if (m.plugged)
                    found.push_back(m.identity);
    }
    writeListBlock(found, block, size);
    return kOk;
}

void Simulator::setEventCallback(HxDeviceEventCallback cb)
{
    m_eventCallback = cb;
}

int Simulator::armDataCallback(const std::string& hardwareId, HxDeviceDataCallback cb)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (!pluggedMouse(hardwareId))
        return kNoSuchDevice;
    m_dataCallbacks[hardwareId] = cb;
    return kOk;
}

int Simulator::readProperty(const std::string& id, uint8_t* buffer, int size, int property)
{
    std::lock_guard<std::mutex> lock(m_lock);
    const Mouse* m = pluggedMouse(id);
    return m ? hxsim::readProperty(*m, property, buffer, size) : kNoSuchDevice;
}

int Simulator::writeProperty(const std::string& id, const uint8_t* data, int size, int property)
{
    std::lock_guard<std::mutex> lock(m_lock);
    Mouse* m = pluggedMouse(id);
    if (!m)
        return kNoSuchDevice;
    const int status = hxsim::writeProperty(*m, property, data, size);
    if (status == kOk)
        persistLocked();
    return status;
}

int Simulator::read(const std::string& id, uint8_t* buffer, int size, int address)
{
    std::lock_guard<std::mutex> lock(m_lock);
    const Mouse* m = pluggedMouse(id);
    return m ? readMemory(*m, address, buffer, size) : kNoSuchDevice;
}

int Simulator::write(const std::string& id, const uint8_t* data, int size, int address)
{
    std::lock_guard<std::mutex> lock(m_lock);
    Mouse* m = pluggedMouse(id);
    if (!m)
        return kNoSuchDevice;
    const int status = writeMemory(*m, address, data, size);
    if (status == kOk)
        persistLocked();
    return status;
}

int Simulator::notify(const std::string& id, uint32_t value, uint8_t* scratch)
{
    std::lock_guard<std::mutex> lock(m_lock);
    Mouse* m = pluggedMouse(id);
    if (!m)
        return kNoSuchDevice;
    const int status = hxsim::notify(*m, uint8_t(value & 0xff), uint8_t((value >> 8) & 0xff));
    if (scratch)
        *scratch = status == kOk ? 1 : 0;  // the device's acknowledgement
    if (status == kOk)
        persistLocked();
    return status;
}

// ---- callbacks, raised on the library's thread ---------------------------

void Simulator::raiseEvent(uint32_t notification)
{
    if (HxDeviceEventCallback cb = m_eventCallback.load())
        cb(notification);
}

void Simulator::raiseData(HxDeviceDataCallback cb, const uint8_t report[8])
{
    const uint8_t* holder = report;
    cb(&holder, 0);
}

void Simulator::periodicReports()
{
    std::vector<std::pair<HxDeviceDataCallback, std::array<uint8_t, 8>>> due;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (const Mouse& m : m_mice) {
            const auto cb = m_dataCallbacks.find(m.identity.hardwareId);
            if (!m.plugged || cb == m_dataCallbacks.end())
                continue;
            // report id, buttons, dx, dy (16 bits each), wheel, active DPI stage
            m_random = m_random * 1103515245u + 12345u;
            const int16_t dx = int16_t(int((m_random >> 16) % 21) - 10);
            m_random = m_random * 1103515245u + 12345u;
            const int16_t dy = int16_t(int((m_random >> 16) % 21) - 10);
            std::array<uint8_t, 8> r = {0x01, 0x00, uint8_t(dx & 0xff), uint8_t(uint16_t(dx) >> 8),
                                        uint8_t(dy & 0xff), uint8_t(uint16_t(dy) >> 8), 0x00,
                                        m.properties.at(kPropDpiStages)[1]};
            ++m_reportCounter;
            due.emplace_back(cb->second, r);
        }
    }
    for (const auto& [cb, r] : due)
        raiseData(cb, r.data());
}

// ---- the control channel -------------------------------------------------

std::string Simulator::control(const std::string& line)
{
    std::istringstream in(line);
    std::string command;
    in >> command;
    std::vector<std::string> args;
    for (std::string a; in >> a;)
        args.push_back(a);
    auto argOr = [&](size_t i, const std::string& fallback) {
        return i < args.size() ? args[i] : fallback;
    };

    if (command == "list") {
        std::lock_guard<std::mutex> lock(m_lock);
        std::string out = "ok";
        for (const Mouse& m : m_mice)
            if (m.plugged)
                out += " " + m.identity.hardwareId;
        return out;
    }
    if (command == "plug" && !args.empty()) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            Mouse* known = nullptr;
            for (Mouse& m : m_mice)
                if (m.identity.hardwareId == args[0])
                    known = &m;
            if (known && known->plugged)
                return "error already plugged";
            if (known) {
                known->plugged = true;
            } else {
                DeviceIdentity d = defaultMouse(int(m_mice.size()));
                d.hardwareId = args[0];
                d.deviceId = argOr(1, d.deviceId);
                d.version = argOr(2, d.version);
                d.sn = argOr(3, d.sn);
                d.mask = argOr(4, d.mask);
                d.devicePath = argOr(5, d.devicePath);
                m_mice.push_back(attachedMouse(d));
            }
        }
        raiseEvent(kArrival);
        return "ok";
    }
    if (command == "unplug" && !args.empty()) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            Mouse* m = pluggedMouse(args[0]);
            if (!m)
                return "error no such device";
            m->plugged = false;
            m_dataCallbacks.erase(args[0]);
        }
        raiseEvent(kRemoval);
        return "ok";
    }
    if (command == "event" && !args.empty()) {
        long value = 0, count = 1;
        if (!parseNumber(args[0], &value) || (args.size() > 1 && !parseNumber(args[1], &count)))
            return "error bad number";
        for (long i = 0; i < count; ++i)
            raiseEvent(uint32_t(value));
        return "ok";
    }
    if (command == "data" && args.size() == 2) {
        if (args[1].size() != 16)
            return "error a report is 16 hex digits";
        uint8_t report[8];
        for (int i = 0; i < 8; ++i) {
            long b = 0;
            if (!parseNumber("0x" + args[1].substr(size_t(2 * i), 2), &b))
                return "error bad report";
            report[i] = uint8_t(b);
        }
        HxDeviceDataCallback cb = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            const auto it = m_dataCallbacks.find(args[0]);
            if (it != m_dataCallbacks.end() && pluggedMouse(args[0]))
                cb = it->second;
        }
        if (!cb)
            return "ok 0";  // nobody listens to this mouse
        raiseData(cb, report);
        return "ok 1";
    }
    if ((command == "read" || command == "prop") && args.size() == 3) {
        long where = 0, size = 0;
        if (!parseNumber(args[1], &where) || !parseNumber(args[2], &size) || size < 0
            || size > kMaxTransfer)
            return "error bad number";
        std::vector<uint8_t> buffer(size_t(size), 0);
        std::lock_guard<std::mutex> lock(m_lock);
        const Mouse* m = nullptr;
        for (const Mouse& candidate : m_mice)
            if (candidate.identity.hardwareId == args[0])
                m = &candidate;
        if (!m)
            return "error no such device";
        const int status = command == "read"
            ? readMemory(*m, int(where), buffer.data(), int(size))
            : hxsim::readProperty(*m, int(where), buffer.data(), int(size));
        if (status != kOk)
            return "error status " + std::to_string(status);
        return size ? "ok " + hexBytes(buffer.data(), int(size)) : "ok";
    }
    if (command == "last-notify" && args.size() == 1) {
        std::lock_guard<std::mutex> lock(m_lock);
        for (const Mouse& m : m_mice)
            if (m.identity.hardwareId == args[0])
                return "ok " + std::to_string(m.notifyCount) + " " + std::to_string(m.lastNotifyType)
                       + " " + std::to_string(m.lastNotifyData);
        return "error no such device";
    }
    if (command == "reports" && args.size() == 1) {
        long ms = 0;
        if (!parseNumber(args[0], &ms) || ms < 0)
            return "error bad number";
        std::lock_guard<std::mutex> lock(m_lock);
        m_reportIntervalMs = int(ms);
        return "ok";
    }
    return "error unknown command";
}

// ---- the library's thread ------------------------------------------------

// The channel is bound before the first entry returns, so a test or a user
// can drive the mouse as soon as the client has loaded the library.
int Simulator::bindControl() const
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string name = controlSocketName(m_folder);
    std::memcpy(addr.sun_path + 1, name.data(), name.size());  // abstract name
    const socklen_t len = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(fd, 8) != 0) {
        close(fd);  // another copy owns the channel: no control, still reports
        return -1;
    }
    return fd;
}

void Simulator::run(int listenFd)
{
    serveControl(listenFd);
    if (listenFd >= 0)
        close(listenFd);
}

void Simulator::serveControl(int listenFd)
{
    struct Client
    {
        int fd;
        std::string pending;
    };
    std::vector<Client> clients;
    auto nextReport = std::chrono::steady_clock::now();
    while (!m_stop) {
        int interval;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            interval = m_reportIntervalMs;
        }
        int timeout = -1;
        if (interval > 0) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= nextReport) {
                periodicReports();
                nextReport = now + std::chrono::milliseconds(interval);
            }
            timeout = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                              nextReport - std::chrono::steady_clock::now()).count()) + 1;
        }
        std::vector<pollfd> fds;
        fds.push_back({m_wakePipe[0], POLLIN, 0});
        if (listenFd >= 0)
            fds.push_back({listenFd, POLLIN, 0});
        for (const Client& c : clients)
            fds.push_back({c.fd, POLLIN, 0});
        // Waking up now and then keeps a changed report interval current.
        if (poll(fds.data(), nfds_t(fds.size()), timeout < 0 ? 500 : std::min(timeout, 500)) <= 0)
            continue;
        if (fds[0].revents)
            break;
        if (listenFd >= 0 && (fds[1].revents & POLLIN)) {
            const int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                clients.push_back({fd, {}});
        }
        const size_t first = listenFd >= 0 ? 2 : 1;
        for (size_t i = first; i < fds.size(); ++i) {
            if (!fds[i].revents)
                continue;
            Client& c = clients[i - first];
            char buf[4096];
            const ssize_t n = ::read(c.fd, buf, sizeof buf);
            if (n <= 0) {
                close(c.fd);
                c.fd = -1;
                continue;
            }
            c.pending.append(buf, size_t(n));
            size_t nl;
            while ((nl = c.pending.find('\n')) != std::string::npos) {
                const std::string reply = control(c.pending.substr(0, nl)) + "\n";
                c.pending.erase(0, nl + 1);
                ssize_t ignored = ::write(c.fd, reply.data(), reply.size());
                (void)ignored;
            }
        }
        clients.erase(std::remove_if(clients.begin(), clients.end(),
                                     [](const Client& c) { return c.fd < 0; }),
                      clients.end());
    }
    for (const Client& c : clients)
        close(c.fd);
}

}  // namespace hxsim
