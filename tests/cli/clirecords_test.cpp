// Every service-cli command that works on an instrument leaves its service records, in the SQLite file
// the settings name: one event per operation, with the instrument, the outcome and what it worked with.
#include "clifixture.h"
#include "firmwarefiles.h"
#include "records/recordstore.h"
#include "sim/simcontrolunit.h"
#include "sim/simdefaults.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QSettings>

#include <algorithm>
#include <functional>

namespace {

using namespace SimProtocol;

class CliRecords : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        database = path(QStringLiteral("records.sqlite"));
        QSettings settings(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                               QLatin1Char('/') + QCoreApplication::applicationName() + ".ini",
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("Records/database"), database);
        settings.setValue(QStringLiteral("Records/station"), QStringLiteral("Line 3"));
    }

    // The events written since the last call, oldest first.
    QList<ServiceEvent> newEvents()
    {
        RecordStore store;
        EXPECT_EQ(store.open(RecordsAddress::sqlite(database)), 0) << store.errorText().toStdString();
        QList<ServiceEvent> all = store.find({});
        std::reverse(all.begin(), all.end());
        const QList<ServiceEvent> fresh = all.mid(seen);
        seen = all.size();
        return fresh;
    }

    QString database;
    int seen = 0;
};

QString sha256(const QString& file)
{
    return QString::fromLatin1(QCryptographicHash::hash(readFile(file), QCryptographicHash::Sha256).toHex());
}

TEST_F(CliRecords, EachCommandLeavesExactlyItsEvents)
{
    auto unit = std::make_shared<SimControlUnit>();
    unit->setLog(toSim("12:00 start"));
    unit->setDatasetStoreImage(oneSeriesStore("Line 1", 2));
    plug(unit);

    FirmwareFiles files;
    const QString firmwareFile = files.tagged("3.2.1", {"C", "D"});
    const quint32 changedId = SimDefaults::controlUnit().at(4).first;

    struct Case
    {
        QStringList arguments;
        const char* events; // the new ones in any order; the first is checked
        int result;
        QJsonObject details; // fields its details hold (a subset)
        std::function<void()> before = {};
        int plugsAfter = 0; // > 0: the instrument restarts; wait until it is served again
    };
    const QString log = path(QStringLiteral("unit.log"));
    const QString read = path(QStringLiteral("read.json"));
    const QString tracks = path(QStringLiteral("tracks.csv"));
    const QString changed = QStringLiteral("0x%1").arg(changedId, 8, 16, QLatin1Char('0'));
    const Case cases[] = {
        {{"info"}, "connected", 0, {{"hardwareRevision", "D"}}},
        {{"log", "download", "-o", log}, "log-download", 0, {{"bytes", 11}}},
        {{"options", "read", "-o", read}, "snapshot-taken", 0, {{"file", read}}},
        {{"datasets", "export", "-o", tracks, "--format", "csv"},
         "dataset-export dataset-read",
         0,
         {{"format", "csv"}, {"series", 1}, {"points", 2}, {"file", tracks}}},
        {{"log", "clear", "--yes"},
         "log-clear snapshot-taken",
         LIBUSB_ERROR_PIPE,
         {},
         [&] { unit->faults().pipeErrorOn(DeleteLog, 1); }},
        {{"datasets", "clear", "--yes"}, "dataset-clear snapshot-taken", 0, {}},
        {{"options", "restore", read, "--yes"},
         "snapshot-restored connected",
         0,
         {{"file", read}, {"changed", QJsonArray{changed}}, {"notTaken", QJsonArray()}},
         [&] { unit->storeOption(changedId, toSim(QByteArray::fromHex("a5000004"))); },
         2},
        {{"firmware", "update", firmwareFile, "--yes"},
         "firmware-update snapshot-taken",
         0,
         {{"file", QFileInfo(firmwareFile).fileName()},
          {"sha256", sha256(firmwareFile)},
          {"bytes", QFileInfo(firmwareFile).size()}},
         {},
         3},
        // The version a firmware update installed is the one the instrument comes back with.
        {{"info"}, "connected", 0, {{"firmwareVersion", "3.2.1"}}},
        {{"reset", "--yes"}, "factory-reset snapshot-taken", 0, {}},
    };
    QString versionBefore;
    for (const Case& c : cases) {
        const std::string what = c.arguments.join(QLatin1Char(' ')).toStdString();
        QStringList expected = QString::fromLatin1(c.events).split(QLatin1Char(' '));
        const QString checked = expected.first();
        expected.sort();
        if (c.before) {
            c.before();
        }
        const CliRun run = this->run(c.arguments);
        if (c.plugsAfter > 0) {
            ASSERT_TRUE(waitServed(unit, c.plugsAfter)) << what;
        }
        const QList<ServiceEvent> events = newEvents();
        QStringList operations;
        for (const ServiceEvent& event : events) {
            operations << event.operation;
            EXPECT_EQ(event.serial, QStringLiteral("TCU-21-00042")) << what;
            EXPECT_EQ(event.kind, QStringLiteral("control-unit")) << what;
            EXPECT_EQ(event.interfaceName, QStringLiteral("command-line")) << what;
            EXPECT_EQ(event.station, QStringLiteral("Line 3")) << what;
            EXPECT_FALSE(event.usbId.isEmpty()) << what;
            if (event.operation == QLatin1String("connected")) {
                versionBefore = event.detailsObject().value("firmwareVersion").toString();
            }
            if (event.operation != checked) {
                continue;
            }
            EXPECT_EQ(event.result, c.result) << what << " " << run.context();
            const QJsonObject details = event.detailsObject();
            for (auto it = c.details.begin(); it != c.details.end(); ++it) {
                EXPECT_EQ(details.value(it.key()), it.value()) << what << " " << it.key().toStdString();
            }
            if (event.operation == QLatin1String("firmware-update")) {
                EXPECT_EQ(details.value("versionBefore").toString(), versionBefore) << what;
            }
        }
        operations.sort();
        EXPECT_EQ(operations, expected) << what << "\n" << run.context();
    }
    // Served anew after its restart, identified once, and running what the update installed.
    EXPECT_EQ(versionBefore, QStringLiteral("3.2.1"));
}
} // namespace
