#pragma once

#include "sim/siminstrument.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

// Plays the kernel's usbfs driver for one plugged instrument: answers the ioctls that libusb issues
// on /dev/bus/usb/BBB/DDD, hands OUT URBs to the instrument, completes IN URBs from its queue when
// libusb reaps, and after a disconnect completes everything in flight with -ESHUTDOWN and refuses
// the rest with ENODEV, as drivers/usb/core/devio.c does.
//
// Thread: the ioctl handler runs on umockdev's worker thread; disconnect() may come from any
// thread. One mutex guards the URB lists and the connection state.
class SimUsbfsDevice
{
public:
    // Told about an unplug or re-enumeration the instrument asked for; called without locks held, on
    // the thread that handled the packet.
    using LinkEventSink = std::function<void(SimUsbfsDevice& device, SimInstrument::LinkEvent event)>;

    SimUsbfsDevice(std::shared_ptr<SimInstrument> instrument, uint8_t bus, uint8_t address,
                   LinkEventSink sink);
    ~SimUsbfsDevice();
    SimUsbfsDevice(const SimUsbfsDevice&) = delete;
    SimUsbfsDevice& operator=(const SimUsbfsDevice&) = delete;

    const std::shared_ptr<SimInstrument>& instrument() const { return m_instrument; }
    uint8_t bus() const { return m_bus; }
    uint8_t address() const { return m_address; }
    UMockdevIoctlBase* handler() const { return m_handler; }
    // "/dev/bus/usb/001/002"
    std::string nodePath() const;
    // "/devices/pci0000:00/0000:00:14.0/usb1/1-2"
    std::string sysfsPath() const;
    // The umockdev device record (attributes, properties and the binary descriptors attribute).
    std::string record() const;

    // The kernel side of an unplug. Idempotent.
    void disconnect();
    bool isConnected() const;

private:
    struct Urb
    {
        UMockdevIoctlData* data = nullptr;   // the usbdevfs_urb, owned reference
        UMockdevIoctlData* buffer = nullptr; // its resolved buffer, owned reference (null when empty)
        unsigned long clientAddress = 0;
        uint8_t type = 0;
        uint8_t endpoint = 0;
        int bufferLength = 0;
    };

    static int onHandleIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    bool handleIoctl(UMockdevIoctlClient* client);
    void submitUrb(UMockdevIoctlClient* client);
    void reapUrb(UMockdevIoctlClient* client);
    void discardUrb(UMockdevIoctlClient* client);
    void answerControl(Urb& urb);
    void completeUrb(Urb& urb, int status, const uint8_t* data, size_t length, size_t offset = 0);
    void serviceInQueue();
    void forwardLinkEvent();
    static void releaseUrb(Urb& urb);

    std::shared_ptr<SimInstrument> m_instrument;
    const uint8_t m_bus;
    const uint8_t m_address;
    LinkEventSink m_sink;
    const SimUsbIdentity m_identity; // fixed while plugged
    UMockdevIoctlBase* m_handler = nullptr;

    mutable std::mutex m_mutex; // guards the members below
    bool m_connected = true;
    std::deque<Urb> m_pendingIn;
    std::deque<Urb> m_completed;
    bool m_loggedUnknown = false;
};
