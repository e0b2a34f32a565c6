#include "usb/usbmanager.h"

#include "usb/connectiondoctor.h"
#include "usb/usbinstrument.h"
#include "usb/usbinstrumentfactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>

#include <libusb.h>

#if defined(Q_OS_UNIX)
#include <poll.h>
#endif

namespace {
constexpr quint16 kVendorIds[] = {0x1E84, 0x2952};

// While another thread (a worker inside a transfer) handles libusb's events, the descriptors that woke
// us stay readable until it gets to them: pause instead of spinning.
constexpr int kEventPauseMs = 20;

UsbBusDeviceAddress busAddressOf(libusb_device* device)
{
    return UsbBusDeviceAddress(libusb_get_bus_number(device), libusb_get_device_address(device));
}

int LIBUSB_CALL hotplugArrived(libusb_context*, libusb_device* device, libusb_hotplug_event, void* userData)
{
    // Runs on whichever thread handles libusb's events, possibly a worker inside a transfer: only queue.
    auto* manager = static_cast<UsbManager*>(userData);
    const quint8 bus = libusb_get_bus_number(device);
    const quint8 address = libusb_get_device_address(device);
    QMetaObject::invokeMethod(manager, "onHotplugArrival", Qt::QueuedConnection, Q_ARG(quint8, bus),
                              Q_ARG(quint8, address));
    return 0;
}
} // namespace

bool UsbManager::isAcceptedVendor(quint16 vendor)
{
    for (const quint16 accepted : kVendorIds) {
        if (vendor == accepted) {
            return true;
        }
    }
    return false;
}

UsbManager::UsbManager() : QObject(nullptr), BaseLogger(QStringLiteral("UsbManager"))
{
    UsbBusDeviceAddress::registerMetaType();
    m_pollTimer.setInterval(kPollIntervalMs);
    // Retries fall due on whole poll intervals after a failure; a coarse timer firing early would
    // push each of them back by a whole interval.
    m_pollTimer.setTimerType(Qt::PreciseTimer);
    m_libusbInit = [] { return libusb_init(nullptr); };
    m_status = ConnectionDoctor::waitingText();
}

UsbManager::~UsbManager()
{
    deinit();
}

void UsbManager::setInstrumentFactory(std::unique_ptr<UsbInstrumentFactory> factory)
{
    m_factory = std::move(factory);
}

void UsbManager::setCandidateFilter(CandidateFilter filter)
{
    m_candidateFilter = std::move(filter);
}

void UsbManager::init()
{
    if (m_initialised) {
        return;
    }
    m_initialised = true;
    logger()->trace("Initialize USB Manager");
    startLibusb();
    connect(&m_pollTimer, &QTimer::timeout, this, &UsbManager::onPollDevicesTimeout, Qt::UniqueConnection);
    m_pollTimer.start();
}

bool UsbManager::startLibusb()
{
    if (m_usbAvailable) {
        return true;
    }
    const int rc = m_libusbInit();
    if (rc != 0) {
        // Said once per cause; every later poll tries again quietly.
        if (rc != m_lastInitError) {
            m_lastInitError = rc;
            const ConnectionDoctor::Diagnosis diagnosis =
                ConnectionDoctor::usbUnavailable(ConnectionDoctor::currentPlatform(), rc);
            logger()->error("libusb_init failed: {}", libusb_error_name(rc));
            m_status = diagnosis.text;
            emit connectionProblem(UsbBusDeviceAddress(), diagnosis.text);
            emit connectionStatusChanged(m_status);
        }
        return false;
    }
    m_usbAvailable = true;
    m_lastInitError = 0;

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
    startHotplug();
    updateStatus();
    return true;
}

void UsbManager::startHotplug()
{
    if (!m_hotplugEnabled || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
        return;
    }
    // libusb delivers hotplug callbacks only while somebody handles its events; there is no event
    // thread, so the user-interface thread watches libusb's readable descriptors (its event pipe and
    // timer) and handles events without waiting when one of them wakes. Device nodes are polled for
    // writing and are left to the workers' transfers.
#if defined(Q_OS_UNIX)
    const libusb_pollfd** fds = libusb_get_pollfds(nullptr);
    if (!fds) {
        return; // no descriptors to watch on this platform: polling alone
    }
    const int rc = libusb_hotplug_register_callback(
        nullptr, LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED, LIBUSB_HOTPLUG_NO_FLAGS, LIBUSB_HOTPLUG_MATCH_ANY,
        LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY, &hotplugArrived, this, &m_hotplugHandle);
    if (rc != LIBUSB_SUCCESS) {
        logger()->warn("No hotplug notifications, polling only: {}", libusb_error_name(rc));
        libusb_free_pollfds(fds);
        return;
    }
    m_hotplugRegistered = true;
    for (const libusb_pollfd** fd = fds; *fd; ++fd) {
        if ((*fd)->events & POLLIN) {
            auto notifier = std::make_unique<QSocketNotifier>((*fd)->fd, QSocketNotifier::Read);
            connect(notifier.get(), &QSocketNotifier::activated, this, &UsbManager::onLibusbEvents);
            m_notifiers.push_back(std::move(notifier));
        }
    }
    libusb_free_pollfds(fds);
    logger()->debug("Hotplug arrivals watched on {} descriptors", m_notifiers.size());
#endif
}

