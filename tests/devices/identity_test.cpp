// Identity and option reads end to end, one device kind after another.
#include "options/storageidcatalogue.h"
#include "sim/simprotocol.h"
#include "simharness.h"

namespace {

struct KindOptions
{
    SimKind sim;
    const char* label;
    StorageIdCatalogue::Family family;
    int extraOptionReads; // reads a kind makes of its own at construction
};

const KindOptions kKinds[] = {
    {SimKind::ControlUnit, "ControlUnit", StorageIdCatalogue::Family::ControlUnit, 0},
    {SimKind::AcousticSensor, "TymbrelSensor", StorageIdCatalogue::Family::AcousticSensor, 1},
    {SimKind::AcousticSensor2, "TymbrelSensor2", StorageIdCatalogue::Family::AcousticSensor, 1},
    {SimKind::LocatorSensor, "VectarisSensor", StorageIdCatalogue::Family::LocatorSensor, 0},
    {SimKind::MiniAntenna, "VectarisMiniAntenna", StorageIdCatalogue::Family::LocatorSensor, 0},
    {SimKind::Emitter, "VectarisEmitter", StorageIdCatalogue::Family::ControlUnit, 0},
    {SimKind::UpdateOnly, "UpdateOnly", StorageIdCatalogue::Family::UpdateOnly, 0},
};

void PrintTo(const KindOptions& kind, std::ostream* out)
{
    *out << kind.label;
}

constexpr int kIdentityOptionReads = 3; // device serial, hardware revision, device type

using Identity = SimHarness;
class OptionLists : public SimHarness, public ::testing::WithParamInterface<KindOptions>
{
};

QList<quint32> requestedOptionIds(const SimInstrument& instrument)
{
    QList<quint32> ids;
    for (const auto& packet : instrument.received()) {
        if (SimProtocol::wordAt(packet, 0) == SimProtocol::GetOption) {
            ids << SimProtocol::wordAt(packet, 4);
        }
    }
    return ids;
}

} // namespace

TEST_F(Identity, IsReadAndTheSystemIdDerivedFromTheChipId)
{
    auto instrument = SimInstrumentFactory::create(SimKind::ControlUnit);
    instrument->setChipId("0123456789ABCDEF01");
    instrument->setPcbSerial("PCB-4711");
    instrument->setSoftwareVersion("BOOT 1.4.2$2021-03-04");
    QSharedPointer<BaseDevice> device = plugAndSettle(instrument);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->chipId(), QStringLiteral("0123456789ABCDEF01"));
    EXPECT_EQ(device->systemId(), QStringLiteral("0320-2560-4508-4417"));
    EXPECT_EQ(device->pcbSerial(), QStringLiteral("PCB-4711"));
    EXPECT_EQ(device->softwareVersion(), QStringLiteral("1.4.2"));
    EXPECT_EQ(device->serial().toStdString(),
              std::string(reinterpret_cast<const char*>(instrument->option(0x10000004)->data()),
                          instrument->option(0x10000004)->size()));
    EXPECT_FALSE(device->hardwareRevision().isEmpty());
    EXPECT_FALSE(device->deviceType().isEmpty());
    EXPECT_FALSE(device->updateRequired());

    // A later identity read with another chip id: one change, chip and system id together.
    instrument->setChipId("FFFFFFFFFFFFFFFF");
    QSignalSpy changed(device.data(), &BaseDevice::identityChanged);
    device->init();
    ASSERT_TRUE(changed.wait(20000));
    ASSERT_EQ(changed.count(), 1);
    const DeviceIdentity identity = changed.at(0).at(0).value<DeviceIdentity>();
    EXPECT_EQ(identity, device->identity());
    EXPECT_EQ(identity.chipId, QStringLiteral("FFFFFFFFFFFFFFFF"));
    EXPECT_EQ(identity.systemId, QStringLiteral("2057-5940-3792-7935"));
    // The same answers again change nothing.
    device->init();
    ASSERT_TRUE(QTest::qWaitFor([&] { return device->pendingJobCount() == 0; }, 20000));
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(Identity, LegacyFirmwareFallsBackAndAsksForAnUpdate)
{
    auto instrument = SimInstrumentFactory::create(SimKind::AcousticSensor, SimFirmware::Legacy);
    instrument->setPcbSerial("PCB-0815");
    instrument->setHardwareRevisionText("C");
    QSharedPointer<BaseDevice> device = plugAndSettle(instrument);
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->updateRequired());
    EXPECT_EQ(device->serial(), QStringLiteral("PCB-0815")); // the circuit-board serial stands in
    EXPECT_EQ(device->hardwareRevision(), QStringLiteral("C"));
    EXPECT_EQ(device->softwareVersion(), QStringLiteral("1.1.0"));
    EXPECT_EQ(instrument->countReceived(SimProtocol::GetHardwareRevision), 1u);
}

