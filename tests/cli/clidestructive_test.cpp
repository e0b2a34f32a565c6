// service-cli's destructive commands in-process against simulated instruments: confirmation, the options
// snapshot taken before anything changes, and what the instrument holds afterwards; the firmware file
// checks that refuse a file before a packet is sent, and an instrument lost in the middle of an update.
#include "app/cli/cliexitcode.h"
#include "clifixture.h"
#include "firmwarefiles.h"
#include "sim/simcontrolunit.h"
#include "sim/simdefaults.h"
#include "sim/simprotocol.h"

#include <QDir>
#include <QJsonArray>
#include <QSet>
#include <QTest>

#include <libusb.h>

#include <algorithm>

namespace {

using namespace SimProtocol;

// What a destructive command sends once it goes ahead.
size_t changesReceived(const SimInstrument& instrument)
{
    size_t count = 0;
    for (const uint32_t command :
         {FactoryReset, DeleteLog, ClearDataSets, FirmwareStart, SetOption, WriteOptions, Reboot}) {
        count += instrument.countReceived(command);
    }
    return count;
}

class CliDestructive : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        unit = std::make_shared<SimControlUnit>();
        // Settings a technician changed in the field, far apart in the unit's table.
        const SimDefaults::OptionList defaults = SimDefaults::controlUnit();
        for (const size_t index : {size_t(4), defaults.size() / 2, defaults.size() - 3}) {
            // Four bytes: the length of every option with a layout of its own on a control unit.
            const QByteArray custom =
                QByteArray::fromHex("a5") + QByteArray::number(int(index)).rightJustified(3, '0');
            unit->storeOption(defaults.at(index).first, toSim(custom));
            changed.insert(defaults.at(index).first, custom);
        }
        unit->setLog(toSim("12:00 start"));
        unit->setDatasetStoreImage(oneSeriesStore("Line 1"));
        plug(unit);
    }

    QString firmwareFile(const QByteArray& image, const QStringList& hardware, int offset = 0,
                         const QByteArray& md5 = QByteArray())
    {
        return firmware.write(image, FirmwareFiles::info(QStringLiteral("3.2.1"), hardware, offset), md5);
    }
    QString writeFile(const QString& name, const QByteArray& content)
    {
        return firmware.write(path(name), content);
    }

    QByteArray stored(uint32_t id) const { return toQt(unit->permanentOption(id).value_or(Bytes())); }

    QList<SnapshotStore::Entry> storedSnapshots() const
    {
        return SnapshotStore(snapshotFolder()).list("control-unit", QStringLiteral("TCU-21-00042"));
    }

    // Serves the unit with a harmless command, waits until its own reads after connecting are done, and
    // unplugs it after `packets` more packets once `job` reports its first progress.
    BaseDevice* servedWithUnplugDuring(const QString& command, const char* job, int packets, bool& armed)
    {
        if (run({command, "--wait", "10"}).code != 0) {
            return nullptr;
        }
        BaseDevice* device = deviceAt(manager()->addresses().value(0)).data();
        if (!device || !QTest::qWaitFor([&] { return device->pendingJobCount() == 0; }, 30000)) {
            return nullptr;
        }
        armed = false;
        QObject::connect(device, &BaseDevice::progressChanged, device,
                         [this, job, packets, &armed](QString name, int, int, QString) {
                             if (name == QLatin1String(job) && !armed) {
                                 armed = true;
                                 unit->faults().unplugAfterPackets(packets);
                             }
                         });
        return device;
    }

    std::shared_ptr<SimControlUnit> unit;
    QHash<uint32_t, QByteArray> changed;
    FirmwareFiles firmware;
};

