#pragma once
// The simulated library's one instance: the mice, their flash, the callbacks
// the client handed over, and the library's own thread, which serves the
// control channel and raises arrivals, removals and data reports.

#include "sim/hx_api.h"
#include "sim/mouse_model.h"
#include "sim/state_file.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hxsim {

class Simulator
{
public:
    static Simulator& instance();
    ~Simulator();

    int listDevices(const HxDeviceFilter& filter, uint8_t* block, int size);
    void setEventCallback(HxDeviceEventCallback cb);
    int armDataCallback(const std::string& hardwareId, HxDeviceDataCallback cb);
    int readProperty(const std::string& id, uint8_t* buffer, int size, int property);
    int writeProperty(const std::string& id, const uint8_t* data, int size, int property);
    int read(const std::string& id, uint8_t* buffer, int size, int address);
    int write(const std::string& id, const uint8_t* data, int size, int address);
    int notify(const std::string& id, uint32_t value, uint8_t* scratch);

    // One control command line and its one-line answer ("ok ..." or
    // "error ..."). Callbacks it raises have run when it returns.
    std::string control(const std::string& line);

private:
    Simulator();
    Mouse attachedMouse(const DeviceIdentity& identity) const;
    Mouse* pluggedMouse(const std::string& hardwareId);
    void persistLocked();
    int bindControl() const;
    void run(int listenFd);
    void serveControl(int listenFd);
    void raiseEvent(uint32_t notification);
    void raiseData(HxDeviceDataCallback cb, const uint8_t report[8]);
    void periodicReports();

    std::string m_folder;
    std::string m_statePath;
    std::mutex m_lock;
    std::vector<Mouse> m_mice;  // in the order they were first attached
    StoredState m_flash;
    std::map<std::string, HxDeviceDataCallback> m_dataCallbacks;
    std::atomic<HxDeviceEventCallback> m_eventCallback{nullptr};
    int m_reportIntervalMs = 0;
    unsigned m_random = 1;
    uint8_t m_reportCounter = 0;

    int m_wakePipe[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace hxsim
