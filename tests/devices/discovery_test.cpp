// Discovery end to end: the real UsbManager and device kinds over libusb against emulated instruments.
#include "devices/controlunit.h"
#include "devices/tymbrelsensor.h"
#include "simharness.h"

#include <QPointer>
#include <QThread>

namespace {

// The name, USB id and thread of each kind's device object are the kind table's (devicekinds_test); here
// the discovery must pick the row, which the class and the found line tell (the two acoustic sensors
// share their USB id).
struct KindCase
{
    SimKind sim;
    const char* label;
    const char* className;
    const char* foundLine;
};

const KindCase kKinds[] = {
    {SimKind::ControlUnit, "ControlUnit", "ControlUnit", "tymbrel+ control unit found!"},
    {SimKind::AcousticSensor, "TymbrelSensor", "TymbrelSensor", "tymbrel+ sensor found!"},
    {SimKind::LocatorSensor, "VectarisSensor", "GenericDevice", "Vectaris Sensor found!"},
    {SimKind::MiniAntenna, "VectarisMiniAntenna", "GenericDevice", "Vectaris Mini Antenna found!"},
    {SimKind::Emitter, "VectarisEmitter", "GenericDevice", "Vectaris Emitter found!"},
    {SimKind::AcousticSensor2, "TymbrelSensor2", "TymbrelSensor", "tymbrel2+ sensor found!"},
    {SimKind::UpdateOnly, "UpdateOnly", "GenericDevice", "Updateonly found!"},
};

void PrintTo(const KindCase& kind, std::ostream* out)
{
    *out << kind.label;
}

using Discovery = SimHarness;

class DiscoveryKinds : public SimHarness, public ::testing::WithParamInterface<KindCase>
{
};

} // namespace

TEST_P(DiscoveryKinds, CreatesTheMatchingKindServesItAndLetsItGo)
{
    const KindCase& kind = GetParam();
    auto instrument = SimInstrumentFactory::create(kind.sim);
    QSharedPointer<BaseDevice> device = plugAndSettle(instrument);
    ASSERT_TRUE(device);
    EXPECT_STREQ(device->metaObject()->className(), kind.className);
    EXPECT_TRUE(log().contains(QString::fromLatin1(kind.foundLine)));
    // Serving one instrument: no polling.
    EXPECT_FALSE(manager()->isPolling());
    EXPECT_EQ(manager()->addresses().size(), 1);

    const UsbBusDeviceAddress address = manager()->addresses().first();
    QPointer<BaseDevice> watch(device.data());
    QSignalSpy removed(manager(), &UsbManager::deviceRemoved);
    QSignalSpy disconnected(device.data(), &BaseDevice::disconnected);
    bus().unplug(instrument);
    ASSERT_TRUE(removed.wait(20000));
    EXPECT_EQ(disconnected.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).value<UsbBusDeviceAddress>(), address);
    EXPECT_TRUE(manager()->device(address).isNull()); // gone from the table before the signal
    EXPECT_TRUE(log().contains(
        QStringLiteral("Remove device (bus %1, device %2)").arg(address.bus()).arg(address.address())));
    EXPECT_TRUE(manager()->isPolling());
    device.reset();
    flushDeletes();
    EXPECT_TRUE(watch.isNull()); // the table held the last reference

    // Plugged in again: found by a later poll.
    QSharedPointer<BaseDevice> again = plugAndSettle(instrument);
    ASSERT_TRUE(again);
    EXPECT_STREQ(again->metaObject()->className(), kind.className);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, DiscoveryKinds, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<KindCase>& info) {
                             return std::string(info.param.label);
                         });

TEST_F(Discovery, TwoInstrumentsAreServedOneAfterTheOther)
{
    manager()->setPollInterval(60 * 60 * 1000); // both must be on the bus at the same scan
    auto first = plugKind(SimKind::LocatorSensor);
    auto second = plugKind(SimKind::Emitter);
    QSignalSpy added(manager(), &UsbManager::deviceAdded);
    manager()->pollNow();
    ASSERT_EQ(added.count(), 1);
    QTest::qWait(100);
    EXPECT_EQ(manager()->addresses().size(), 1);
    QSharedPointer<BaseDevice> served = deviceAt(manager()->addresses().first());
    ASSERT_TRUE(served);
    auto servedInstrument = served->name() == "Vectaris Sensor" ? first : second;
    const QString otherName = served->name() == "Vectaris Sensor" ? "Vectaris Emitter" : "Vectaris Sensor";
    served.reset();

    manager()->setPollInterval(kTestPollMs);
    QSignalSpy removed(manager(), &UsbManager::deviceRemoved);
    bus().unplug(servedInstrument);
    ASSERT_TRUE(removed.wait(20000));
    ASSERT_TRUE(added.wait(20000));
    QSharedPointer<BaseDevice> next = deviceAt(added.at(1).at(0).value<UsbBusDeviceAddress>());
    ASSERT_TRUE(next);
    EXPECT_EQ(next->name(), otherName);
}

TEST_F(Discovery, AnInstrumentThatCannotBeOpenedIsReportedOnceAndRetriedLater)
{
    qint64 clock = 0;
    manager()->setClockForTesting([&] { return clock; });
    auto blocked = SimInstrumentFactory::create(SimKind::ControlUnit);
    blocked->faults().failClaimInterface(true);
    QSignalSpy problems(manager(), &UsbManager::connectionProblem);
    QSignalSpy removed(manager(), &UsbManager::deviceRemoved);
    plug(blocked);
    // Tried, reported, taken out of the table; not tried again before its pause is over.
    ASSERT_TRUE(QTest::qWaitFor([&] { return removed.count() == 1; }, 10000));
    QTest::qWait(10 * kTestPollMs);
    EXPECT_EQ(removed.count(), 1);
    ASSERT_EQ(problems.count(), 1);
    const QString message = problems.at(0).at(1).toString();
    EXPECT_TRUE(message.contains("Control Unit"));
    EXPECT_TRUE(message.contains("another program")) << message.toStdString();
    EXPECT_EQ(log().count("UsbManager: Can't open Control Unit"), 1);
    EXPECT_TRUE(log().contains("libusb_claim_interface failed with LIBUSB_ERROR_BUSY; next attempt in 5 s"));

    // Another instrument is picked up meanwhile.
    auto good = SimInstrumentFactory::create(SimKind::AcousticSensor);
    QSharedPointer<BaseDevice> device = plugAndSettle(good);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->name(), "Tymbrel Sensor");
    bus().unplug(good);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !device->isConnected(); }, 20000));
    device.reset();

    // Once the cause is gone and the pause is over, the blocked instrument is served; told only once.
    blocked->faults().failClaimInterface(false);
    clock = 5000;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto addresses = manager()->addresses();
            return !addresses.isEmpty() && manager()->device(addresses.first())->isConnected();
        },
        10000));
    EXPECT_EQ(manager()->device(manager()->addresses().first())->name(), "Control Unit");
    EXPECT_EQ(problems.count(), 1);
}
