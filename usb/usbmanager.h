#pragma once

#include "core/baselogger.h"
#include "core/singleton.h"
#include "usb/usbbusdeviceaddress.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QSharedPointer>
#include <QTimer>

#include <map>

struct libusb_device;
class BaseDevice;

// Owner of libusb and of the table of attached instruments. Polls the bus while it serves no
// instrument, recognises instruments by vendor and product id, creates one device object of the
// matching kind, and reports additions and removals. One instrument is served at a time: polling stops
// once one was added and resumes when its device object reports that it is gone or could not be opened.
//
// Thread: lives on the user-interface thread; the timer, the scans, the table and both signals run there.
// Ownership: the table holds shared pointers whose deleter is deleteLater, so a device that reports its
// own departure is destroyed once its signal has returned; the device is also a child of the manager.
class UsbManager : public QObject, public Singleton<UsbManager>, public BaseLogger
{
    Q_OBJECT
    friend class Singleton<UsbManager>;

public:
    static constexpr int kPollIntervalMs = 5000;

    // The process-wide manager, created on first use. The logger factory is made first: the manager's
    // constructor needs it, and singletons are created under one lock that cannot be taken twice.
    static UsbManager* instance();

    // Starts libusb (default context), applies "--usb-debug"/"--usb-info" from the application's
    // arguments and starts polling; the first scan follows the first timeout. Runs once.
    void init();
    // Destroys the device objects and shuts libusb down; called after the event loop has ended.
    void deinit();

    // The table entry, or null.
    QSharedPointer<BaseDevice> device(const UsbBusDeviceAddress& address) const;
    QList<UsbBusDeviceAddress> addresses() const;

    bool isPolling() const { return m_pollTimer.isActive(); }
    int pollInterval() const { return m_pollTimer.interval(); }
    // For tests and tools only: shortens the poll interval so that a test need not wait out 5000 ms.
    // The product never calls it.
    void setPollInterval(int intervalMs);

public slots:
    // Runs one poll now, as if the timer had fired (for tests; the product relies on the timer).
    void pollNow();

signals:
    void deviceAdded(UsbBusDeviceAddress address);
    void deviceRemoved(UsbBusDeviceAddress address);

private slots:
    void onPollDevicesTimeout();
    void deviceDisconnected();
    void deviceOpenFailed(QString step, int error);

private:
    UsbManager();
    ~UsbManager() override;

    void scan();
    void removeDevices(const QList<UsbBusDeviceAddress>& addresses);
    // The device kind for vendor:product, or null (with the error line) for an unknown product.
    QSharedPointer<BaseDevice> createDevice(quint16 vendor, quint16 product, libusb_device* device);
    void restartPolling();

    bool m_initialised = false;
    QTimer m_pollTimer;
    std::map<UsbBusDeviceAddress, QSharedPointer<BaseDevice>> m_devices;
    // Addresses whose instrument could not be opened, reported once each; retried only when no other
    // recognised instrument is attached, and forgotten when the address leaves the bus.
    QSet<UsbBusDeviceAddress> m_openFailures;
};
