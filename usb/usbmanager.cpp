#include "usb/usbmanager.h"

#include "core/loggerfactory.h"
#include "devices/basedevice.h"
#include "devices/controlunit.h"
#include "devices/tymbrelsensor.h"
#include "devices/tymbrelsensor2.h"
#include "devices/updateonly.h"
#include "devices/vectarisemitter.h"
#include "devices/vectarisminiantenna.h"
#include "devices/vectarissensor.h"

#include <QCoreApplication>

#include <libusb.h>

namespace {
constexpr quint16 kVendorIds[] = {0x1E84, 0x2952};

bool acceptedVendor(quint16 vendor)
{
    for (const quint16 accepted : kVendorIds) {
        if (vendor == accepted) {
            return true;
        }
    }
    return false;
}

UsbBusDeviceAddress busAddressOf(libusb_device* device)
{
    return UsbBusDeviceAddress(libusb_get_bus_number(device), libusb_get_device_address(device));
}

// What went wrong, in words a technician can act on.
QString openFailureText(int error)
{
    switch (error) {
    case LIBUSB_ERROR_ACCESS:
        return QCoreApplication::translate("UsbManager", "access was denied");
    case LIBUSB_ERROR_BUSY:
        return QCoreApplication::translate("UsbManager", "it is in use by another program");
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return QCoreApplication::translate("UsbManager", "no suitable driver is installed for it");
    case LIBUSB_ERROR_NO_DEVICE:
        return QCoreApplication::translate("UsbManager", "it was unplugged");
    default:
        return QString::fromLatin1(libusb_error_name(error));
    }
}
} // namespace

UsbManager* UsbManager::instance()
{
    LoggerFactory::instance();
    return Singleton<UsbManager>::instance();
}

UsbManager::UsbManager() : QObject(nullptr), BaseLogger(QStringLiteral("UsbManager"))
{
    UsbBusDeviceAddress::registerMetaType();
    m_pollTimer.setInterval(kPollIntervalMs);
}

UsbManager::~UsbManager()
{
    deinit();
}

void UsbManager::init()
{
    if (m_initialised) {
        return;
    }
    m_initialised = true;
    logger()->trace("Initialize USB Manager");
    const int rc = libusb_init(nullptr);
    if (rc != 0) {
        logger()->error("libusb_init failed: {}", libusb_error_name(rc));
    }

    const QStringList arguments = QCoreApplication::arguments();
    int level = -1;
    if (arguments.contains(QStringLiteral("--usb-debug"))) {
        level = LIBUSB_LOG_LEVEL_DEBUG;
    }
    if (arguments.contains(QStringLiteral("--usb-info"))) {
        level = LIBUSB_LOG_LEVEL_INFO;
    }
    if (level >= 0) {
        libusb_set_option(nullptr, LIBUSB_OPTION_LOG_LEVEL, level);
    }

    const libusb_version* version = libusb_get_version();
    logger()->debug("libusb version: {}.{}.{}{}", version->major, version->minor, version->micro,
                    version->rc);

    connect(&m_pollTimer, &QTimer::timeout, this, &UsbManager::onPollDevicesTimeout, Qt::UniqueConnection);
    m_pollTimer.start();
}

void UsbManager::deinit()
{
    if (!m_initialised) {
        return;
    }
    m_initialised = false;
    logger()->trace("Deinit USB Manager");
    m_pollTimer.stop();
    // The device objects hold libusb references: they must go before the context does.
    m_devices.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    libusb_exit(nullptr);
}

QSharedPointer<BaseDevice> UsbManager::device(const UsbBusDeviceAddress& address) const
{
    const auto it = m_devices.find(address);
    return it == m_devices.end() ? QSharedPointer<BaseDevice>() : it->second;
}

QList<UsbBusDeviceAddress> UsbManager::addresses() const
{
    QList<UsbBusDeviceAddress> result;
    for (const auto& entry : m_devices) {
        result.append(entry.first);
    }
    return result;
}

void UsbManager::setPollInterval(int intervalMs)
{
    m_pollTimer.setInterval(intervalMs);
}

void UsbManager::pollNow()
{
    onPollDevicesTimeout();
}

void UsbManager::restartPolling()
{
    if (m_initialised) {
        m_pollTimer.start();
    }
}

void UsbManager::onPollDevicesTimeout()
{
    QList<UsbBusDeviceAddress> gone;
    for (const auto& entry : m_devices) {
        if (entry.second && !entry.second->isConnected()) {
            logger()->debug("Device {} disconnected", entry.second->name());
            gone.append(entry.first);
        }
    }
    removeDevices(gone);
    if (m_devices.empty()) {
        scan();
    }
}

QSharedPointer<BaseDevice> UsbManager::createDevice(quint16 vendor, quint16 product, libusb_device* device)
{
    BaseDevice* created = nullptr;
    switch ((quint32(vendor) << 16) | product) {
    case 0x1E843000:
        logger()->debug("tymbrel+ control unit found!");
        created = new ControlUnit(device, this);
        break;
    case 0x1E843001:
        logger()->debug("tymbrel+ sensor found!");
        created = new TymbrelSensor(device, this);
        break;
    case 0x29520004:
        logger()->debug("Vectaris Sensor found!");
        created = new VectarisSensor(device, this);
        break;
    case 0x29520007:
        logger()->debug("Vectaris Mini Antenna found!");
        created = new VectarisMiniAntenna(device, this);
        break;
    case 0x29520008:
        logger()->debug("Vectaris Emitter found!");
        created = new VectarisEmitter(device, this);
        break;
    case 0x2952000B:
        logger()->debug("tymbrel2+ sensor found!");
        created = new TymbrelSensor2(device, this);
        break;
    case 0x2952FFFF:
        logger()->debug("Updateonly found!");
        created = new UpdateOnly(device, this);
        break;
    default:
        return QSharedPointer<BaseDevice>();
    }
    // deleteLater: a device may be dropped from inside one of its own signals.
    return QSharedPointer<BaseDevice>(created, &QObject::deleteLater);
}

