// Options snapshots at the device layer: whole or saying how far they got, the ids older firmware does
// not know, a restore that reads back only from the same instrument, and the store's names and limits.
// A snapshot's content and a restore's changes are checked end to end through the command line.
#include "devices/snapshotguard.h"
#include "devices/snapshotrestore.h"
#include "devices/snapshotstore.h"
#include "sim/simdefaults.h"
#include "sim/simfaults.h"
#include "sim/simprotocol.h"
#include "simharness.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

namespace {

using namespace SimProtocol;

class Snapshots : public SimHarness
{
protected:
    void SetUp() override
    {
        SimHarness::SetUp();
        ASSERT_TRUE(folder.isValid());
        instrument = SimInstrumentFactory::create(SimKind::ControlUnit);
        // Three settings a technician changed in the field, far apart in the unit's table.
        const SimDefaults::OptionList defaults = SimDefaults::controlUnit();
        for (const size_t index : {size_t(3), defaults.size() / 2, defaults.size() - 2}) {
            const QByteArray custom = QByteArray::fromHex("5a") + QByteArray::number(int(index));
            instrument->storeOption(defaults.at(index).first, toSim(custom));
            changed.insert(defaults.at(index).first, custom);
        }
        device = plugAndSettle(instrument);
        ASSERT_TRUE(device);
    }
    void TearDown() override
    {
        device.reset();
        SimHarness::TearDown();
    }

    // Takes a snapshot through the guard; the file's path, or empty with `reason` set.
    QString guard(BaseDevice* target, QString* reason = nullptr, OptionsSnapshot* taken = nullptr)
    {
        SnapshotGuard guard(target, &store);
        QSignalSpy ok(&guard, &SnapshotGuard::succeeded);
        QSignalSpy failed(&guard, &SnapshotGuard::failed);
        guard.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return ok.count() + failed.count() > 0; }, 20000));
        EXPECT_EQ(ok.count() + failed.count(), 1);
        if (!failed.isEmpty() && reason) {
            *reason = failed.at(0).at(0).toString();
        }
        if (!ok.isEmpty() && taken) {
            *taken = ok.at(0).at(1).value<OptionsSnapshot>();
        }
        return ok.isEmpty() ? QString() : ok.at(0).at(0).toString();
    }

    QTemporaryDir folder;
    SnapshotStore store{folder.path() + "/snapshots"};
    std::shared_ptr<SimInstrument> instrument;
    QSharedPointer<BaseDevice> device;
    QHash<quint32, QByteArray> changed;
};

TEST_F(Snapshots, RestoreOfAnotherKindIsRefusedAndSendsNothing)
{
    OptionsSnapshot other;
    other.kind = "locator-sensor";
    other.serial = device->serial();
    other.takenAt = QDateTime::currentDateTimeUtc();
    other.options.append({0x10000004, QString(), QByteArray("X")});
    EXPECT_EQ(SnapshotRestore::check(other, *device), SnapshotRestore::Check::OtherKind);
    instrument->clearReceived();
    SnapshotRestore restore(other, device.data(), &store, manager());
    QSignalSpy finished(&restore, &SnapshotRestore::finished);
    restore.prepare();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), SnapshotRestore::kRefused);
    EXPECT_TRUE(instrument->receivedCommands().empty());

    other.kind = "control-unit";
    other.serial = "another";
    EXPECT_EQ(SnapshotRestore::check(other, *device), SnapshotRestore::Check::OtherSerial);
}

