// Option writes, commit and reboot chains, factory reset and the device log, end to end.
#include "devices/jobs/readlogjob.h"
#include "devices/tymbrelsensor.h"
#include "sim/simprotocol.h"
#include "simharness.h"
#include "usb/usbdevice.h"

#include <libusb.h>

#include <functional>
#include <vector>

namespace {

using namespace SimProtocol;

class Maintenance : public SimHarness
{
protected:
    void SetUp() override
    {
        SimHarness::SetUp();
        instrument = SimInstrumentFactory::create(SimKind::ControlUnit);
        device = plugAndSettle(instrument);
        ASSERT_TRUE(device);
        instrument->clearReceived();
        recorder.attach(device.data());
    }
    void TearDown() override
    {
        device.reset();
        SimHarness::TearDown();
    }

    // The commands the instrument received, without the connection's own traffic.
    std::vector<uint32_t> commands() const { return instrument->receivedCommands(); }

    std::shared_ptr<SimInstrument> instrument;
    QSharedPointer<BaseDevice> device;
    DeviceRecorder recorder;
};

const quint32 kSheathFaultOption = 0x20000001;
const quint32 kTestResults = 0x10000003;

QByteArray int32Bytes(qint32 value)
{
    return SimInstrument::toByteArray(SimInstrument::int32Value(value));
}

} // namespace

TEST_F(Maintenance, SetCommitAndRebootRunInOrderAndTheInstrumentComesBack)
{
    QSignalSpy removed(manager(), &UsbManager::deviceRemoved);
    QSignalSpy added(manager(), &UsbManager::deviceAdded);
    device->sendDeviceOptions({{kTestResults, QByteArray("ok")}, {kSheathFaultOption, int32Bytes(1)}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.jobs.contains("RebootDeviceJob"); }, 20000));
    EXPECT_EQ(recorder.jobs,
              (QStringList{"SetDeviceMultipleOptionsJob", "WriteDeviceOptionsJob", "RebootDeviceJob"}));
    EXPECT_EQ(commands(), (std::vector<uint32_t>{SetOption, SetOption, WriteOptions, Reboot}));
    EXPECT_EQ(SimInstrument::toByteArray(*instrument->permanentOption(kTestResults)), QByteArray("ok"));
    EXPECT_EQ(SimInstrument::toByteArray(*instrument->permanentOption(kSheathFaultOption)), int32Bytes(1));
    EXPECT_TRUE(recorder.notes.isEmpty());
    EXPECT_TRUE(log().contains(QStringLiteral("WriteDeviceOptions finished 0: Reboot required")));
    // The cache is not touched by a set.
    EXPECT_NE(device->deviceOption(kTestResults), QByteArray("ok"));

    // The reboot re-enumerates the instrument: the device goes and a later poll finds it again.
    ASSERT_TRUE(removed.wait(20000) || removed.count() > 0);
    ASSERT_TRUE(added.wait(20000) || added.count() > 0);
    QSharedPointer<BaseDevice> back = deviceAt(added.at(0).at(0).value<UsbBusDeviceAddress>());
    ASSERT_TRUE(back);
    ASSERT_TRUE(waitSettled(back));
    EXPECT_EQ(back->deviceOption(kTestResults), QByteArray("ok"));
}

TEST_F(Maintenance, AFailedSetIsReportedAndNotCommitted)
{
    instrument->faults().pipeErrorOn(SetOption, 1);
    device->sendDeviceOptions({{kTestResults, QByteArray("half")}});
    ASSERT_TRUE(waitIdle(device));
    EXPECT_EQ(recorder.jobs, QStringList{"SetDeviceMultipleOptionsJob"});
    EXPECT_EQ(recorder.resultOf("SetDeviceMultipleOptionsJob"), -9); // LIBUSB_ERROR_PIPE
    EXPECT_EQ(instrument->countReceived(WriteOptions), 0u);
    EXPECT_EQ(instrument->countReceived(Reboot), 0u);
    ASSERT_EQ(recorder.notes.size(), 1);
    EXPECT_EQ(recorder.notes[0].first, NotificationMessageType::Error);
    EXPECT_TRUE(recorder.notes[0].second.contains(QStringLiteral("LIBUSB_ERROR_PIPE")));
    EXPECT_TRUE(recorder.notes[0].second.contains(QStringLiteral("0x10000003")));

    // A single set reports its failure too, and does not commit either.
    instrument->faults().shortWrite(SetOption, 6, 1);
    device->sendDeviceOption(kTestResults, QByteArray("short"));
    ASSERT_TRUE(waitIdle(device));
    EXPECT_LT(recorder.resultOf("SetDeviceOptionJob"), 0);
    EXPECT_EQ(recorder.notes.size(), 2);
    EXPECT_EQ(instrument->countReceived(WriteOptions), 0u);

    // A good single set changes only the working copy.
    device->sendDeviceOption(kTestResults, QByteArray("work"));
    ASSERT_TRUE(waitIdle(device));
    EXPECT_EQ(recorder.resultOf("SetDeviceOptionJob"), 0);
    EXPECT_EQ(SimInstrument::toByteArray(*instrument->option(kTestResults)), QByteArray("work"));
    EXPECT_NE(SimInstrument::toByteArray(*instrument->permanentOption(kTestResults)), QByteArray("work"));
    EXPECT_EQ(recorder.notes.size(), 2);
}