TEST_F(CliDestructive, ResetStoresTheOptionsFirstThenResets)
{
    const CliRun run = this->run({"reset", "--yes", "--json"});
    ASSERT_EQ(run.code, 0) << run.context();
    const QJsonObject json = run.json();
    const QString path = json.value("snapshot").toString();
    ASSERT_FALSE(path.isEmpty());
    const OptionsSnapshot snapshot = SnapshotStore::load(path);
    ASSERT_TRUE(snapshot.isValid());
    for (auto it = changed.constBegin(); it != changed.constEnd(); ++it) {
        EXPECT_EQ(snapshot.value(it.key()), it.value()); // taken before the reset lost them
        EXPECT_NE(stored(it.key()), it.value());
    }
    EXPECT_EQ(unit->factoryResetCount(), 1);

    // Human-readable, the path is printed on standard output.
    ASSERT_TRUE(waitServed(unit, 2));
    const CliRun text = this->run({"reset", "--yes"});
    ASSERT_EQ(text.code, 0) << text.context();
    EXPECT_TRUE(text.out.contains("Options snapshot: ")) << text.context();
    EXPECT_EQ(storedSnapshots().size(), 2);
}

TEST_F(CliDestructive, OffATerminalEveryDestructiveCommandNeedsYes)
{
    const CliRun read = run({"options", "read", "-o", path("mine.json")});
    ASSERT_EQ(read.code, 0) << read.context();
    const QString file = firmware.tagged("3.2.1", {"D"}, 2000);
    const QList<QStringList> commands{{"reset"},
                                      {"log", "clear"},
                                      {"datasets", "clear"},
                                      {"firmware", "update", file},
                                      {"options", "restore", path("mine.json")}};
    for (const QStringList& command : commands) {
        const CliRun run = this->run(command + QStringList{"--json"});
        EXPECT_EQ(run.code, int(CliExitCode::Usage)) << run.context();
        EXPECT_TRUE(run.json().value("error").toString().contains("--yes"));
        EXPECT_EQ(changesReceived(*unit), 0u) << command.join(' ').toStdString();
    }
    EXPECT_TRUE(storedSnapshots().isEmpty()); // refused before the snapshot, too
    EXPECT_FALSE(unit->log().empty());
}

TEST_F(CliDestructive, OnATerminalTheAnswerDecides)
{
    const CliRun no = run({"log", "clear"}, "n\n", true);
    EXPECT_EQ(no.code, int(CliExitCode::Usage)) << no.context();
    EXPECT_TRUE(no.err.contains("[y/N]"));
    EXPECT_EQ(unit->countReceived(DeleteLog), 0u);

    const CliRun yes = run({"log", "clear"}, "y\n", true);
    ASSERT_EQ(yes.code, 0) << yes.context();
    EXPECT_EQ(unit->countReceived(DeleteLog), 1u);
    EXPECT_TRUE(unit->log().empty());
    EXPECT_EQ(storedSnapshots().size(), 1);
}

TEST_F(CliDestructive, AFailedSnapshotStopsTheResetUnlessAccepted)
{
    blockSnapshots();
    const CliRun stopped = run({"reset", "--yes", "--json"});
    EXPECT_EQ(stopped.code, int(CliExitCode::InstrumentFailed)) << stopped.context();
    const QJsonObject json = stopped.json();
    EXPECT_FALSE(json.value("snapshotError").toString().isEmpty());
    EXPECT_TRUE(json.value("error").toString().contains("--without-snapshot"));
    EXPECT_EQ(unit->factoryResetCount(), 0);

    const CliRun declined = run({"reset", "--yes"}, "n\n", true);
    EXPECT_EQ(declined.code, int(CliExitCode::InstrumentFailed)) << declined.context();
    EXPECT_TRUE(declined.err.contains("Go on without a snapshot? [y/N]"));
    EXPECT_EQ(unit->factoryResetCount(), 0);

    const CliRun accepted = run({"reset", "--yes", "--without-snapshot", "--json"});
    ASSERT_EQ(accepted.code, 0) << accepted.context();
    EXPECT_TRUE(accepted.json().value("snapshot").isNull());
    EXPECT_EQ(unit->factoryResetCount(), 1);
}

