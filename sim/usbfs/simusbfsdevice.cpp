#include "sim/usbfs/simusbfsdevice.h"

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

// Capabilities a current kernel reports; only the bulk-related ones matter to libusb here.
constexpr uint32_t kCapabilities = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                   USBDEVFS_CAP_REAP_AFTER_DISCONNECT | USBDEVFS_CAP_ZERO_PACKET;
constexpr size_t kSetupSize = 8;

usbdevfs_urb* urbOf(UMockdevIoctlData* data)
{
    return reinterpret_cast<usbdevfs_urb*>(data->data);
}

std::string hex(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0x0F]);
    }
    return text;
}

// Reads the 32-bit value an ioctl passes by pointer (configuration or interface number).
bool readIntArgument(UMockdevIoctlClient* client, unsigned int* value)
{
    GError* error = nullptr;
    UMockdevIoctlData* data =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(unsigned int), &error);
    if (!data) {
        g_clear_error(&error);
        return false;
    }
    std::memcpy(value, data->data, sizeof(unsigned int));
    g_object_unref(data);
    return true;
}

} // namespace

SimUsbfsDevice::SimUsbfsDevice(std::shared_ptr<SimInstrument> instrument, uint8_t bus, uint8_t address,
                               LinkEventSink sink)
    : m_instrument(std::move(instrument)), m_bus(bus), m_address(address), m_sink(std::move(sink)),
      m_identity(m_instrument->usbIdentity())
{
    m_handler = umockdev_ioctl_base_new();
    g_signal_connect(m_handler, "handle-ioctl", G_CALLBACK(&SimUsbfsDevice::onHandleIoctl), this);
}

SimUsbfsDevice::~SimUsbfsDevice()
{
    g_signal_handlers_disconnect_by_data(m_handler, this);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Urb& urb : m_pendingIn) {
        releaseUrb(urb);
    }
    for (Urb& urb : m_completed) {
        releaseUrb(urb);
    }
    g_object_unref(m_handler);
}

std::string SimUsbfsDevice::nodePath() const
{
    char path[32];
    std::snprintf(path, sizeof path, "/dev/bus/usb/%03u/%03u", unsigned(m_bus), unsigned(m_address));
    return path;
}

std::string SimUsbfsDevice::sysfsPath() const
{
    char path[96];
    std::snprintf(path, sizeof path, "/sys/devices/pci0000:00/0000:00:14.0/usb%u/%u-%u", unsigned(m_bus),
                  unsigned(m_bus), unsigned(m_address));
    return path;
}

std::string SimUsbfsDevice::record() const
{
    char buffer[1024];
    std::vector<uint8_t> descriptors = m_identity.deviceDescriptor();
    const std::vector<uint8_t> configuration = m_identity.configurationDescriptor();
    descriptors.insert(descriptors.end(), configuration.begin(), configuration.end());
    std::snprintf(buffer, sizeof buffer,
                  "P: %s\n"
                  "N: bus/usb/%03u/%03u\n"
                  "E: SUBSYSTEM=usb\n"
                  "E: DEVTYPE=usb_device\n"
                  "E: DEVNAME=%s\n"
                  "E: BUSNUM=%03u\n"
                  "E: DEVNUM=%03u\n"
                  "E: PRODUCT=%x/%x/100\n"
                  "A: busnum=%u\n"
                  "A: devnum=%u\n"
                  "A: idVendor=%04x\n"
                  "A: idProduct=%04x\n"
                  "A: bcdDevice=0100\n"
                  "A: speed=480\n"
                  "A: bConfigurationValue=1\n"
                  "A: bNumConfigurations=1\n"
                  "A: bNumInterfaces= 1\n"
                  "A: devpath=%u\n",
                  sysfsPath().substr(4).c_str(), unsigned(m_bus), unsigned(m_address), nodePath().c_str(),
                  unsigned(m_bus), unsigned(m_address), unsigned(m_identity.vendorId()),
                  unsigned(m_identity.productId()), unsigned(m_bus), unsigned(m_address),
                  unsigned(m_identity.vendorId()), unsigned(m_identity.productId()), unsigned(m_address));
    return std::string(buffer) + "H: descriptors=" + hex(descriptors) + "\n";
}

void SimUsbfsDevice::disconnect()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_connected) {
        return;
    }
    m_connected = false;
    while (!m_pendingIn.empty()) {
        Urb urb = m_pendingIn.front();
        m_pendingIn.pop_front();
        completeUrb(urb, -ESHUTDOWN, nullptr, 0);
    }
}

bool SimUsbfsDevice::isConnected() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connected;
}