void UsbManager::stopHotplug()
{
    m_notifiers.clear();
    if (m_hotplugRegistered) {
        libusb_hotplug_deregister_callback(nullptr, m_hotplugHandle);
        m_hotplugRegistered = false;
    }
}

void UsbManager::onLibusbEvents()
{
    if (libusb_try_lock_events(nullptr) == 0) {
        if (libusb_event_handling_ok(nullptr)) {
            timeval noWait{0, 0};
            libusb_handle_events_locked(nullptr, &noWait);
        }
        libusb_unlock_events(nullptr);
        return;
    }
    for (const auto& notifier : m_notifiers) {
        notifier->setEnabled(false);
    }
    QTimer::singleShot(kEventPauseMs, this, [this] {
        for (const auto& notifier : m_notifiers) {
            notifier->setEnabled(true);
        }
    });
}

void UsbManager::onHotplugArrival(quint8 bus, quint8 address)
{
    if (!m_initialised || !m_usbAvailable) {
        return;
    }
    // A re-plugged instrument comes back at a new address, so what was said about its old one and its
    // retry pause do not hold it back; the arrival event of an address already scanned may also come
    // late, so it changes nothing but the moment of the scan.
    logger()->trace("Hotplug arrival (bus {:d}, device {:d})", bus, address);
    if (m_devices.empty()) {
        scan();
    }
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
    if (m_usbAvailable) {
        stopHotplug();
        libusb_exit(nullptr);
        m_usbAvailable = false;
    }
}

QSharedPointer<UsbInstrument> UsbManager::device(const UsbBusDeviceAddress& address) const
{
    const auto it = m_devices.find(address);
    return it == m_devices.end() ? QSharedPointer<UsbInstrument>() : it->second;
}

QList<UsbBusDeviceAddress> UsbManager::addresses() const
{
    QList<UsbBusDeviceAddress> result;
    for (const auto& entry : m_devices) {
        result.append(entry.first);
    }
    return result;
}

QString UsbManager::connectionStatus() const
{
    return m_status;
}

QStringList UsbManager::connectionProblems() const
{
    QStringList problems;
    for (const auto& problem : m_problems) {
        problems << QStringLiteral("bus %1, device %2: %3")
                        .arg(problem.first.bus())
                        .arg(problem.first.address())
                        .arg(problem.second);
    }
    return problems;
}

void UsbManager::setPollInterval(int intervalMs)
{
    m_pollTimer.setInterval(intervalMs);
}

void UsbManager::setClockForTesting(std::function<qint64()> clock)
{
    m_clock = std::move(clock);
}

void UsbManager::setLibusbInitForTesting(std::function<int()> init)
{
    m_libusbInit = std::move(init);
}