TEST_F(CliDestructive, FirmwareUpdateInstallsAVerifiedImageAndRestarts)
{
    const CliRun run = this->run(
        {"firmware", "update", firmware.tagged("3.2.1", {"C", "D"}, 5 * 760 + 17), "--yes", "--json"});
    ASSERT_EQ(run.code, 0) << run.context();
    EXPECT_EQ(unit->lastVerifyStatus(), std::optional<uint32_t>(0));
    EXPECT_EQ(unit->countReceived(FirmwareData), 5u + 1u + 1u + 1u); // six data packets, end, verify request
    EXPECT_TRUE(QFileInfo::exists(run.json().value("snapshot").toString()));
    EXPECT_TRUE(run.err.contains("100%")) << run.context(); // progress on standard error

    // Back after its restart, the instrument runs the new firmware.
    ASSERT_TRUE(QTest::qWaitFor([&] { return unit->rebootCount() == 1; }, 20000));
    ASSERT_TRUE(waitServed(unit, 2));
    const CliRun info = this->run({"info", "--json"});
    ASSERT_EQ(info.code, 0) << info.context();
    EXPECT_EQ(info.json().value("device").toObject().value("firmware").toString(), QStringLiteral("3.2.1"));
}

struct RefusedFile
{
    const char* what;
    int exitCode;
    int result; // the update job's result, 0 when it never ran
};

TEST_F(CliDestructive, FirmwareFileChecksRefuseBeforeAPacketIsSent)
{
    const QByteArray image = FirmwareFiles::taggedImage("3.2.1", 3000);
    const QList<QPair<RefusedFile, QString>> cases{
        {{"another hardware revision", 5, -3}, firmwareFile(image, {"A", "B"})},
        {{"wrong hash", 5, -2}, firmwareFile(image, {"ALL"}, 0, QByteArray(16, '\x11'))},
        {{"offset past the image", 5, -4}, firmwareFile(image, {"ALL"}, image.size())},
        {{"not a firmware file", 5, -1}, writeFile(QStringLiteral("junk.firmware"), QByteArray(500, 'x'))},
        {{"missing file", 4, 0}, path(QStringLiteral("absent.firmware"))},
    };
    for (const auto& refused : cases) {
        const CliRun run = this->run({"firmware", "update", refused.second, "--yes", "--json"});
        EXPECT_EQ(run.code, refused.first.exitCode) << refused.first.what << run.context();
        const QJsonObject json = run.json();
        if (refused.first.result != 0) {
            EXPECT_EQ(json.value("result").toInt(), refused.first.result) << refused.first.what;
        } else {
            EXPECT_FALSE(json.contains("result"));
        }
        EXPECT_EQ(unit->countReceived(FirmwareStart) + unit->countReceived(FirmwareData), 0u)
            << refused.first.what;
        EXPECT_FALSE(json.contains("snapshot")) << refused.first.what; // refused before the snapshot
    }
    EXPECT_EQ(unit->rebootCount(), 0);
    EXPECT_TRUE(storedSnapshots().isEmpty());
}

TEST_F(CliDestructive, AnUpdateWhoseRestartFailsIsNoSuccess)
{
    unit->faults().pipeErrorOn(Reboot);
    const CliRun run =
        this->run({"firmware", "update", firmware.tagged("3.2.1", {"D"}, 2000), "--yes", "--json"});
    EXPECT_EQ(run.code, int(CliExitCode::InstrumentFailed)) << run.context();
    EXPECT_TRUE(run.json().value("error").toString().contains("did not restart")) << run.context();
    EXPECT_EQ(unit->lastVerifyStatus(), std::optional<uint32_t>(0)); // installed, but still the old firmware
    EXPECT_EQ(unit->rebootCount(), 0);
}