int SimUsbfsDevice::onHandleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    return static_cast<SimUsbfsDevice*>(self)->handleIoctl(client) ? TRUE : FALSE;
}

bool SimUsbfsDevice::handleIoctl(UMockdevIoctlClient* client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    if (request == USBDEVFS_REAPURBNDELAY || request == USBDEVFS_REAPURB) {
        reapUrb(client);
        forwardLinkEvent();
        return true;
    }
    if (!isConnected()) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return true;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        GError* error = nullptr;
        UMockdevIoctlData* data =
            umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(uint32_t), &error);
        if (!data) {
            g_clear_error(&error);
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return true;
        }
        std::memcpy(data->data, &kCapabilities, sizeof kCapabilities);
        g_object_unref(data);
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    }
    case USBDEVFS_SETCONFIGURATION: {
        unsigned int configuration = 0;
        if (!readIntArgument(client, &configuration)) {
            umockdev_ioctl_client_complete(client, -1, EFAULT);
        } else if (m_instrument->faults().setConfigurationFails()) {
            umockdev_ioctl_client_complete(client, -1, EBUSY);
        } else if (configuration != 1) {
            umockdev_ioctl_client_complete(client, -1, EINVAL);
        } else {
            umockdev_ioctl_client_complete(client, 0, 0);
        }
        return true;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
        unsigned int interface = 0;
        if (!readIntArgument(client, &interface)) {
            umockdev_ioctl_client_complete(client, -1, EFAULT);
        } else if (interface != 0) {
            umockdev_ioctl_client_complete(client, -1, request == USBDEVFS_CLAIMINTERFACE ? ENOENT : EINVAL);
        } else if (request == USBDEVFS_CLAIMINTERFACE && m_instrument->faults().claimInterfaceFails()) {
            umockdev_ioctl_client_complete(client, -1, EBUSY);
        } else {
            umockdev_ioctl_client_complete(client, 0, 0);
        }
        return true;
    }
    case USBDEVFS_SUBMITURB:
        submitUrb(client);
        forwardLinkEvent();
        return true;
    case USBDEVFS_DISCARDURB:
        discardUrb(client);
        return true;
    default: {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_loggedUnknown) {
            m_loggedUnknown = true;
            std::fprintf(stderr, "simusbfs: ioctl 0x%lx not emulated, answered ENOTTY\n", request);
        }
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        return true;
    }
    }
}

void SimUsbfsDevice::submitUrb(UMockdevIoctlClient* client)
{
    GError* error = nullptr;
    Urb urb;
    urb.data =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(usbdevfs_urb), &error);
    if (!urb.data) {
        g_clear_error(&error);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    usbdevfs_urb* raw = urbOf(urb.data);
    urb.clientAddress = urb.data->client_addr;
    urb.type = raw->type;
    urb.endpoint = raw->endpoint;
    urb.bufferLength = std::max(raw->buffer_length, 0);
    if (urb.bufferLength > 0) {
        urb.buffer = umockdev_ioctl_data_resolve(urb.data, offsetof(usbdevfs_urb, buffer),
                                                 size_t(urb.bufferLength), &error);
        if (!urb.buffer) {
            g_clear_error(&error);
            releaseUrb(urb);
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return;
        }
    }

    if (urb.type == USBDEVFS_URB_TYPE_CONTROL) {
        std::lock_guard<std::mutex> lock(m_mutex);
        answerControl(urb);
        umockdev_ioctl_client_complete(client, 0, 0);
        return;
    }
    if (urb.type != USBDEVFS_URB_TYPE_BULK) {
        releaseUrb(urb);
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    if (m_identity.maxPacketSize(urb.endpoint) == 0) {
        // Endpoint 0 is the control pipe, any other address is not in the interface.
        releaseUrb(urb);
        umockdev_ioctl_client_complete(client, -1, (urb.endpoint & 0x7F) == 0 ? EINVAL : ENOENT);
        return;
    }

    if (urb.endpoint & 0x80) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_connected) {
            // Unplugged since the ioctl was checked: queued now, nothing would ever complete it.
            releaseUrb(urb);
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return;
        }
        m_pendingIn.push_back(urb);
        serviceInQueue();
        umockdev_ioctl_client_complete(client, 0, 0);
        return;
    }

    const uint8_t* bytes = urb.buffer ? static_cast<const uint8_t*>(urb.buffer->data) : nullptr;
    const SimInstrument::Bytes packet(bytes, bytes + urb.bufferLength);
    const SimInstrument::WriteOutcome outcome = m_instrument->receivePacket(urb.endpoint, packet);
    std::lock_guard<std::mutex> lock(m_mutex);
    urbOf(urb.data)->actual_length = outcome.stalled ? 0 : int(outcome.accepted);
    urbOf(urb.data)->status = outcome.stalled ? -EPIPE : 0;
    m_completed.push_back(urb);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void SimUsbfsDevice::answerControl(Urb& urb)
{
    if (urb.bufferLength < int(kSetupSize) || !urb.buffer) {
        completeUrb(urb, -EPIPE, nullptr, 0);
        return;
    }
    const uint8_t* setup = static_cast<const uint8_t*>(urb.buffer->data);
    const uint8_t requestType = setup[0];
    const uint8_t request = setup[1];
    const uint16_t value = uint16_t(setup[2] | (setup[3] << 8));
    const uint16_t length = uint16_t(setup[6] | (setup[7] << 8));
    if (requestType == 0x80 && request == 6 && (value >> 8) <= 2 && (value >> 8) >= 1) {
        const std::vector<uint8_t> descriptor =
            (value >> 8) == 1 ? m_identity.deviceDescriptor() : m_identity.configurationDescriptor();
        const size_t room = size_t(urb.bufferLength) - kSetupSize;
        completeUrb(urb, 0, descriptor.data(), std::min({descriptor.size(), size_t(length), room}),
                    kSetupSize);
        return;
    }
    completeUrb(urb, -EPIPE, nullptr, 0); // the device stalls requests it does not support
}

