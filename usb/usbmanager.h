#pragma once

#include "core/baselogger.h"
#include "core/singleton.h"
#include "usb/openbackoff.h"
#include "usb/usbbusdeviceaddress.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QSharedPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

struct libusb_device;
class QSocketNotifier;
class UsbInstrument;
class UsbInstrumentFactory;

// Owner of libusb and of the table of attached instruments. Polls the bus while it serves no
// instrument and, where libusb offers hotplug (Linux), scans at once when a device arrives; recognises
// instruments by vendor and product id and has the installed factory create one device object for
// the recognised one; reports additions and removals. One instrument is served at a time: polling stops
// once one was added and resumes when its device object reports that it is gone or could not be opened.
// An instrument that cannot be opened, or that keeps dropping out soon after it was opened, is retried
// with growing pauses (OpenBackoff), and what stands in the way is said once per plug in the user's
// words (connectionProblem, connectionStatus).
//
// Thread: lives on the user-interface thread; the timer, the scans, the table and every signal run
// there. Hotplug callbacks may run on any thread that handles libusb events; they only queue a scan.
// Ownership: the table holds shared pointers whose deleter is deleteLater, so a device that reports its
// own departure is destroyed once its signal has returned; the device is also a child of the manager.
class UsbManager : public QObject, public Singleton<UsbManager>, public BaseLogger
{
    Q_OBJECT
    friend class Singleton<UsbManager>;

public:
    static constexpr int kPollIntervalMs = 5000;

    static bool isAcceptedVendor(quint16 vendor);

    // The factory that recognises instruments ((vendor << 16) | product) and creates their device objects.
    // Must be installed before the first scan; without one nothing is recognised.
    void setInstrumentFactory(std::unique_ptr<UsbInstrumentFactory> factory);

    // Which recognised instruments may be served: a scan passes over those for which `filter` (address,
    // (vendor << 16) | product) says no, as if they were not there. Without a filter (the default, and
    // the window's case) every recognised instrument may be served. The command line narrows it to the
    // instrument asked for with --device.
    using CandidateFilter = std::function<bool(const UsbBusDeviceAddress& address, quint32 usbId)>;
    void setCandidateFilter(CandidateFilter filter);
    CandidateFilter candidateFilter() const { return m_candidateFilter; }

    // Starts libusb (default context), applies "--usb-debug"/"--usb-info" from the application's
    // arguments, registers for hotplug arrivals where offered and starts polling; the first scan follows
    // the first timeout. Runs once. When libusb cannot be started, says so and tries again on every poll.
    void init();
    // Destroys the device objects and shuts libusb down; called after the event loop has ended.
    void deinit();

    // The table entry, or null.
    QSharedPointer<UsbInstrument> device(const UsbBusDeviceAddress& address) const;
    QList<UsbBusDeviceAddress> addresses() const;

    bool isPolling() const { return m_pollTimer.isActive(); }
    int pollInterval() const { return m_pollTimer.interval(); }
    bool isUsbAvailable() const { return m_usbAvailable; }
    bool hasHotplug() const { return !m_notifiers.empty(); }
    // What stands in the way of a connection, in the user's words, or what the tool waits for.
    QString connectionStatus() const;
    // Every problem said for an instrument still on the bus ("bus 1, device 5: ..."), oldest first.
    QStringList connectionProblems() const;

    // For tests and tools only: shortens the poll interval so that a test need not wait out 5000 ms.
    // The product never calls it.
    void setPollInterval(int intervalMs);
    // For tests only: the monotonic clock (milliseconds) the back-off reads, and the call that starts
    // libusb (returns a libusb code), so that a failing start can be provoked.
    void setClockForTesting(std::function<qint64()> clock);
    void setLibusbInitForTesting(std::function<int()> init);
    // For tests only: no hotplug registration even where libusb offers it (polling alone).
    void setHotplugEnabledForTesting(bool enabled) { m_hotplugEnabled = enabled; }

public slots:
    // Runs one poll now, as if the timer had fired (for tests; the product relies on the timer).
    void pollNow();

signals:
    void deviceAdded(UsbBusDeviceAddress address);
    void deviceRemoved(UsbBusDeviceAddress address);
    // Said once per plug: an instrument of our vendors is on the bus but cannot be used.
    void connectionProblem(UsbBusDeviceAddress address, QString message);
    // connectionStatus() changed.
    void connectionStatusChanged(QString status);

private slots:
    void onPollDevicesTimeout();
    void deviceDisconnected();
    void deviceOpenFailed(QString step, int error);
    void onHotplugArrival(quint8 bus, quint8 address);
    void onLibusbEvents();

private:
    UsbManager();
    ~UsbManager() override;

    bool startLibusb();
    void startHotplug();
    void stopHotplug();
    void scan();
    void removeDevices(const QList<UsbBusDeviceAddress>& addresses);
    QSharedPointer<UsbInstrument> createDevice(quint32 usbId, libusb_device* device);
    void restartPolling();
    qint64 now() const;
    void reportProblem(const UsbBusDeviceAddress& address, const QString& message);
    void forgetProblem(const UsbBusDeviceAddress& address);
    void forgetProblems(const QSet<UsbBusDeviceAddress>& present);
    void updateStatus();

    bool m_initialised = false;
    bool m_usbAvailable = false;
    int m_lastInitError = 0;
    QTimer m_pollTimer;
    std::map<UsbBusDeviceAddress, QSharedPointer<UsbInstrument>> m_devices;
    std::unique_ptr<UsbInstrumentFactory> m_factory;
    CandidateFilter m_candidateFilter;
    OpenBackoff m_backoff;
    // Problems said for addresses still on the bus (once per plug), in the order they were said.
    QList<QPair<UsbBusDeviceAddress, QString>> m_problems;
    QString m_status;
    std::function<qint64()> m_clock;
    std::function<int()> m_libusbInit;
    bool m_hotplugEnabled = true;
    int m_hotplugHandle = 0;
    bool m_hotplugRegistered = false;
    std::vector<std::unique_ptr<QSocketNotifier>> m_notifiers; // libusb's readable event descriptors
};