void UsbManager::scan()
{
    logger()->trace("Scan for devices...");
    // libusb releases its own reference to a departed device only while it handles events, which
    // otherwise happens only inside transfers. A scan runs while no instrument is served, so no
    // transfer is in flight: drain those notifications here without waiting.
    timeval noWait{0, 0};
    libusb_handle_events_timeout_completed(nullptr, &noWait, nullptr);
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(nullptr, &list);
    logger()->trace("Found {0:d} devices", count);
    if (count < 0) {
        return;
    }

    struct Candidate
    {
        libusb_device* device;
        UsbBusDeviceAddress address;
        quint16 vendor;
        quint16 product;
    };
    QList<Candidate> candidates;
    QSet<UsbBusDeviceAddress> present;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device* device = list[i];
        libusb_device_descriptor descriptor{};
        const int rc = libusb_get_device_descriptor(device, &descriptor);
        if (rc != 0) {
            logger()->error("Failed to get device descriptor: {}", libusb_error_name(rc));
            continue;
        }
        const UsbBusDeviceAddress address = busAddressOf(device);
        present.insert(address);
        logger()->trace("Device found: {:#x}:{:#x} (bus {:d}, device {:d})", descriptor.idVendor,
                        descriptor.idProduct, address.bus(), address.address());
        if (!acceptedVendor(descriptor.idVendor)) {
            continue;
        }
        if (m_devices.count(address) != 0) {
            logger()->trace("Device already exists (bus {:d}, device {:d})", address.bus(),
                            address.address());
            continue;
        }
        switch ((quint32(descriptor.idVendor) << 16) | descriptor.idProduct) {
        case 0x1E843000:
        case 0x1E843001:
        case 0x29520004:
        case 0x29520007:
        case 0x29520008:
        case 0x2952000B:
        case 0x2952FFFF:
            candidates.append({device, address, descriptor.idVendor, descriptor.idProduct});
            break;
        default:
            logger()->error("Unknow device found: {:#x}:{:#x}", descriptor.idVendor, descriptor.idProduct);
            break;
        }
    }
    m_openFailures.intersect(present);

    // The first recognised instrument in list order, passing over those that already failed to open as
    // long as another one is there (so that one unopenable instrument does not hide the others).
    const Candidate* chosen = nullptr;
    for (const Candidate& candidate : qAsConst(candidates)) {
        if (!m_openFailures.contains(candidate.address)) {
            chosen = &candidate;
            break;
        }
    }
    if (!chosen && !candidates.isEmpty()) {
        chosen = &candidates.first();
    }

    if (chosen) {
        const UsbBusDeviceAddress address = chosen->address;
        QSharedPointer<BaseDevice> created = createDevice(chosen->vendor, chosen->product, chosen->device);
        m_devices[address] = created;
        logger()->trace("Add device (bus {:d}, device {:d})", address.bus(), address.address());
        connect(created.data(), &BaseDevice::disconnected, this, &UsbManager::deviceDisconnected);
        connect(created.data(), &BaseDevice::openFailed, this, &UsbManager::deviceOpenFailed);
        m_pollTimer.stop();
        libusb_free_device_list(list, 1);
        emit deviceAdded(address);
        return;
    }
    libusb_free_device_list(list, 1);
}

void UsbManager::removeDevices(const QList<UsbBusDeviceAddress>& addresses)
{
    for (const UsbBusDeviceAddress& address : addresses) {
        logger()->trace("Remove device (bus {:d}, device {:d})", address.bus(), address.address());
        m_devices.erase(address);
        emit deviceRemoved(address);
    }
}

void UsbManager::deviceDisconnected()
{
    auto* sender = qobject_cast<BaseDevice*>(QObject::sender());
    if (sender) {
        for (const auto& entry : m_devices) {
            if (entry.second.data() == sender) {
                removeDevices({entry.first});
                break;
            }
        }
    }
    restartPolling();
}

void UsbManager::deviceOpenFailed(QString step, int error)
{
    auto* sender = qobject_cast<BaseDevice*>(QObject::sender());
    if (sender) {
        for (const auto& entry : m_devices) {
            if (entry.second.data() != sender) {
                continue;
            }
            const UsbBusDeviceAddress address = entry.first;
            logger()->error("Can't open {} (bus {:d}, device {:d}): {} failed with {}", sender->name(),
                            address.bus(), address.address(), step, libusb_error_name(error));
            if (!m_openFailures.contains(address)) {
                m_openFailures.insert(address);
                sender->notifyUser(
                    NotificationMessageType::Error,
                    tr("The %1 (USB %2) could not be opened: %3. On Linux a udev rule must give you access "
                       "to "
                       "it; on Windows check its driver and close any other program that uses it.")
                        .arg(sender->name(), address.toString(), openFailureText(error)));
            }
            removeDevices({address});
            break;
        }
    }
    restartPolling();
}
