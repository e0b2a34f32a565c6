#pragma once

#include "sim/siminstrument.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct libusb_device;

typedef struct _UMockdevTestbed UMockdevTestbed;
class SimUsbfsDevice;

// A USB bus of simulated instruments behind the real libusb: owns the umockdev testbed, plugs
// instruments in at a bus and address (sysfs record, device node, ioctl handler, "add" event) and
// unplugs them the way the kernel does. An instrument that reboots disappears and comes back after
// the re-enumeration delay at a new address, as a real re-enumeration assigns one.
//
// Order: create the bus before libusb_init() and destroy it after libusb_exit(); the process must run
// with umockdev's preload library, which linking this library arranges (the program re-executes
// itself with LD_PRELOAD set when it is missing). One bus per process.
//
// Thread-safety: all members may be called from any thread.
class SimUsbBus
{
public:
    struct Port
    {
        uint8_t bus = 0;
        uint8_t address = 0;
        bool operator==(const Port& other) const { return bus == other.bus && address == other.address; }
        bool operator<(const Port& other) const
        {
            return bus != other.bus ? bus < other.bus : address < other.address;
        }
    };

    SimUsbBus();
    ~SimUsbBus();
    SimUsbBus(const SimUsbBus&) = delete;
    SimUsbBus& operator=(const SimUsbBus&) = delete;

    // The bus of this process, or null.
    static SimUsbBus* current();
    // True when umockdev's preload library is active in this process.
    static bool preloadActive();
    // The name of umockdev's preload library, as LD_PRELOAD takes it.
    static const char* preloadLibrary();
    // The testbed's root folder: another process that starts with umockdev's preload library and this
    // folder as UMOCKDEV_DIR sees the same bus, served by this process.
    std::string testbedDirectory() const;
    // The libusb device at `port` in libusb's current list, with a reference the caller releases
    // (libusb_unref_device); null when libusb does not list it (yet).
    static libusb_device* findLibusbDevice(const Port& port);

    // Plugs `instrument` in at `bus`; address 0 picks the next free one (from 2 on). Returns the port.
    Port plug(const std::shared_ptr<SimInstrument>& instrument, uint8_t bus = 1, uint8_t address = 0);
    // Unplugs at once: transfers in flight fail with "no device", the "remove" event is sent.
    void unplug(const std::shared_ptr<SimInstrument>& instrument);
    void unplug(Port port);
    void unplugAll();

    std::optional<Port> portOf(const std::shared_ptr<SimInstrument>& instrument) const;
    std::shared_ptr<SimInstrument> instrumentAt(Port port) const;
    bool isPlugged(const std::shared_ptr<SimInstrument>& instrument) const;
    // Waits until `instrument` is plugged (again), for example after a reboot.
    bool waitUntilPlugged(const std::shared_ptr<SimInstrument>& instrument,
                          std::chrono::milliseconds timeout);
    bool waitUntilUnplugged(const std::shared_ptr<SimInstrument>& instrument,
                            std::chrono::milliseconds timeout);
    // How long a rebooting instrument stays away (default 300 ms).
    void setReenumerationDelay(std::chrono::milliseconds delay);
    // Times `instrument` has been plugged in, re-enumerations included.
    int plugCount(const std::shared_ptr<SimInstrument>& instrument) const;

private:
    struct Task
    {
        std::chrono::steady_clock::time_point due;
        std::function<void()> work;
    };

    Port plugLocked(const std::shared_ptr<SimInstrument>& instrument, uint8_t bus, uint8_t address);
    void removeLocked(Port port);
    void onLinkEvent(SimUsbfsDevice& device, SimInstrument::LinkEvent event);
    void schedule(std::chrono::milliseconds delay, std::function<void()> work);
    void runScheduler();

    UMockdevTestbed* m_testbed = nullptr;

    mutable std::mutex m_mutex; // guards the device table, counters and the testbed calls
    std::condition_variable m_changed;
    std::map<Port, std::shared_ptr<SimUsbfsDevice>> m_devices;
    // Devices already unplugged stay here until the bus goes: a client may still hold their node.
    std::vector<std::shared_ptr<SimUsbfsDevice>> m_retired;
    std::map<const SimInstrument*, int> m_plugCounts;
    std::map<uint8_t, uint8_t> m_nextAddress;
    // Read on umockdev's worker thread, which must never wait for m_mutex (the testbed calls made under
    // it may need that thread).
    std::atomic<int64_t> m_reenumerationDelayMs{300};

    std::mutex m_taskMutex; // guards the task list and m_stopping
    std::condition_variable m_taskReady;
    std::vector<Task> m_tasks;
    bool m_stopping = false;
    std::thread m_scheduler;
};
