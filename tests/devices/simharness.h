#pragma once

#include "devices/basedevice.h"
#include "devices/devicefactory.h"
#include "logcapture.h"
#include "sim/usbfs/simusbfixture.h"
#include "usb/usbmanager.h"

#include <QCoreApplication>
#include <QSharedPointer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// Readable test failures for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// What a device reported back: every finished job's name and result, and its notifications.
struct DeviceRecorder
{
    QStringList jobs;
    QList<int> results;
    QList<QPair<NotificationMessageType, QString>> notes;
    QList<QVariantList> progress;

    void attach(BaseDevice* device)
    {
        QObject::connect(device, &BaseDevice::jobResult, device, [this](QString name, int result, QString) {
            jobs << name;
            results << result;
        });
        QObject::connect(
            device, &BaseDevice::notify, device,
            [this](NotificationMessageType type, QString message) { notes << qMakePair(type, message); });
        QObject::connect(device, &BaseDevice::progressChanged, device,
                         [this](QString name, int value, int maximum, QString message) {
                             progress << QVariantList{name, value, maximum, message};
                         });
    }
    int resultOf(const QString& job) const
    {
        const int index = jobs.lastIndexOf(job);
        return index < 0 ? 12345 : results.at(index);
    }
};

// The emulated bus and the real discovery: every test gets a fresh bus (created before libusb starts,
// destroyed after it stopped) and a UsbManager that polls every kTestPollMs instead of 5000 ms, so
// that no test waits out the production poll.
class SimHarness : public SimUsbFixture
{
protected:
    static constexpr int kTestPollMs = 30;
#ifdef SIM_LOG_LEVEL
    static constexpr int kLogLevel = SIM_LOG_LEVEL;
#else
    static constexpr int kLogLevel = 1;
#endif

    bool initialiseLibusb() const override
    {
        return false;
    } // UsbManager starts and stops libusb

    void SetUp() override
    {
        SimUsbFixture::SetUp();
        log().clear();
        DeviceFactory::install();
        manager()->setPollInterval(kTestPollMs);
        manager()->init();
    }

    void TearDown() override
    {
        bus().unplugAll();
        manager()->deinit();
        flushDeletes();
        SimUsbFixture::TearDown();
    }

    // One capture per process: loggers keep the sinks they were created with.
    static LogCapture& log()
    {
        static LogCapture* capture = new LogCapture(kLogLevel); // lives until process exit
        return *capture;
    }
    static UsbManager* manager()
    {
        return UsbManager::instance();
    }
    static QSharedPointer<BaseDevice> deviceAt(const UsbBusDeviceAddress& address)
    {
        return qSharedPointerObjectCast<BaseDevice>(manager()->device(address));
    }

    // Plugs `instrument` in and waits until the discovery added it, its transport opened and the
    // identity and option reads that follow the connection came back.
    QSharedPointer<BaseDevice> plugAndSettle(const std::shared_ptr<SimInstrument>& instrument,
                                             DeviceRecorder* recorder = nullptr, int timeoutMs = 10000)
    {
        QSignalSpy added(manager(), &UsbManager::deviceAdded);
        QMetaObject::Connection attach;
        if (recorder) {
            // Attached before anything can come back, as the main window does.
            attach = QObject::connect(
                manager(), &UsbManager::deviceAdded,
                [recorder](UsbBusDeviceAddress address) { recorder->attach(deviceAt(address).data()); });
        }
        plug(instrument);
        const bool wasAdded = added.wait(timeoutMs) || added.count() > 0;
        QObject::disconnect(attach);
        if (!wasAdded) {
            ADD_FAILURE() << "instrument was not added";
            return {};
        }
        QSharedPointer<BaseDevice> device = deviceAt(added.at(0).at(0).value<UsbBusDeviceAddress>());
        if (!device) {
            ADD_FAILURE() << "no device object for the added address";
            return {};
        }
        waitSettled(device, timeoutMs);
        return device;
    }

    // Waits until the device is connected, its identity was read and every job it posted came back.
    static bool waitSettled(const QSharedPointer<BaseDevice>& device, int timeoutMs = 10000)
    {
        const bool settled = QTest::qWaitFor(
            [&] {
                return device && device->isConnected() && !device->chipId().isEmpty() &&
                       device->pendingJobCount() == 0;
            },
            timeoutMs);
        if (!settled) {
            ADD_FAILURE() << "device did not settle";
        }
        return settled;
    }

    // Waits until no job of the device is in flight.
    static bool waitIdle(const QSharedPointer<BaseDevice>& device, int timeoutMs = 20000)
    {
        return QTest::qWaitFor([&] { return device->pendingJobCount() == 0; }, timeoutMs);
    }

    // Waits until the discovery let go of every device (after an unplug or a reboot).
    static bool waitTableEmpty(int timeoutMs = 10000)
    {
        return QTest::qWaitFor([] { return manager()->addresses().isEmpty(); }, timeoutMs);
    }

    // Destroys device objects the discovery let go of (their deleter is deleteLater).
    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};
