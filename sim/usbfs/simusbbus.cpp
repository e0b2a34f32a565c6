#include "sim/usbfs/simusbbus.h"

#include "sim/usbfs/simusbfsdevice.h"

#include <libusb.h>
#include <umockdev.h>

#include <dlfcn.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kPreloadLibrary = "libumockdev-preload.so.0";
const char* const kReexecGuard = "SIM_USBFS_REEXECUTED";

std::atomic<SimUsbBus*> s_currentBus{nullptr};

// umockdev only sees a process that starts with its preload library. A program that links the
// emulation therefore re-executes itself once with LD_PRELOAD set, so that ctest, an IDE or a direct
// run all work. AddressSanitizer would object to a library loaded before its runtime.
__attribute__((constructor)) void ensureUmockdevPreload(int, char** argv, char**)
{
    if (SimUsbBus::preloadActive() || std::getenv(kReexecGuard) != nullptr || argv == nullptr) {
        return;
    }
    std::string preload = kPreloadLibrary;
    if (const char* existing = std::getenv("LD_PRELOAD"); existing && *existing) {
        preload += ':';
        preload += existing;
    }
    std::string asanOptions = "verify_asan_link_order=0";
    if (const char* existing = std::getenv("ASAN_OPTIONS"); existing && *existing) {
        asanOptions = std::string(existing) + ':' + asanOptions;
    }
    setenv("LD_PRELOAD", preload.c_str(), 1);
    setenv("ASAN_OPTIONS", asanOptions.c_str(), 1);
    setenv(kReexecGuard, "1", 1);
    execv("/proc/self/exe", argv);
    std::fprintf(stderr, "simusbfs: cannot re-execute with %s: %s\n", kPreloadLibrary, std::strerror(errno));
}

} // namespace

// The connection probe's "busy" answer cannot travel through usbfs: libusb produces
// LIBUSB_ERROR_BUSY itself. The emulation therefore answers the probe request for an instrument whose
// probeBusy() fault is armed here, in front of libusb; every other control transfer passes through.
extern "C" int LIBUSB_CALL libusb_control_transfer(libusb_device_handle* handle, uint8_t requestType,
                                                   uint8_t request, uint16_t value, uint16_t index,
                                                   unsigned char* data, uint16_t length, unsigned int timeout)
{
    using ControlTransfer = int (*)(libusb_device_handle*, uint8_t, uint8_t, uint16_t, uint16_t,
                                    unsigned char*, uint16_t, unsigned int);
    static const ControlTransfer real =
        reinterpret_cast<ControlTransfer>(dlsym(RTLD_NEXT, "libusb_control_transfer"));
    if (requestType == LIBUSB_ENDPOINT_IN && request == LIBUSB_REQUEST_GET_DESCRIPTOR && value == 0x0100) {
        if (SimUsbBus* bus = SimUsbBus::current()) {
            libusb_device* device = libusb_get_device(handle);
            const SimUsbBus::Port port{libusb_get_bus_number(device), libusb_get_device_address(device)};
            const std::shared_ptr<SimInstrument> instrument = bus->instrumentAt(port);
            if (instrument && instrument->faults().isProbeBusy()) {
                return LIBUSB_ERROR_BUSY;
            }
        }
    }
    return real(handle, requestType, request, value, index, data, length, timeout);
}

SimUsbBus::SimUsbBus()
{
    // Timers of libusb's polling loop otherwise round up by 50 us each; threads created later inherit it.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    if (!preloadActive()) {
        std::fprintf(stderr, "simusbfs: %s is not loaded; libusb will not see the simulated bus\n",
                     kPreloadLibrary);
    }
    m_testbed = umockdev_testbed_new();
    s_currentBus.store(this);
    m_scheduler = std::thread([this]() { runScheduler(); });
}

SimUsbBus::~SimUsbBus()
{
    {
        std::lock_guard<std::mutex> lock(m_taskMutex);
        m_stopping = true;
    }
    m_taskReady.notify_all();
    m_scheduler.join();
    unplugAll();
    s_currentBus.store(nullptr);
    g_object_unref(m_testbed);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_retired.clear();
}