TEST_F(Snapshots, AreWholeOrSayHowFarTheyGot)
{
    QList<quint32> ids;
    for (const quint32 id : device->optionIds()) {
        if (!ids.contains(id)) {
            ids << id;
        }
    }
    const quint32 middle = SimDefaults::controlUnit().at(SimDefaults::controlUnit().size() / 2).first;
    ASSERT_TRUE(changed.contains(middle));
    const struct
    {
        const char* what;
        std::function<void(SimFaults&)> arm;
        bool whole;
        QList<quint32> unknown;
    } cases[] = {
        {"one answer lost", [&](SimFaults& f) { f.noAnswerToOption(middle, 1); }, true, {}},
        {"an id the firmware never answers",
         [&](SimFaults& f) { f.noAnswerToOption(middle); },
         true,
         {middle}},
        {"the unit stops answering",
         [&](SimFaults& f) {
             f.noAnswerToOption(middle);
             f.noAnswerTo(GetChipId);
         },
         false,
         {}},
    };
    for (const auto& c : cases) {
        c.arm(instrument->faults());
        QString reason;
        OptionsSnapshot taken;
        const QString path = guard(device.data(), &reason, &taken);
        instrument->faults().clear();
        ASSERT_EQ(!path.isEmpty(), c.whole) << c.what << " " << reason.toStdString();
        if (!c.whole) {
            EXPECT_TRUE(reason.contains(QStringLiteral("%1 of %2").arg(ids.indexOf(middle)).arg(ids.size())))
                << reason.toStdString();
            continue;
        }
        const OptionsSnapshot stored = SnapshotStore::load(path);
        EXPECT_EQ(stored.unknownIds, c.unknown) << c.what;
        EXPECT_EQ(stored.options.size() + stored.unknownIds.size(), ids.size()) << c.what;
        EXPECT_EQ(stored.contains(middle), c.unknown.isEmpty()) << c.what;
        EXPECT_EQ(stored.value(ids.last()), toQt(instrument->option(ids.last()).value_or(Bytes()))) << c.what;
    }
}

TEST_F(Snapshots, OfOlderFirmwareNameTheIdsItDoesNotKnow)
{
    device.reset();
    bus().unplugAll();
    ASSERT_TRUE(waitTableEmpty());
    flushDeletes();
    auto legacy = SimInstrumentFactory::create(SimKind::AcousticSensor, SimFirmware::Legacy);
    QSharedPointer<BaseDevice> sensor = plugAndSettle(legacy);
    ASSERT_TRUE(sensor);
    // Older firmware is silent about ids it does not know (the newer identity options, the terminators).
    QList<quint32> unknown;
    for (const quint32 id : sensor->optionIds()) {
        if (!legacy->knowsOption(id) && !unknown.contains(id)) {
            unknown << id;
        }
    }
    ASSERT_TRUE(unknown.contains(SimDefaults::HardwareRevision));
    OptionsSnapshot taken;
    ASSERT_FALSE(guard(sensor.data(), nullptr, &taken).isEmpty());
    EXPECT_EQ(taken.unknownIds, unknown);
    for (const auto& option : SimDefaults::acousticSensor()) {
        EXPECT_EQ(taken.value(option.first), toQt(legacy->option(option.first).value_or(Bytes())))
            << option.first;
    }
    EXPECT_TRUE(taken.coverage().contains(QStringLiteral("%1 not known").arg(unknown.size())))
        << taken.coverage().toStdString();
}

TEST_F(Snapshots, RestoreReadsBackFromTheSameInstrumentOnly)
{
    OptionsSnapshot target;
    ASSERT_FALSE(guard(device.data(), nullptr, &target).isEmpty());
    for (auto it = changed.constBegin(); it != changed.constEnd(); ++it) {
        instrument->storeOption(it.key(), toSim(QByteArray::fromHex("0102")));
    }
    // While the unit restarts, another control unit is plugged in and served first.
    auto other = SimInstrumentFactory::create(SimKind::ControlUnit);
    other->storeOption(SimDefaults::DeviceSerialNumber, SimInstrument::textValue("TCU-21-00077"));
    other->setChipId("2A0047001151353432389999");
    // The restarted unit stays away until the test brings it back, however slow the machine: the other
    // one is certainly served first.
    bus().setReenumerationDelay(std::chrono::hours(1));
    QObject::connect(device.data(), &BaseDevice::disconnected, device.data(), [&] { plug(other); });

    SnapshotRestore restore(target, device.data(), &store, manager());
    QSignalSpy prepared(&restore, &SnapshotRestore::prepared);
    QSignalSpy finished(&restore, &SnapshotRestore::finished);
    restore.prepare();
    ASSERT_TRUE(prepared.wait(20000));
    restore.apply();
    QSharedPointer<BaseDevice> served;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto addresses = manager()->addresses();
            served = addresses.isEmpty() ? nullptr : deviceAt(addresses.first());
            return served && served->serial() == "TCU-21-00077" && served->pendingJobCount() == 0;
        },
        20000));
    QTest::qWait(200);
    EXPECT_TRUE(finished.isEmpty()) << finished.value(0).value(1).toString().toStdString();
    served.reset();
    bus().unplug(other);
    plug(instrument);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30000));
    EXPECT_EQ(finished.at(0).at(0).toInt(), 0) << finished.at(0).at(1).toString().toStdString();
    for (auto it = changed.constBegin(); it != changed.constEnd(); ++it) {
        EXPECT_EQ(toQt(instrument->permanentOption(it.key()).value_or(Bytes())), it.value());
        EXPECT_NE(toQt(other->permanentOption(it.key()).value_or(Bytes())), it.value());
    }
}