qint64 UsbManager::now() const
{
    if (m_clock) {
        return m_clock();
    }
    static QElapsedTimer clock;
    if (!clock.isValid()) {
        clock.start();
    }
    return clock.elapsed();
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
    if (!m_usbAvailable && !startLibusb()) {
        return;
    }
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

QSharedPointer<UsbInstrument> UsbManager::createDevice(quint32 usbId, libusb_device* device)
{
    if (!m_factory) {
        logger()->error("No device factory installed: {:#x} is not served", usbId);
        return QSharedPointer<UsbInstrument>();
    }
    UsbInstrument* created = m_factory->create(usbId, device, this);
    if (!created) {
        return QSharedPointer<UsbInstrument>();
    }
    // deleteLater: a device may be dropped from inside one of its own signals.
    return QSharedPointer<UsbInstrument>(created, &QObject::deleteLater);
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
        quint32 usbId;
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
        if (!isAcceptedVendor(descriptor.idVendor)) {
            continue;
        }
        if (m_devices.count(address) != 0) {
            logger()->trace("Device already exists (bus {:d}, device {:d})", address.bus(),
                            address.address());
            continue;
        }
        const quint32 usbId = (quint32(descriptor.idVendor) << 16) | descriptor.idProduct;
        if (!m_factory) {
            logger()->error("No device factory installed: {:#x} is not served", usbId);
            continue;
        }
        if (m_factory->foundLine(usbId)) {
            if (!m_candidateFilter || m_candidateFilter(address, usbId)) {
                candidates.append({device, address, usbId});
            }
            continue;
        }
        logger()->error("Unknow device found: {:#x}:{:#x}", descriptor.idVendor, descriptor.idProduct);
        reportProblem(address, ConnectionDoctor::unknownProduct(descriptor.idVendor, descriptor.idProduct,
                                                                address.toString())
                                   .text);
    }
    m_backoff.retainOnly(present);
    forgetProblems(present);

    // The first recognised instrument in list order whose retry is due. One that waits for its next
    // attempt does not hide the others.
    const qint64 time = now();
    const Candidate* chosen = nullptr;
    for (const Candidate& candidate : qAsConst(candidates)) {
        if (m_backoff.mayAttempt(candidate.address, time)) {
            chosen = &candidate;
            break;
        }
    }

    if (chosen) {
        const UsbBusDeviceAddress address = chosen->address;
        logger()->debug(m_factory->foundLine(chosen->usbId));
        QSharedPointer<UsbInstrument> created = createDevice(chosen->usbId, chosen->device);
        if (!created) {
            libusb_free_device_list(list, 1);
            return;
        }
        m_devices[address] = created;
        logger()->trace("Add device (bus {:d}, device {:d})", address.bus(), address.address());
        connect(created.data(), &UsbInstrument::disconnected, this, &UsbManager::deviceDisconnected);
        connect(created.data(), &UsbInstrument::openFailed, this, &UsbManager::deviceOpenFailed);
        connect(created.data(), &UsbInstrument::connected, this,
                [this, address] { m_backoff.recordConnected(address, now()); });
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
    auto* sender = qobject_cast<UsbInstrument*>(QObject::sender());
    if (sender) {
        for (const auto& entry : m_devices) {
            if (entry.second.data() != sender) {
                continue;
            }
            // Only a connection that lasted ends the pauses: one that opens and drops at once would
            // otherwise be retried on every poll, with a new device object each time.
            const UsbBusDeviceAddress address = entry.first;
            const qint64 delay = m_backoff.recordDisconnected(address, now());
            if (delay == 0) {
                forgetProblem(address);
            } else {
                logger()->warn("{} (bus {:d}, device {:d}) dropped soon after it was opened; next attempt "
                               "in {} s",
                               sender->name(), address.bus(), address.address(), delay / 1000);
                if (m_backoff.drops(address) >= 2) {
                    reportProblem(
                        address,
                        ConnectionDoctor::keepsDisconnecting(sender->name(), address.toString()).text);
                }
            }
            removeDevices({address});
            break;
        }
    }
    restartPolling();
}

void UsbManager::deviceOpenFailed(QString step, int error)
{
    auto* sender = qobject_cast<UsbInstrument*>(QObject::sender());
    if (sender) {
        for (const auto& entry : m_devices) {
            if (entry.second.data() != sender) {
                continue;
            }
            const UsbBusDeviceAddress address = entry.first;
            const qint64 delay = m_backoff.recordFailure(address, now());
            // The one line per attempt; the worker and transport keep theirs at debug level.
            logger()->error("Can't open {} (bus {:d}, device {:d}): {} failed with {}; next attempt in {} s",
                            sender->name(), address.bus(), address.address(),
                            step.isEmpty() ? QStringLiteral("open") : step, libusb_error_name(error),
                            delay / 1000);
            if (m_backoff.failures(address) == 1) {
                reportProblem(address,
                              ConnectionDoctor::openFailure(ConnectionDoctor::currentPlatform(),
                                                            sender->name(), address.toString(), step, error)
                                  .text);
            }
            removeDevices({address});
            break;
        }
    }
    restartPolling();
}

void UsbManager::reportProblem(const UsbBusDeviceAddress& address, const QString& message)
{
    for (const auto& problem : qAsConst(m_problems)) {
        if (problem.first == address) {
            return; // said already for this plug
        }
    }
    m_problems.append({address, message});
    emit connectionProblem(address, message);
    updateStatus();
}

void UsbManager::forgetProblem(const UsbBusDeviceAddress& address)
{
    for (int i = m_problems.size() - 1; i >= 0; --i) {
        if (m_problems.at(i).first == address) {
            m_problems.removeAt(i);
            updateStatus();
        }
    }
}

void UsbManager::forgetProblems(const QSet<UsbBusDeviceAddress>& present)
{
    const int before = m_problems.size();
    for (int i = m_problems.size() - 1; i >= 0; --i) {
        if (!present.contains(m_problems.at(i).first)) {
            m_problems.removeAt(i);
        }
    }
    if (m_problems.size() != before) {
        updateStatus();
    }
}

void UsbManager::updateStatus()
{
    QString status;
    if (!m_problems.isEmpty()) {
        status = m_problems.last().second;
    } else if (m_initialised && !m_usbAvailable) {
        status = ConnectionDoctor::usbUnavailable(ConnectionDoctor::currentPlatform(), m_lastInitError).text;
    } else {
        status = ConnectionDoctor::waitingText();
    }
    if (status != m_status) {
        m_status = status;
        emit connectionStatusChanged(m_status);
    }
}