SimUsbBus* SimUsbBus::current()
{
    return s_currentBus.load();
}

const char* SimUsbBus::preloadLibrary()
{
    return kPreloadLibrary;
}

std::string SimUsbBus::testbedDirectory() const
{
    // The testbed hands over a copy of its path that the caller frees.
    gchar* root = umockdev_testbed_get_root_dir(m_testbed);
    std::string directory = root ? root : "";
    g_free(root);
    return directory;
}

bool SimUsbBus::preloadActive()
{
    void* handle = dlopen(kPreloadLibrary, RTLD_LAZY | RTLD_NOLOAD);
    if (!handle) {
        return false;
    }
    dlclose(handle);
    return true;
}

SimUsbBus::Port SimUsbBus::plug(const std::shared_ptr<SimInstrument>& instrument, uint8_t bus,
                                uint8_t address)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return plugLocked(instrument, bus, address);
}

SimUsbBus::Port SimUsbBus::plugLocked(const std::shared_ptr<SimInstrument>& instrument, uint8_t bus,
                                      uint8_t address)
{
    if (address == 0) {
        uint8_t& next = m_nextAddress.emplace(bus, uint8_t(2)).first->second;
        while (m_devices.count(Port{bus, next}) != 0) {
            next = next >= 127 ? 2 : uint8_t(next + 1);
        }
        address = next;
        next = next >= 127 ? 2 : uint8_t(next + 1);
    }
    const Port port{bus, address};
    if (m_devices.count(port) != 0) {
        removeLocked(port);
    }

    auto device = std::make_shared<SimUsbfsDevice>(
        instrument, bus, address,
        [this](SimUsbfsDevice& source, SimInstrument::LinkEvent event) { onLinkEvent(source, event); });
    const std::string node = device->nodePath();
    // A node that served an earlier device must be detached before a new handler can take it.
    for (const auto& retired : m_retired) {
        if (retired->nodePath() == node) {
            umockdev_testbed_detach_ioctl(m_testbed, node.c_str(), nullptr);
            break;
        }
    }
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(m_testbed, node.c_str(), device->handler(), &error)) {
        std::fprintf(stderr, "simusbfs: cannot attach the ioctl handler to %s: %s\n", node.c_str(),
                     error ? error->message : "?");
        g_clear_error(&error);
    }
    instrument->powerUp();
    // One step, so that the "add" event already sees the binary descriptors attribute.
    if (!umockdev_testbed_add_from_string(m_testbed, device->record().c_str(), &error)) {
        std::fprintf(stderr, "simusbfs: cannot add %s: %s\n", node.c_str(), error ? error->message : "?");
        g_clear_error(&error);
    }
    m_devices[port] = device;
    ++m_plugCounts[instrument.get()];
    m_changed.notify_all();
    return port;
}

void SimUsbBus::removeLocked(Port port)
{
    const auto it = m_devices.find(port);
    if (it == m_devices.end()) {
        return;
    }
    std::shared_ptr<SimUsbfsDevice> device = it->second;
    m_devices.erase(it);
    device->disconnect();
    // umockdev's own removal sends no event; libusb learns of the removal only from this one.
    const std::string sysfs = device->sysfsPath();
    umockdev_testbed_uevent(m_testbed, sysfs.c_str(), "remove");
    umockdev_testbed_remove_device(m_testbed, sysfs.c_str());
    m_retired.push_back(device);
    m_changed.notify_all();
}

void SimUsbBus::unplug(const std::shared_ptr<SimInstrument>& instrument)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& entry : m_devices) {
        if (entry.second->instrument() == instrument) {
            removeLocked(entry.first);
            return;
        }
    }
}

void SimUsbBus::unplug(Port port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    removeLocked(port);
}