TEST_F(CliDestructive, AnInstrumentLostDuringTheSnapshotStopsTheCommand)
{
    const QList<QStringList> commands{
        {"reset"}, {"datasets", "clear"}, {"firmware", "update", firmware.tagged("3.2.1", {"D"}, 2000)}};
    for (const QStringList& command : commands) {
        const std::string what = command.join(' ').toStdString();
        bool armed = false;
        ASSERT_NE(servedWithUnplugDuring("info", "ReadOptionsSnapshotJob", 4, armed), nullptr) << what;
        const CliRun run = this->run(command + QStringList{"--yes", "--without-snapshot", "--json"});
        EXPECT_TRUE(armed) << what;
        EXPECT_EQ(run.code, int(CliExitCode::InstrumentFailed)) << what << run.context();
        const QJsonObject json = run.json();
        EXPECT_TRUE(json.value("error").toString().contains("went away")) << what << run.context();
        EXPECT_EQ(json.value("result").toInt(), LIBUSB_ERROR_NO_DEVICE) << what;
        EXPECT_FALSE(run.err.contains("Going on without a snapshot")) << what << run.context();
        EXPECT_EQ(changesReceived(*unit), 0u) << what;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !bus().portOf(unit); }, 10000));
        ASSERT_TRUE(waitServingNone());
        unit->faults().clear();
        plug(unit);
    }
}

TEST_F(CliDestructive, AnInstrumentUnpluggedDuringTheUpdateIsAFailure)
{
    // Served and settled first, so that the fault can be armed once the data starts flowing.
    bool armed = false;
    ASSERT_NE(servedWithUnplugDuring("info", "WriteFirmwareJob", 20, armed), nullptr);
    const CliRun run =
        this->run({"firmware", "update", firmware.tagged("3.2.1", {"D"}, 400 * 760), "--yes", "--json"});
    EXPECT_TRUE(armed);
    EXPECT_EQ(run.code, int(CliExitCode::InstrumentFailed)) << run.context();
    const QJsonObject json = run.json();
    EXPECT_FALSE(json.value("ok").toBool());
    EXPECT_LT(json.value("result").toInt(), 0);
    EXPECT_NE(unit->lastVerifyStatus(), std::optional<uint32_t>(0));
    EXPECT_LT(unit->countReceived(FirmwareData), 400u);
}

TEST_F(CliDestructive, RestorePutsTheSnapshotBackAndShowsTheChanges)
{
    ASSERT_EQ(run({"options", "read", "-o", path("before.json")}).code, 0);
    // In the field the values change again.
    QHash<uint32_t, QByteArray> later;
    for (auto it = changed.constBegin(); it != changed.constEnd(); ++it) {
        later.insert(it.key(), QByteArray::fromHex("0102"));
        unit->storeOption(it.key(), toSim(later.value(it.key())));
    }
    const CliRun run = this->run({"options", "restore", path("before.json"), "--yes", "--json"});
    ASSERT_EQ(run.code, 0) << run.context();
    const QJsonObject json = run.json();
    QHash<uint32_t, QPair<QString, QString>> shown;
    for (const QJsonValue& value : json.value("changes").toArray()) {
        const QJsonObject change = value.toObject();
        shown.insert(change.value("id").toString().toUInt(nullptr, 16),
                     {change.value("old").toString(), change.value("new").toString()});
    }
    ASSERT_EQ(shown.size(), changed.size());
    for (auto it = changed.constBegin(); it != changed.constEnd(); ++it) {
        EXPECT_EQ(shown.value(it.key()).first, QString::fromLatin1(later.value(it.key()).toHex()));
        EXPECT_EQ(shown.value(it.key()).second, QString::fromLatin1(it.value().toHex()));
        EXPECT_EQ(stored(it.key()), it.value());
    }
    EXPECT_TRUE(json.value("notTaken").toArray().isEmpty());
    // What the unit held before the restore is kept as well.
    EXPECT_EQ(SnapshotStore::load(json.value("snapshot").toString()).value(changed.keys().first()),
              later.value(changed.keys().first()));
}