TEST_P(OptionLists, AreReadAfterEveryIdentityRead)
{
    const KindOptions& kind = GetParam();
    auto instrument = SimInstrumentFactory::create(kind.sim);
    QSharedPointer<BaseDevice> device = plugAndSettle(instrument);
    ASSERT_TRUE(device);
    const QList<quint32> expected = StorageIdCatalogue::deviceIds(kind.family);
    QList<quint32> requested = requestedOptionIds(*instrument);
    ASSERT_EQ(requested.size(), kIdentityOptionReads + kind.extraOptionReads + expected.size());
    EXPECT_EQ(requested.mid(requested.size() - expected.size()), expected); // in catalogue order, last
    for (const quint32 id : expected) {
        EXPECT_TRUE(device->hasDeviceOption(id)) << std::hex << id;
    }
    if (!expected.isEmpty()) {
        // Cached bytes are the instrument's.
        const quint32 serialId = 0x10000004;
        const auto value = instrument->option(serialId);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(device->deviceOption(serialId), SimInstrument::toByteArray(*value));
    }

    // A second identity read posts the list again.
    instrument->clearReceived();
    device->init();
    ASSERT_TRUE(waitIdle(device));
    requested = requestedOptionIds(*instrument);
    EXPECT_EQ(requested.size(), kIdentityOptionReads + expected.size());
}

INSTANTIATE_TEST_SUITE_P(AllKinds, OptionLists, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<KindOptions>& info) {
                             return std::string(info.param.label);
                         });

TEST_F(Identity, SingleAndMultipleReadsUpdateTheCache)
{
    auto instrument = SimInstrumentFactory::create(SimKind::LocatorSensor);
    QSharedPointer<BaseDevice> device = plugAndSettle(instrument);
    ASSERT_TRUE(device);
    const quint32 id = 0x10000003; // test results
    ASSERT_TRUE(instrument->storeOption(id, SimInstrument::textValue("passed")));
    QList<QPair<uint, QByteArray>> changes;
    QObject::connect(device.data(), &BaseDevice::deviceOptionChanged, device.data(),
                     [&](uint optionId, QByteArray value) { changes << qMakePair(optionId, value); });
    device->readDeviceOption(id);
    ASSERT_TRUE(waitIdle(device));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].second, QByteArray("passed"));
    EXPECT_EQ(device->deviceOption(id), QByteArray("passed"));

    // An id twice in a list: read twice, cached once, the last progress with the first index.
    QList<QVariantList> progress;
    QObject::connect(device.data(), &BaseDevice::progressChanged, device.data(),
                     [&](QString, int value, int maximum, QString) {
                         progress << QVariantList{value, maximum};
                     });
    changes.clear();
    device->readMultipleDeviceOptions({0x10000000, id, 0x10000000});
    ASSERT_TRUE(waitIdle(device));
    EXPECT_EQ(changes.size(), 2);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), (QVariantList{0, 3}));

    // The first unreadable id ends a multiple read; the ones after it are not requested.
    instrument->faults().wrongOptionId(0x10000001, 0x10000002, 1);
    instrument->clearReceived();
    changes.clear();
    device->readMultipleDeviceOptions({0x10000000, 0x10000001, 0x10000002});
    ASSERT_TRUE(waitIdle(device));
    EXPECT_EQ(requestedOptionIds(*instrument), (QList<quint32>{0x10000000, 0x10000001}));
    EXPECT_EQ(changes.size(), 1);
    EXPECT_TRUE(log().contains(QStringLiteral("Wrong Option: 268435457:268435458")));
}