TEST(SnapshotStoreTest, OrdersOneSecondByWritingAndKeepsWhatItReports)
{
    const QDateTime second(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC);
    const QString zeros = "0000-0000-0000-0000";
    auto snapshot = [&](int version, const QString& serial = "A", const QString& systemId = {},
                        const QString& chipId = "C") {
        OptionsSnapshot one;
        one.kind = "control-unit";
        one.serial = serial;
        one.systemId = systemId.isEmpty() ? zeros : systemId;
        one.chipId = chipId;
        one.takenAt = second;
        one.firmwareVersion = QString::number(version);
        return one;
    };
    const struct
    {
        const char* what;
        QList<OptionsSnapshot> saved;
        QString instrument;
        QStringList listed; // versions, newest first
        int limit = 1;
    } cases[] = {
        {"eleven in one second",
         [&] {
             QList<OptionsSnapshot> all;
             for (int i = 0; i < 11; ++i) {
                 all << snapshot(i);
             }
             return all;
         }(),
         "A",
         {"10", "9", "8", "7", "6", "5", "4", "3", "2", "1", "0"},
         20},
        {"limit 1 keeps the one just written", {snapshot(0), snapshot(1)}, "A", {"1"}},
        {"no serial: the system id",
         {snapshot(0, "", "0000-0000-0000-0001", "C1"), snapshot(1, "", "0000-0000-0000-0002", "C2")},
         "0000-0000-0000-0001",
         {"0"}},
        {"no serial, no system id: the chip id",
         {snapshot(0, "", zeros, "C1"), snapshot(1, "", zeros, "C2")},
         "C1",
         {"0"}},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        SnapshotStore store(folder.path(), c.limit);
        QString last;
        for (const OptionsSnapshot& one : c.saved) {
            last = store.save(one);
            ASSERT_FALSE(last.isEmpty()) << c.what;
        }
        EXPECT_TRUE(QFileInfo::exists(last)) << c.what;
        QStringList listed;
        for (const SnapshotStore::Entry& entry : store.list("control-unit", c.instrument)) {
            listed << entry.firmwareVersion;
        }
        EXPECT_EQ(listed, c.listed) << c.what;
    }

    // A name another process holds at the same moment, which an existence check does not see.
    QTemporaryDir folder;
    SnapshotStore store(folder.path());
    const OptionsSnapshot one = snapshot(0);
    ASSERT_TRUE(QFile::link(folder.filePath("elsewhere.json"), folder.filePath(one.fileName())));
    const QString path = store.save(one);
    EXPECT_TRUE(path.endsWith("-2.json")) << path.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("elsewhere.json")));
}

TEST(SnapshotStoreTest, KeepsTheNewestPerInstrumentAndLeavesOtherFilesAlone)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SnapshotStore store(folder.path(), 3);
    const QString junk = writeFile(folder.filePath("control-unit-A-notes.json"), "not a snapshot");
    const QDateTime start(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC);
    // "A" and "A-B" share the start of their file names; neither may count or remove the other's.
    for (const auto& [serial, count] : {std::make_pair("A-B", 2), std::make_pair("A", 5)}) {
        for (int i = 0; i < count; ++i) {
            OptionsSnapshot snapshot;
            snapshot.kind = "control-unit";
            snapshot.serial = QString::fromLatin1(serial);
            snapshot.takenAt = start.addSecs(60 * i);
            snapshot.firmwareVersion = QString::number(i);
            ASSERT_FALSE(store.save(snapshot).isEmpty());
        }
    }
    QStringList kept;
    for (const SnapshotStore::Entry& entry : store.list("control-unit", "A")) {
        kept << entry.firmwareVersion;
    }
    EXPECT_EQ(kept, (QStringList{"4", "3", "2"}));
    EXPECT_EQ(store.list("control-unit", "A-B").size(), 2);
    EXPECT_TRUE(QFile::exists(junk));
}

} // namespace