void SimUsbfsDevice::completeUrb(Urb& urb, int status, const uint8_t* data, size_t length, size_t offset)
{
    if (data && length > 0 && urb.buffer) {
        std::memcpy(static_cast<uint8_t*>(urb.buffer->data) + offset, data, length);
    }
    urbOf(urb.data)->status = status;
    urbOf(urb.data)->actual_length = int(length);
    m_completed.push_back(urb);
}

void SimUsbfsDevice::serviceInQueue()
{
    for (auto it = m_pendingIn.begin(); it != m_pendingIn.end();) {
        std::optional<SimInstrument::InPacket> packet = m_instrument->takeInPacket(it->endpoint);
        if (!packet) {
            ++it;
            continue;
        }
        Urb urb = *it;
        it = m_pendingIn.erase(it);
        if (packet->stalled) {
            completeUrb(urb, -EPIPE, nullptr, 0);
        } else if (packet->data.size() > size_t(urb.bufferLength)) {
            completeUrb(urb, -EOVERFLOW, packet->data.data(), size_t(urb.bufferLength));
        } else {
            completeUrb(urb, 0, packet->data.data(), packet->data.size());
        }
    }
}

void SimUsbfsDevice::reapUrb(UMockdevIoctlClient* client)
{
    Urb urb;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_connected) {
            serviceInQueue();
        }
        if (m_completed.empty()) {
            umockdev_ioctl_client_complete(client, -1, m_connected ? EAGAIN : ENODEV);
            return;
        }
        urb = m_completed.front();
        m_completed.pop_front();
    }
    GError* error = nullptr;
    UMockdevIoctlData* target =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(void*), &error);
    if (!target) {
        g_clear_error(&error);
        releaseUrb(urb);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    umockdev_ioctl_data_set_ptr(target, 0, urb.data);
    umockdev_ioctl_client_complete(client, 0, 0);
    g_object_unref(target);
    releaseUrb(urb);
}

void SimUsbfsDevice::discardUrb(UMockdevIoctlClient* client)
{
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    unsigned long address = 0;
    std::memcpy(&address, arg->data, sizeof address);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_pendingIn.begin(); it != m_pendingIn.end(); ++it) {
        if (it->clientAddress == address) {
            // Unlinked: completes without data and takes nothing from the instrument's queue.
            Urb urb = *it;
            m_pendingIn.erase(it);
            completeUrb(urb, -ECONNRESET, nullptr, 0);
            umockdev_ioctl_client_complete(client, 0, 0);
            return;
        }
    }
    umockdev_ioctl_client_complete(client, -1, EINVAL);
}

void SimUsbfsDevice::forwardLinkEvent()
{
    const SimInstrument::LinkEvent event = m_instrument->takeLinkEvent();
    if (event == SimInstrument::LinkEvent::None) {
        return;
    }
    disconnect();
    if (m_sink) {
        m_sink(*this, event);
    }
}

void SimUsbfsDevice::releaseUrb(Urb& urb)
{
    if (urb.buffer) {
        g_object_unref(urb.buffer);
        urb.buffer = nullptr;
    }
    if (urb.data) {
        g_object_unref(urb.data);
        urb.data = nullptr;
    }
}