TEST_F(Maintenance, EmptySetStillCommitsAndReboots)
{
    device->sendDeviceOptions({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.jobs.contains("RebootDeviceJob"); }, 20000));
    EXPECT_EQ(commands(), (std::vector<uint32_t>{WriteOptions, Reboot}));
}

TEST_F(Maintenance, CommitWithoutRebootAndAFailedCommit)
{
    device->writeDeviceOptions(false);
    ASSERT_TRUE(waitIdle(device));
    EXPECT_EQ(commands(), (std::vector<uint32_t>{WriteOptions}));

    instrument->clearReceived();
    instrument->faults().pipeErrorOn(WriteOptions, 1);
    device->writeDeviceOptions(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.jobs.contains("RebootDeviceJob"); }, 20000));
    EXPECT_EQ(recorder.resultOf("WriteDeviceOptionsJob"), -9);
    ASSERT_EQ(recorder.notes.size(), 1);
    EXPECT_EQ(recorder.notes[0].first, NotificationMessageType::Error);
    EXPECT_EQ(commands(), (std::vector<uint32_t>{Reboot})); // the stalled commit never arrived
}

TEST_F(Maintenance, FactoryResetResetsThenReboots)
{
    device->factoryReset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.jobs.contains("FactoryResetJob"); }, 20000));
    EXPECT_EQ(recorder.resultOf("FactoryResetJob"), 0);
    EXPECT_EQ(commands(), (std::vector<uint32_t>{FactoryReset, Reboot}));
    EXPECT_EQ(instrument->factoryResetCount(), 1);
    ASSERT_EQ(recorder.notes.size(), 1);
    EXPECT_EQ(recorder.notes[0], qMakePair(NotificationMessageType::Success,
                                           QStringLiteral("Factory settings restored. Restart device...")));
}

TEST_F(Maintenance, FactoryResetThatCannotBeSentDoesNotReboot)
{
    instrument->faults().pipeErrorOn(FactoryReset, 1);
    device->factoryReset();
    ASSERT_TRUE(waitIdle(device));
    EXPECT_EQ(recorder.resultOf("FactoryResetJob"), -9);
    EXPECT_EQ(instrument->countReceived(Reboot), 0u);
    EXPECT_EQ(instrument->factoryResetCount(), 0);
    ASSERT_EQ(recorder.notes.size(), 1);
    EXPECT_EQ(recorder.notes[0], qMakePair(NotificationMessageType::Error,
                                           QStringLiteral("Factory reset failed (LIBUSB_ERROR_PIPE).")));
}

TEST_F(Maintenance, DeviceLogIsReadAndDeleted)
{
    SimProtocol::Bytes text;
    for (int i = 0; i < 1500; ++i) { // more than one packet
        text.push_back(uint8_t('a' + i % 26));
    }
    text.push_back(0);
    for (const char c : std::string("second line")) {
        text.push_back(uint8_t(c));
    }
    instrument->setLog(text);
    QSignalSpy logs(device.data(), &BaseDevice::logDownloadFinsihed);
    device->downloadLog();
    ASSERT_TRUE(logs.wait(15000));
    const QString received = logs.at(0).at(0).toString();
    EXPECT_EQ(received.size(), 1512);
    EXPECT_TRUE(received.endsWith(QStringLiteral("\nsecond line")));
    EXPECT_EQ(recorder.resultOf("ReadLogJob"), 0);

    device->clearLog();
    ASSERT_TRUE(waitIdle(device));
    ASSERT_EQ(recorder.notes.size(), 1);
    EXPECT_EQ(recorder.notes[0],
              qMakePair(NotificationMessageType::Success, QStringLiteral("Log entries deleted!")));
    EXPECT_TRUE(instrument->log().empty());

    instrument->faults().pipeErrorOn(DeleteLog, 1);
    device->clearLog();
    ASSERT_TRUE(waitIdle(device));
    ASSERT_EQ(recorder.notes.size(), 2);
    EXPECT_EQ(recorder.notes[1], qMakePair(NotificationMessageType::Error, QString("Something goes wrong!")));
}