TEST_F(CliDestructive, RestoreRefusesAnotherKindsSnapshotAndUnreadableFiles)
{
    ASSERT_EQ(run({"options", "read", "-o", path("mine.json")}).code, 0);
    OptionsSnapshot other = SnapshotStore::load(path("mine.json"));
    other.kind = QStringLiteral("emitter");
    writeFile(QStringLiteral("emitter.json"), other.toJson());
    writeFile(QStringLiteral("broken.json"), QByteArray("{\"format\": \"something else\"}"));
    OptionsSnapshot foreign = SnapshotStore::load(path("mine.json"));
    foreign.serial = QStringLiteral("TCU-21-99999");
    writeFile(QStringLiteral("foreign.json"), foreign.toJson());

    const QList<QPair<QString, int>> cases{{path("emitter.json"), 5},
                                           {path("broken.json"), 5},
                                           {path("absent.json"), 4},
                                           {path("foreign.json"), 1}}; // another serial needs --yes here
    for (const auto& refused : cases) {
        const CliRun run = this->run({"options", "restore", refused.first, "--json"});
        EXPECT_EQ(run.code, refused.second) << refused.first.toStdString() << run.context();
        EXPECT_FALSE(run.json().value("error").toString().isEmpty());
    }
    const CliRun emitter = run({"options", "restore", path("emitter.json"), "--yes"});
    EXPECT_EQ(emitter.code, 5);
    EXPECT_TRUE(emitter.err.contains("emitter"));
    EXPECT_EQ(changesReceived(*unit), 0u);
    EXPECT_TRUE(storedSnapshots().isEmpty());
}

TEST_F(CliDestructive, RestoreNamesTheOptionsThatDidNotTake)
{
    ASSERT_EQ(run({"options", "read", "-o", path("mine.json")}).code, 0);
    OptionsSnapshot target = SnapshotStore::load(path("mine.json"));
    // An id of the catalogue the unit has no storage for: it reads empty and ignores the write.
    const auto unkept = std::find_if(target.options.rbegin(), target.options.rend(), [&](const auto& option) {
        return option.value.isEmpty() && !unit->knowsOption(option.id);
    });
    ASSERT_NE(unkept, target.options.rend());
    unkept->value = QByteArray::fromHex("77");
    const quint32 id = unkept->id;
    writeFile(QStringLiteral("target.json"), target.toJson());
    const CliRun run = this->run({"options", "restore", path("target.json"), "--yes", "--json"});
    EXPECT_EQ(run.code, int(CliExitCode::InstrumentFailed)) << run.context();
    const QJsonObject json = run.json();
    EXPECT_EQ(json.value("notTaken").toArray(), QJsonArray{QString("0x%1").arg(id, 8, 16, QLatin1Char('0'))});
    EXPECT_EQ(json.value("result").toInt(), 1);
}

