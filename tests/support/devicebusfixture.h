#pragma once

#include "devices/basedevice.h"
#include "devices/devicefactory.h"
#include "logcapture.h"
#include "sim/simprotocol.h"
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

// Option bytes between the simulated instrument's and the tool's types.
inline QByteArray toQt(const SimProtocol::Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

inline SimProtocol::Bytes toSim(const QByteArray& bytes)
{
    return SimProtocol::Bytes(bytes.begin(), bytes.end());
}

// The emulated bus with the real discovery and device kinds above it: a fresh bus per test (each test its
// own process), created before libusb starts and destroyed after the discovery stopped it. The discovery
// runs once a test (or a layer's fixture) calls startDiscovery(); the command line starts its own.
class DeviceBusFixture : public SimUsbFixture
{
public: // table-driven cases reach the helpers through a reference to the fixture
    static constexpr int kTimeoutMs = 30000;
    using SimUsbFixture::bus;

    // What a device reported back: every finished job's name and result, and its notifications.
    struct Recorder
    {
        QStringList jobs;
        QList<int> results;
        QList<QPair<NotificationMessageType, QString>> notes;
        QList<QVariantList> progress;

        void attach(BaseDevice* device)
        {
            QObject::connect(device, &BaseDevice::jobResult, device,
                             [this](QString name, int result, QString) {
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

protected:
    bool initialiseLibusb() const override { return false; } // the discovery starts and stops libusb

    void SetUp() override
    {
        SimUsbFixture::SetUp();
        DeviceFactory::install();
    }

    void TearDown() override
    {
        bus().unplugAll();
        manager()->deinit();
        flushDeletes();
        manager()->setCandidateFilter({});
        SimUsbFixture::TearDown();
    }

    // Starts the discovery, polling every `pollMs` instead of the production 5000 ms.
    void startDiscovery(int pollMs)
    {
        manager()->setPollInterval(pollMs);
        manager()->init();
    }

    // Every logger's lines, from `level` up; the first call must come before the first logger exists.
    static LogCapture& log(int level = 1) { return LogCapture::every(level); }
    static UsbManager* manager() { return UsbManager::instance(); }
    static QSharedPointer<BaseDevice> deviceAt(const UsbBusDeviceAddress& address)
    {
        return qSharedPointerObjectCast<BaseDevice>(manager()->device(address));
    }
    // The device object at the instrument's current port, if the discovery serves one there.
    QSharedPointer<BaseDevice> deviceOf(const std::shared_ptr<SimInstrument>& instrument)
    {
        const auto port = bus().portOf(instrument);
        return port ? deviceAt(UsbBusDeviceAddress(port->bus, port->address)) : QSharedPointer<BaseDevice>();
    }

    // Plugs `instrument` in and waits until the discovery added it, its transport opened and the
    // identity and option reads that follow the connection came back.
    QSharedPointer<BaseDevice> plugAndSettle(const std::shared_ptr<SimInstrument>& instrument,
                                             Recorder* recorder = nullptr, int timeoutMs = 10000)
    {
        QSignalSpy added(manager(), &UsbManager::deviceAdded);
        QMetaObject::Connection attach;
        if (recorder) {
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
        const bool ok = QTest::qWaitFor([&] { return isSettled(device.data()); }, timeoutMs);
        if (!ok) {
            ADD_FAILURE() << "device did not settle";
        }
        return ok;
    }
    static bool isSettled(const BaseDevice* device)
    {
        return device && device->isConnected() && !device->chipId().isEmpty() &&
               device->pendingJobCount() == 0;
    }

    // Waits until the discovery serves `instrument`, open and identified, at its current port once it was
    // plugged `plugs` times: a restarted instrument leaves its old port a moment after the restart command.
    bool waitServed(const std::shared_ptr<SimInstrument>& instrument, int plugs, int timeoutMs = 10000)
    {
        return QTest::qWaitFor(
            [&] {
                const auto device = deviceOf(instrument);
                return bus().plugCount(instrument) >= plugs && device && device->isConnected() &&
                       !device->chipId().isEmpty();
            },
            timeoutMs);
    }

    // Waits until no job of the device is in flight.
    template <typename Device> static bool waitIdle(const Device& device, int timeoutMs = kTimeoutMs)
    {
        return QTest::qWaitFor([&] { return !device || device->pendingJobCount() == 0; }, timeoutMs);
    }

    // Waits until the discovery let go of every device (after an unplug or a reboot).
    static bool waitTableEmpty(int timeoutMs = 10000)
    {
        return QTest::qWaitFor([] { return manager()->addresses().isEmpty(); }, timeoutMs);
    }

    // Destroys device objects the discovery let go of (their deleter is deleteLater).
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};