void SimUsbBus::unplugAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    while (!m_devices.empty()) {
        removeLocked(m_devices.begin()->first);
    }
}

std::optional<SimUsbBus::Port> SimUsbBus::portOf(const std::shared_ptr<SimInstrument>& instrument) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& entry : m_devices) {
        if (entry.second->instrument() == instrument) {
            return entry.first;
        }
    }
    return std::nullopt;
}

std::shared_ptr<SimInstrument> SimUsbBus::instrumentAt(Port port) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_devices.find(port);
    return it == m_devices.end() ? nullptr : it->second->instrument();
}

bool SimUsbBus::isPlugged(const std::shared_ptr<SimInstrument>& instrument) const
{
    return portOf(instrument).has_value();
}

bool SimUsbBus::waitUntilPlugged(const std::shared_ptr<SimInstrument>& instrument,
                                 std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&]() {
        for (const auto& entry : m_devices) {
            if (entry.second->instrument() == instrument) {
                return true;
            }
        }
        return false;
    });
}

bool SimUsbBus::waitUntilUnplugged(const std::shared_ptr<SimInstrument>& instrument,
                                   std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&]() {
        for (const auto& entry : m_devices) {
            if (entry.second->instrument() == instrument) {
                return false;
            }
        }
        return true;
    });
}

void SimUsbBus::setReenumerationDelay(std::chrono::milliseconds delay)
{
    m_reenumerationDelayMs.store(int64_t(delay.count()));
}

int SimUsbBus::plugCount(const std::shared_ptr<SimInstrument>& instrument) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_plugCounts.find(instrument.get());
    return it == m_plugCounts.end() ? 0 : it->second;
}

void SimUsbBus::onLinkEvent(SimUsbfsDevice& device, SimInstrument::LinkEvent event)
{
    // Runs on umockdev's worker thread, which must not wait for the testbed: hand over.
    const Port port{device.bus(), device.address()};
    std::weak_ptr<SimInstrument> instrument = device.instrument();
    schedule(std::chrono::milliseconds(0), [this, port, instrument]() {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_devices.find(port);
        if (it != m_devices.end() && it->second->instrument() == instrument.lock()) {
            removeLocked(port);
        }
    });
    if (event != SimInstrument::LinkEvent::Reenumerate) {
        return;
    }
    schedule(std::chrono::milliseconds(m_reenumerationDelayMs.load()), [this, bus = port.bus, instrument]() {
        if (auto alive = instrument.lock()) {
            std::lock_guard<std::mutex> lock(m_mutex);
            plugLocked(alive, bus, 0);
        }
    });
}

void SimUsbBus::schedule(std::chrono::milliseconds delay, std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> lock(m_taskMutex);
        m_tasks.push_back(Task{std::chrono::steady_clock::now() + delay, std::move(work)});
    }
    m_taskReady.notify_all();
}

void SimUsbBus::runScheduler()
{
    std::unique_lock<std::mutex> lock(m_taskMutex);
    while (!m_stopping) {
        if (m_tasks.empty()) {
            m_taskReady.wait(lock);
            continue;
        }
        auto next = std::min_element(m_tasks.begin(), m_tasks.end(),
                                     [](const Task& a, const Task& b) { return a.due < b.due; });
        if (next->due > std::chrono::steady_clock::now()) {
            m_taskReady.wait_until(lock, next->due);
            continue;
        }
        std::function<void()> work = std::move(next->work);
        m_tasks.erase(next);
        lock.unlock();
        work();
        lock.lock();
    }
}

libusb_device* SimUsbBus::findLibusbDevice(const Port& port)
{
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(nullptr, &list);
    libusb_device* found = nullptr;
    for (ssize_t i = 0; i < count; ++i) {
        if (libusb_get_bus_number(list[i]) == port.bus &&
            libusb_get_device_address(list[i]) == port.address) {
            found = libusb_ref_device(list[i]);
            break;
        }
    }
    if (count >= 0) {
        libusb_free_device_list(list, 1);
    }
    return found;
}