TEST_F(CliDestructive, RestoreLeavesTheIdentityAloneUnlessAskedAndRefusesMisfits)
{
    ASSERT_EQ(run({"options", "read", "-o", path("mine.json")}).code, 0);
    const uint32_t setting = changed.keys().first();
    // Another unit's snapshot: its own serials, and one setting of its own.
    OptionsSnapshot foreign = SnapshotStore::load(path("mine.json"));
    foreign.serial = QStringLiteral("TCU-21-99999");
    for (OptionsSnapshot::Option& option : foreign.options) {
        if (option.id == SimDefaults::DeviceSerialNumber) {
            option.value = "TCU-21-99999";
        } else if (option.id == SimDefaults::PcbSerialNumber) {
            option.value = "PCB-CU-0009999";
        } else if (option.id == setting) {
            option.value = QByteArray::fromHex("0a0b0c0d");
        }
    }
    writeFile(QStringLiteral("foreign.json"), foreign.toJson());

    const struct
    {
        QStringList switches;
        QByteArray serialAfter;
        int identityLeftOut;
    } cases[] = {{{"--yes"}, "TCU-21-00042", 2}, {{"--yes", "--include-identity"}, "TCU-21-99999", 0}};
    int plugs = 1;
    for (const auto& c : cases) {
        ASSERT_TRUE(waitServed(unit, plugs));
        const CliRun run =
            this->run(QStringList{"options", "restore", path("foreign.json"), "--json"} + c.switches);
        ASSERT_EQ(run.code, 0) << run.context();
        ++plugs;
        EXPECT_EQ(stored(SimDefaults::DeviceSerialNumber), c.serialAfter) << run.context();
        EXPECT_EQ(stored(setting), QByteArray::fromHex("0a0b0c0d"));
        EXPECT_EQ(run.json().value("identityLeftOut").toArray().size(), c.identityLeftOut) << run.context();
        unit->storeOption(setting, toSim(changed.value(setting)));
    }

    // Values that cannot be what their option holds are refused before anything is sent, the option named.
    const QList<QPair<uint32_t, QByteArray>> misfits{
        {0x20000007, QByteArray::fromHex("010000")}, // a 32-bit switch
        {0x2fffff00, QByteArray::fromHex("01")}};    // no such option
    for (const auto& misfit : misfits) {
        OptionsSnapshot broken = SnapshotStore::load(path("mine.json"));
        if (!broken.contains(misfit.first)) {
            broken.options.append({misfit.first, QString(), misfit.second});
        }
        for (OptionsSnapshot::Option& option : broken.options) {
            option.value = option.id == misfit.first ? misfit.second : option.value;
        }
        writeFile(QStringLiteral("broken.json"), broken.toJson());
        ASSERT_TRUE(waitServed(unit, plugs));
        unit->clearReceived();
        const CliRun run = this->run({"options", "restore", path("broken.json"), "--yes", "--json"});
        EXPECT_EQ(run.code, int(CliExitCode::Refused)) << run.context();
        EXPECT_TRUE(run.json().value("error").toString().contains(
            QStringLiteral("0x%1").arg(misfit.first, 8, 16, QLatin1Char('0'))))
            << run.context();
        EXPECT_EQ(changesReceived(*unit), 0u);
    }
}

TEST_F(CliDestructive, WithoutAWholeSnapshotTheJsonSaysWhy)
{
    ASSERT_EQ(run({"options", "read", "-o", path("mine.json")}).code, 0);
    const uint32_t middle = changed.keys().first();
    const struct
    {
        const char* what;
        QStringList command;
        QStringList switches;
        int code;
        const char* error;
    } cases[] = {
        {"an option unanswered", {"log", "clear"}, {}, 3, " of "},
        {"an option unanswered, accepted", {"log", "clear"}, {"--without-snapshot"}, 0, " of "},
        {"blocked, restore", {"options", "restore", path("mine.json")}, {}, 3, "saved"},
        {"blocked, accepted", {"options", "restore", path("mine.json")}, {"--without-snapshot"}, 0, "saved"},
    };
    for (const auto& c : cases) {
        if (QByteArray(c.error) == "saved") {
            unit->faults().clear();
            blockSnapshots();
        } else {
            unit->faults().noAnswerToOption(middle);
            unit->faults().noAnswerTo(GetChipId);
        }
        const CliRun run = this->run(c.command + c.switches + QStringList{"--yes", "--json"});
        EXPECT_EQ(run.code, c.code) << c.what << run.context();
        const QJsonObject json = run.json();
        EXPECT_TRUE(json.contains("snapshot") && json.value("snapshot").isNull()) << c.what << run.context();
        EXPECT_TRUE(json.value("snapshotError").toString().contains(QLatin1String(c.error)))
            << c.what << run.context();
    }
}

TEST_F(CliDestructive, LogAndDatasetsClearLeaveNothingBehind)
{
    const CliRun log = run({"log", "clear", "--yes", "--json"});
    ASSERT_EQ(log.code, 0) << log.context();
    EXPECT_TRUE(unit->log().empty());
    const CliRun datasets = run({"datasets", "clear", "--yes", "--json"});
    ASSERT_EQ(datasets.code, 0) << datasets.context();
    EXPECT_EQ(datasets.json().value("remaining").toInt(), 0);
    EXPECT_EQ(unit->countReceived(ClearDataSets), 1u);
    EXPECT_EQ(storedSnapshots().size(), 2);
}

} // namespace