TEST_F(Maintenance, ABrokenLogStreamStoresNothing)
{
    instrument->setLog(SimProtocol::Bytes(3000, uint8_t('x')));
    instrument->faults().stopStreamAfter(ReadLog, 1, 1);
    QSignalSpy logs(device.data(), &BaseDevice::logDownloadFinsihed);
    device->downloadLog();
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.jobs.contains("ReadLogJob"); }, 15000));
    EXPECT_EQ(recorder.resultOf("ReadLogJob"), -7); // LIBUSB_ERROR_TIMEOUT inside the stream
    EXPECT_EQ(logs.count(), 0);                     // nothing to save
    ASSERT_EQ(recorder.notes.size(), 1);
    EXPECT_EQ(recorder.notes[0],
              qMakePair(NotificationMessageType::Error,
                        QStringLiteral("The device log could not be read (LIBUSB_ERROR_TIMEOUT).")));

    // A zero-length packet ends the log like the end marker.
    instrument->faults().zeroLengthPacketInStream(ReadLog, 1, 1);
    device->downloadLog();
    ASSERT_TRUE(logs.wait(15000));
    EXPECT_EQ(logs.at(0).at(0).toString().size(), 1024);
    EXPECT_EQ(recorder.resultOf("ReadLogJob"), 0);
}

// A device that goes (unplugged from the discovery's view, or the tool shutting down) waits for the
// running job: a log stream or a calibration sweep must stop between two packets, not run to its end.
TEST_F(Maintenance, LongJobsStopBetweenPacketsWhenTheirDeviceGoes)
{
    struct Case
    {
        const char* name;
        SimKind kind;
        std::function<void(BaseDevice*)> start;
        std::function<bool(SimInstrument&)> unfinished;
    };
    const Case cases[] = {
        {"log read", SimKind::ControlUnit, [](BaseDevice* d) { d->downloadLog(); },
         [](SimInstrument& i) { return i.queuedInPackets() > 0; }},
        {"calibration sweep", SimKind::AcousticSensor,
         [](BaseDevice* d) { qobject_cast<TymbrelSensor*>(d)->calibrateForProduction(); },
         [](SimInstrument& i) { return i.countReceived(CdcSetThreshold) < 2 * 4096; }},
    };
    device.reset();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bus().unplugAll();
        ASSERT_TRUE(waitTableEmpty());
        flushDeletes();
        auto unit = SimInstrumentFactory::create(c.kind);
        unit->setLog(SimProtocol::Bytes(4 * 1024 * 1024, uint8_t('L'))); // seconds of packets
        QSharedPointer<BaseDevice> going = plugAndSettle(unit);
        ASSERT_TRUE(going);
        const size_t sent = unit->sentPacketCount();
        c.start(going.data());
        ASSERT_TRUE(QTest::qWaitFor([&] { return unit->sentPacketCount() >= sent + 64; }, 10000));
        const int stopped = log().count(QStringLiteral("(-10) after"));
        going.reset();
        manager()->deinit(); // the discovery lets go of every device, as at shutdown
        EXPECT_TRUE(c.unfinished(*unit));
        EXPECT_EQ(log().count(QStringLiteral("(-10) after")), stopped + 1);
        manager()->init();
    }
}

// Without an end code the log stream would fill the memory: the read stops at a size no log reaches.
using LogStream = SimUsbFixture;

TEST_F(LogStream, ReadStopsAtItsCapAndLeavesTheLinkInStep)
{
    auto unit = plugControlUnit();
    unit->setLog(SimProtocol::Bytes(20 * 1024, uint8_t('L')));
    UsbDevice usb(libusbDevice(unit), QStringLiteral("Cap"), false);
    usb.open();
    ReadLogJob capped(nullptr, 8 * 1024);
    capped.execute(&usb);
    EXPECT_EQ(capped.result(), LIBUSB_ERROR_OVERFLOW);
    EXPECT_TRUE(capped.log().isEmpty());
    EXPECT_FALSE(capped.resultMessage(capped.result()).isEmpty());

    ReadLogJob whole(nullptr, 20 * 1024);
    whole.execute(&usb);
    EXPECT_EQ(whole.result(), 0);
    EXPECT_EQ(whole.log().size(), 20 * 1024);
}
