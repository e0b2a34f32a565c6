// service-cli in-process against simulated instruments: the commands that read, each with its JSON
// document compared with what the simulated instrument holds, the choice of the instrument, and the
// failures that have an exit code of their own.
#include "app/cli/cliexitcode.h"
#include "clifixture.h"
#include "core/languageloader.h"
#include "measurements/vectarisdatasetstocsv.h"
#include "sim/datasetstoreimage.h"
#include "sim/simcontrolunit.h"
#include "sim/simdefaults.h"
#include "sim/simprotocol.h"

#include <libusb.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <thread>

namespace {

using namespace SimProtocol;

QString addressOf(SimUsbBus& bus, const std::shared_ptr<SimInstrument>& instrument)
{
    const auto port = bus.portOf(instrument);
    return port ? QStringLiteral("%1:%2").arg(port->bus).arg(port->address) : QString();
}

QByteArray storeImage(int count, int points)
{
    DatasetStoreImage image;
    for (int s = 0; s < count; ++s) {
        DatasetStoreImage::Series series;
        series.text = QStringLiteral("Line %1").arg(s + 1).toLatin1();
        for (int i = 0; i < points + s; ++i) {
            DatasetStoreImage::Point point;
            point.depth = float(s) + float(i) / 10;
            point.frequency = 8192;
            // Every third point of the second series has no fix.
            if (!(s == 1 && i % 3 == 0)) {
                point.gpsText = DatasetStoreImage::rmcSentence(
                    48.1 + i * 1e-4, 11.5 + s * 1e-3, QDateTime(QDate(2021, 6, 1), QTime(10, s, i), Qt::UTC));
            }
            series.points.append(point);
        }
        image.series.append(series);
    }
    return image.build();
}

using CliCommands = CliFixture;

TEST_F(CliCommands, ListNamesEveryRecognisedInstrumentWithoutOpeningIt)
{
    auto unit = plugControlUnit();
    auto emitter = plugKind(SimKind::Emitter);
    auto foreign = plugKind(SimKind::ForeignVendor);
    const CliRun run = this->run({"list", "--json"});
    ASSERT_EQ(run.code, 0) << run.context();
    const QJsonObject json = run.json();
    EXPECT_EQ(json.value("command").toString(), QStringLiteral("list"));
    EXPECT_TRUE(json.value("ok").toBool());
    QSet<QString> listed;
    for (const QJsonValue& entry : json.value("instruments").toArray()) {
        const QJsonObject instrument = entry.toObject();
        listed << instrument.value("address").toString() + ' ' + instrument.value("kind").toString() + ' ' +
                      instrument.value("usbId").toString();
    }
    EXPECT_EQ(listed, (QSet<QString>{addressOf(bus(), unit) + QStringLiteral(" control-unit 1e84:3000"),
                                     addressOf(bus(), emitter) + QStringLiteral(" emitter 2952:0008")}));
    EXPECT_TRUE(unit->received().empty());
    EXPECT_TRUE(emitter->received().empty());

    // Human-readable: one line per instrument, nothing else on standard output.
    const CliRun text = this->run({"list"});
    EXPECT_EQ(text.code, 0);
    EXPECT_EQ(text.out.count('\n'), 2) << text.context();
    EXPECT_TRUE(text.out.contains("control-unit"));
}

struct InfoCase
{
    SimKind kind;
    const char* key;
    const char* usbId;
};

TEST_F(CliCommands, InfoReportsTheIdentityTheInstrumentHolds)
{
    const InfoCase cases[] = {{SimKind::ControlUnit, "control-unit", "1e84:3000"},
                              {SimKind::AcousticSensor, "acoustic-sensor", "1e84:3001"},
                              {SimKind::Emitter, "emitter", "2952:0008"},
                              {SimKind::UpdateOnly, "update-only", "2952:ffff"}};
    int n = 0;
    for (const InfoCase& kind : cases) {
        auto instrument = SimInstrumentFactory::create(kind.kind);
        const std::string serial = "SER-" + std::to_string(++n);
        instrument->storeOption(SimDefaults::DeviceSerialNumber, SimInstrument::textValue(serial));
        instrument->setPcbSerial("PCB-T-" + std::to_string(n));
        instrument->setSoftwareVersion("BOOT 7.0." + std::to_string(n) + "$2030-01-01");
        instrument->setChipId("1A2B3C4D5E6F70" + std::to_string(n) + "1122334455");
        plug(instrument);
        const CliRun run = this->run({"info", "--json", "--wait", "5"});
        ASSERT_EQ(run.code, 0) << kind.key << run.context();
        const QJsonObject device = run.json().value("device").toObject();
        EXPECT_EQ(device.value("kind").toString(), QString::fromLatin1(kind.key));
        EXPECT_EQ(device.value("usbId").toString(), QString::fromLatin1(kind.usbId));
        EXPECT_EQ(device.value("address").toString(), addressOf(bus(), instrument));
        EXPECT_EQ(device.value("serial").toString(), QString::fromStdString(serial));
        EXPECT_EQ(device.value("pcbSerial").toString(), QString::fromStdString(instrument->pcbSerial()));
        EXPECT_EQ(device.value("firmware").toString(), QStringLiteral("7.0.%1").arg(n));
        EXPECT_EQ(device.value("chipId").toString(), QString::fromStdString(instrument->chipId()));
        EXPECT_EQ(device.value("systemId").toString(),
                  BaseDevice::systemIdFromChipId(QString::fromStdString(instrument->chipId())));
        // The next kind is the only instrument again.
        bus().unplug(instrument);
        ASSERT_TRUE(waitServingNone());
    }
}

TEST_F(CliCommands, OptionsReadStoresEveryValueOfTheUnit)
{
    auto unit = plugControlUnit();
    const uint32_t changedId = SimDefaults::controlUnit().at(5).first;
    unit->storeOption(changedId, toSim(QByteArray::fromHex("5a5b5c")));

    const CliRun stored = run({"options", "read", "--json"});
    ASSERT_EQ(stored.code, 0) << stored.context();
    const QJsonObject json = stored.json();
    const QString file = json.value("file").toString();
    EXPECT_TRUE(file.startsWith(snapshotFolder())) << file.toStdString();
    const OptionsSnapshot snapshot = SnapshotStore::load(file);
    ASSERT_TRUE(snapshot.isValid());
    EXPECT_EQ(snapshot.serial, QStringLiteral("TCU-21-00042"));
    EXPECT_EQ(snapshot.kind, QStringLiteral("control-unit"));
    EXPECT_EQ(snapshot.usbId, 0x1E843000u);
    EXPECT_EQ(snapshot.firmwareVersion, QStringLiteral("1.4.2"));
    EXPECT_EQ(snapshot.systemId, BaseDevice::systemIdFromChipId(QString::fromStdString(unit->chipId())));
    EXPECT_EQ(snapshot.value(changedId), QByteArray::fromHex("5a5b5c"));
    for (const auto& option : SimDefaults::controlUnit()) {
        EXPECT_EQ(snapshot.value(option.first), toQt(unit->option(option.first).value_or(Bytes())))
            << std::hex << option.first;
    }
    EXPECT_EQ(json.value("options").toArray().size(), snapshot.options.size());

    // -o writes the same document where asked.
    const CliRun named = run({"options", "read", "-o", path("unit.json")});
    ASSERT_EQ(named.code, 0) << named.context();
    EXPECT_EQ(SnapshotStore::load(path("unit.json")).options.size(), snapshot.options.size());
    EXPECT_TRUE(named.out.contains("unit.json"));
}

TEST_F(CliCommands, LogDownloadSavesTheInstrumentsLogAsLatin1Text)
{
    auto unit = plugControlUnit();
    QByteArray log("12:00 start\0"
                   "12:01 \xe9t\xe9 fault",
                   25);
    unit->setLog(toSim(log));
    const CliRun run = this->run({"log", "download", "-o", path("unit.log"), "--json"});
    ASSERT_EQ(run.code, 0) << run.context();
    QByteArray expected = log;
    expected.replace('\0', '\n');
    EXPECT_EQ(readFile(path("unit.log")), expected);
    EXPECT_EQ(run.json().value("bytes").toInt(), expected.size());
    EXPECT_EQ(unit->log(), toSim(log)); // downloading leaves the log on the instrument
}

TEST_F(CliCommands, AnUnwritableOutputStopsBeforeAnythingIsAsked)
{
    auto unit = plugControlUnit();
    unit->setLog(toSim("entry"));
    unit->setDatasetStoreImage(storeImage(1, 2));
    for (const QStringList& command : {QStringList{"log", "download", "-o", path("missing/unit.log")},
                                       QStringList{"datasets", "export", "-o", path("missing/tracks.kml")},
                                       QStringList{"options", "read", "-o", work.path()}}) {
        unit->clearReceived();
        const CliRun run = this->run(command + QStringList{"--json"});
        EXPECT_EQ(run.code, int(CliExitCode::FileError)) << run.context();
        EXPECT_FALSE(run.json().value("ok").toBool());
        EXPECT_EQ(unit->countReceived(ReadLog) + unit->countReceived(ReadDataSets), 0u);
    }
    EXPECT_FALSE(QFileInfo::exists(path("missing")));
}

TEST_F(CliCommands, DatasetsListAndExportWhatTheUnitRecorded)
{
    auto unit = std::make_shared<SimControlUnit>();
    unit->setDatasetStoreImage(storeImage(3, 4));
    plug(unit);

    const CliRun listed = run({"datasets", "list", "--json"});
    ASSERT_EQ(listed.code, 0) << listed.context();
    const QJsonArray datasets = listed.json().value("datasets").toArray();
    ASSERT_EQ(datasets.size(), 3);
    for (int s = 0; s < 3; ++s) {
        const QJsonObject dataset = datasets.at(s).toObject();
        EXPECT_EQ(dataset.value("number").toInt(), s + 1);
        EXPECT_EQ(dataset.value("name").toString(), QStringLiteral("Line %1").arg(s + 1));
        EXPECT_EQ(dataset.value("points").toInt(), 4 + s);
        EXPECT_EQ(dataset.value("pointsWithPosition").toInt(), s == 1 ? 3 : 4 + s);
    }

    // Series 3 and 1 as CSV: the header row and one row per point, in the order asked for.
    const CliRun exported =
        run({"datasets", "export", "-o", path("tracks.csv"), "--series", "3,1", "--json"});
    ASSERT_EQ(exported.code, 0) << exported.context();
    EXPECT_EQ(exported.json().value("format").toString(), QStringLiteral("csv"));
    const QList<QByteArray> rows = readFile(path("tracks.csv")).trimmed().split('\n');
    ASSERT_EQ(rows.size(), 1 + 6 + 4);
    EXPECT_TRUE(rows.at(1).startsWith("Line 3,"));
    EXPECT_TRUE(rows.at(7).startsWith("Line 1,"));

    // KML by default; a series number beyond the store is a usage error and writes nothing.
    const CliRun kml = run({"datasets", "export", "-o", path("tracks.kml")});
    ASSERT_EQ(kml.code, 0) << kml.context();
    const QByteArray document = readFile(path("tracks.kml"));
    for (const char* name : {"<name>Line 1</name>", "<name>Line 2</name>", "<name>Line 3</name>"}) {
        EXPECT_TRUE(document.contains(name)) << name;
    }
    const CliRun beyond = run({"datasets", "export", "-o", path("four.kml"), "--series", "4"});
    EXPECT_EQ(beyond.code, int(CliExitCode::Usage));
    EXPECT_FALSE(QFileInfo::exists(path("four.kml")));
}

TEST_F(CliCommands, SeriesDatesAreIso8601WithTheirOffset)
{
    qputenv("TZ", "Europe/Berlin");
    tzset();
    auto unit = std::make_shared<SimControlUnit>();
    unit->setDatasetStoreImage(oneSeriesStore("19-05-01 13:45")); // no title, started at 13:45 UTC
    plug(unit);

    const CliRun listed = run({"datasets", "list", "--json"});
    ASSERT_EQ(listed.code, 0) << listed.context();
    const QJsonObject dataset = listed.json().value("datasets").toArray().at(0).toObject();
    EXPECT_EQ(dataset.value("date").toString(), QStringLiteral("2019-05-01T15:45:00+02:00"));
    EXPECT_EQ(dataset.value("name").toString(), QStringLiteral("2019-05-01T15:45:00+02:00"));
    EXPECT_TRUE(run({"datasets", "list"}).out.contains("2019-05-01T15:45:00+02:00"));
}

struct PrintedText
{
    QStringList command;
    const char* text;
};

TEST_F(CliCommands, InstrumentTextsArePrintedAsTheyStand)
{
    // Texts from the instrument that look like the placeholders of the lines they are printed in.
    auto unit = std::make_shared<SimControlUnit>();
    unit->storeOption(SimDefaults::DeviceSerialNumber, SimInstrument::textValue("TCU %2 %3"));
    unit->setLog(toSim("entry"));
    unit->setDatasetStoreImage(oneSeriesStore("Site %3"));
    plug(unit);
    const PrintedText cases[] = {
        {{"datasets", "list"}, "Site %3"},
        {{"log", "download", "-o", path("unit.log")}, "serial TCU %2 %3"},
        {{"options", "read", "-o", path("unit.json")}, "serial TCU %2 %3"},
    };
    for (const PrintedText& printed : cases) {
        const CliRun run = this->run(printed.command);
        ASSERT_EQ(run.code, 0) << run.context();
        EXPECT_TRUE(run.out.contains(printed.text)) << run.context();
    }
}

// Every way of having no instrument to serve is exit code 2, with its reason in the JSON and on standard
// error, and nothing asked of an instrument that is there.
TEST_F(CliCommands, EachWayOfHavingNoInstrumentIsExitTwoWithItsReason)
{
    const struct
    {
        const char* what;
        QList<SimKind> plugged;
        QStringList command;
        const char* reason;
        bool identified; // the instrument plugged may have been identified
    } cases[] = {
        {"none plugged", {}, {"info"}, "No instrument", false},
        {"none within the wait", {}, {"info", "--wait", "0.3"}, "No instrument", false},
        {"sensor for the series", {SimKind::AcousticSensor}, {"datasets", "list"}, "control unit", true},
        {"emitter for a calibration", {SimKind::Emitter}, {"calibrate"}, "acoustic sensor", true},
        {"two without --device", {SimKind::Emitter, SimKind::ControlUnit}, {"info"}, "--device", false},
        {"none at that address", {SimKind::ControlUnit}, {"info", "--device", "9:99"}, "9:99", false},
        // Last: libusb stays unavailable for the rest of the process.
        {"no USB at all", {SimKind::ControlUnit}, {"list"}, "USB is not available", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (QByteArray(c.reason) == "USB is not available") {
            UsbManager::instance()->deinit(); // the next session starts libusb anew, and fails
            UsbManager::instance()->setLibusbInitForTesting([] { return int(LIBUSB_ERROR_OTHER); });
        }
        std::vector<std::shared_ptr<SimInstrument>> instruments;
        for (const SimKind kind : c.plugged)
            instruments.push_back(plugKind(kind));
        const CliRun json = run(c.command + QStringList{"--json"});
        EXPECT_EQ(json.code, int(CliExitCode::NoInstrument)) << json.context();
        EXPECT_EQ(json.json().value("exitCode").toInt(), 2);
        EXPECT_FALSE(json.json().value("ok").toBool());
        EXPECT_TRUE(json.json().value("error").toString().contains(QLatin1String(c.reason)))
            << json.context();
        const CliRun text = run(c.command);
        EXPECT_EQ(text.code, 2);
        EXPECT_TRUE(text.out.isEmpty()) << text.context();
        EXPECT_TRUE(text.err.contains(c.reason)) << text.context();
        for (const auto& instrument : instruments) {
            EXPECT_TRUE(instrument->received().empty() || c.identified);
            EXPECT_EQ(instrument->countReceived(ReadDataSets) + instrument->countReceived(CdcSetThreshold),
                      0u);
        }
        bus().unplugAll();
        ASSERT_TRUE(waitServingNone());
    }
}

TEST_F(CliCommands, SeveralInstrumentsNeedTheDeviceOption)
{
    std::shared_ptr<SimInstrument> unit = plugControlUnit();
    std::shared_ptr<SimInstrument> emitter = plugKind(SimKind::Emitter);
    // The one asked for is served, not the one the discovery would have taken first (the first listed).
    const QJsonArray listed = run({"list", "--json"}).json().value("instruments").toArray();
    ASSERT_EQ(listed.size(), 2);
    const QJsonObject last = listed.at(1).toObject();
    const CliRun chosen = run({"info", "--json", "--device", last.value("address").toString()});
    ASSERT_EQ(chosen.code, 0) << chosen.context();
    EXPECT_EQ(chosen.json().value("device").toObject().value("kind"), last.value("kind"));
    const auto& other = last.value("kind").toString() == QLatin1String("emitter") ? unit : emitter;
    EXPECT_TRUE(other->received().empty());
}

TEST_F(CliCommands, SeveralInstrumentsArrivingDuringTheWaitNeedTheDeviceOptionToo)
{
    auto unit = std::make_shared<SimControlUnit>();
    auto emitter = SimInstrumentFactory::create(SimKind::Emitter);
    QTimer::singleShot(500, [&] {
        plug(unit);
        plug(emitter);
    });
    const CliRun run = this->run({"reset", "--yes", "--without-snapshot", "--wait", "15", "--json"});
    EXPECT_EQ(run.code, int(CliExitCode::NoInstrument)) << run.context();
    EXPECT_TRUE(run.json().value("error").toString().contains("--device")) << run.context();
    EXPECT_EQ(unit->factoryResetCount(), 0);
    EXPECT_EQ(emitter->countReceived(FactoryReset), 0u);
}

TEST_F(CliCommands, WaitPicksUpAnInstrumentPluggedLater)
{
    auto unit = std::make_shared<SimControlUnit>();
    QTimer::singleShot(2000, [&] { plug(unit); });
    const CliRun run = this->run({"info", "--json", "--wait", "15"});
    ASSERT_EQ(run.code, 0) << run.context();
    EXPECT_EQ(run.json().value("device").toObject().value("serial").toString(), "TCU-21-00042");
    EXPECT_TRUE(run.err.contains("Waiting"));
}

// The console speaks the installed language; the JSON document and the exit code are the same in both,
// also where the words come from the device layer (a job's result, a snapshot's failure).
TEST_F(CliCommands, GermanChangesTheWordsButNeitherTheJsonNorTheExitCode)
{
    auto unit = std::make_shared<SimControlUnit>();
    unit->setDatasetStoreImage(storeImage(2, 3));
    plug(unit);
    struct Case
    {
        QStringList command;
        int code;
        const char* german;       // in the human-readable answer
        uint32_t failing = 0;     // a command the unit's link refuses during the case
        bool noSnapshots = false; // a file stands where the snapshot folder belongs
    };
    const int failed = int(CliExitCode::InstrumentFailed);
    const Case cases[] = {
        {{"info", "--wait", "5"}, 0, "Seriennummer der Leiterplatte:"},
        {{"datasets", "list"}, 0, "3 Punkte, 3 mit Position"},
        {{"calibrate"}, int(CliExitCode::NoInstrument), "braucht einen akustischen Sensor"},
        {{"frobnicate"}, int(CliExitCode::Usage), "Unbekannter Befehl"},
        {{"log", "download", "-o", path("unit.log")}, failed, "Geräteprotokoll konnte nicht", ReadLog},
        {{"reset", "--yes", "--without-snapshot"}, failed, "Werkseinstellungen fehlgeschlagen", FactoryReset},
        {{"reset", "--yes"}, failed, "Sicherung konnte nicht gespeichert", 0, true},
    };
    for (const Case& c : cases) {
        const std::string name = c.command.join(' ').toStdString();
        CliRun json[2];
        CliRun text[2];
        unit->faults().clear();
        if (c.failing) {
            unit->faults().pipeErrorOn(c.failing);
        }
        QDir(snapshotFolder()).removeRecursively();
        if (c.noSnapshots) {
            blockSnapshots();
        }
        for (int german = 0; german < 2; ++german) {
            ASSERT_TRUE(LanguageLoader::install(german ? QStringLiteral("de") : QStringLiteral("en")));
            json[german] = run(c.command + QStringList{"--json"});
            text[german] = run(c.command);
        }
        LanguageLoader::install(QStringLiteral("en"));
        QFile::remove(snapshotFolder());
        EXPECT_EQ(json[0].code, c.code) << name << json[0].context();
        EXPECT_EQ(json[1].code, c.code) << name;
        EXPECT_EQ(text[1].code, c.code) << name;
        // The snapshot's file name carries the second it was taken.
        QJsonObject english = json[0].json();
        QJsonObject german = json[1].json();
        english.remove(QStringLiteral("snapshot"));
        german.remove(QStringLiteral("snapshot"));
        EXPECT_EQ(german, english) << name << json[1].context();
        EXPECT_FALSE(json[1].out.contains(c.german)) << name;
        EXPECT_TRUE((text[1].out + text[1].err).contains(c.german)) << name << text[1].context();
        EXPECT_FALSE((text[0].out + text[0].err).contains(c.german)) << name << text[0].context();
    }
}

} // namespace
