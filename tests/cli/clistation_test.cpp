// service-cli station in-process against a line of simulated boards: an operator plugs each board once
// the one before has its line and unplugs it again; what each board ends up holding, the lines, the
// records and the serial counter are checked.
#include "app/cli/cliexitcode.h"
#include "clifixture.h"
#include "core/settings.h"
#include "firmwarefiles.h"
#include "records/recordstore.h"
#include "sim/simdefaults.h"
#include "sim/simemitter.h"
#include "sim/simlocatorsensor.h"
#include "sim/simupdateonlyboard.h"

#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>

#include <functional>

namespace {

using namespace SimProtocol;

constexpr uint32_t kFirstOption = 0x20000000;
constexpr uint32_t kSecondOption = 0x20000001;
const QByteArray kFirstValue = QByteArray::fromHex("0b000000");
const QByteArray kSecondValue = QByteArray::fromHex("16000000");

// One board of the line: how it is made, what its line must read, what it must hold afterwards.
struct Board
{
    std::function<std::shared_ptr<SimInstrument>()> make;
    const char* line; // a regular expression
    std::function<void(SimInstrument&)> holds;
    bool unplugDuringUpdate = false;
    std::shared_ptr<SimInstrument> instrument = nullptr;
};

std::shared_ptr<SimInstrument> fresh(std::shared_ptr<SimInstrument> board)
{
    board->storeOption(SimDefaults::DeviceSerialNumber, {});
    return board;
}

QByteArray stored(const SimInstrument& board, uint32_t id)
{
    return toQt(board.permanentOption(id).value_or(Bytes()));
}

// Configured: the serial, the function's two values and the firmware, as a locator sensor.
void configured(SimInstrument& board, const char* serial)
{
    EXPECT_EQ(stored(board, SimDefaults::DeviceSerialNumber), QByteArray(serial));
    EXPECT_EQ(stored(board, kFirstOption), kFirstValue);
    EXPECT_EQ(stored(board, kSecondOption), kSecondValue);
    EXPECT_EQ(board.softwareVersion(), "2.0.0");
    EXPECT_EQ(board.usbIdentity().productId(), 0x0004);
}

void untouched(SimInstrument& board)
{
    EXPECT_EQ(board.countReceived(SetOption), 0u);
    EXPECT_EQ(board.countReceived(FirmwareStart), 0u);
}

class CliStation : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        const QJsonObject description{
            {"devices",
             QJsonArray{QJsonObject{
                 {"device_type", "VS"},
                 {"firmware", "locator.firmware"},
                 {"functions", QJsonArray{QJsonObject{
                                   {"name", "Locator"},
                                   {"pcb_versions", QJsonArray{"A"}},
                                   {"options", QJsonArray{QJsonObject{{"id", QString::number(kFirstOption)},
                                                                      {"type", "uint32_t"},
                                                                      {"value", 11}},
                                                          QJsonObject{{"id", QString::number(kSecondOption)},
                                                                      {"type", "uint32_t"},
                                                                      {"value", 22}}}}}}}}}},
            {"basefirmware", "base.firmware"}};
        write("file.options", files.packer.packJson(description, FirmwareCipher::FlagHash));
        write("locator.firmware", firmware(QByteArray(SimInstrument::kVersionTag) + "2.0.0"));
        write("base.firmware", firmware(QByteArray(SimUpdateOnlyBoard::kKindTag) + "2952:0004:VS"));
    }

    QByteArray firmware(const QByteArray& tag)
    {
        return files.packer.packFirmware(tag + '\0' + QByteArray(6000, 'x'),
                                         FirmwareFiles::info("2.0.0", {"ALL"}), FirmwareCipher::FlagHash);
    }
    void write(const QString& name, const QByteArray& content) { files.write(path(name), content); }

    // Runs the station while an operator works the line: the next board goes in once the one before has
    // its line and is out again.
    CliRun runLine(const QStringList& arguments, std::vector<Board>& boards, const QByteArray& input = {})
    {
        CliStreams streams(input);
        size_t next = 0;
        QTimer operatorTimer;
        QObject::connect(&operatorTimer, &QTimer::timeout, [&] {
            const int lines = streams.out.data().count('\n');
            if (next > 0 && size_t(lines) >= next) {
                Board& done = boards[next - 1];
                if (bus().isPlugged(done.instrument)) {
                    bus().unplug(done.instrument);
                }
            }
            if (next > 0 && size_t(lines) < next) {
                Board& working = boards[next - 1];
                if (working.unplugDuringUpdate && working.instrument->countReceived(FirmwareStart) > 0 &&
                    bus().isPlugged(working.instrument)) {
                    bus().unplug(working.instrument);
                }
                return;
            }
            if (next < boards.size()) {
                boards[next].instrument = boards[next].make();
                if (boards[next].unplugDuringUpdate) {
                    boards[next].instrument->setVerifyDelay(std::chrono::seconds(20));
                }
                plug(boards[next].instrument);
                ++next;
            }
        });
        operatorTimer.start(10);
        const CliRun result =
            run(QStringList{"station", "--function", "Locator", "--firmware", path("locator.firmware")} +
                    arguments,
                streams);
        bus().unplugAll();
        EXPECT_TRUE(waitServingNone());
        return result;
    }

    FirmwareFiles files;
};

TEST_F(CliStation, ALineOfBoardsEndsWithTheRightVerdictsRecordsAndContents)
{
    std::vector<Board> boards{
        {[] { return fresh(std::make_shared<SimUpdateOnlyBoard>()); }, "PASS LINE-0001 \\d+ s",
         [](SimInstrument& board) { configured(board, "LINE-0001"); }},
        {[] { return std::make_shared<SimLocatorSensor>(); },
         "FAIL VS-22-00101 identity: the board already carries the serial VS-22-00101 \\(re-work not "
         "chosen\\)",
         [](SimInstrument& board) {
             untouched(board);
             EXPECT_EQ(stored(board, SimDefaults::DeviceSerialNumber), QByteArray("VS-22-00101"));
         }},
        {[] { return fresh(std::make_shared<SimLocatorSensor>()); }, "FAIL LINE-0002 firmware: .+",
         [](SimInstrument& board) { EXPECT_NE(board.softwareVersion(), "2.0.0"); }, true},
        {[] { return std::make_shared<SimEmitter>(); },
         "FAIL VE-22-00301 kind: a Vectaris Emitter of device type \"VE\", PCB \"B\" is not a board for "
         "function Locator \\(VS\\)",
         untouched},
        {[] {
             auto board = fresh(std::make_shared<SimLocatorSensor>());
             board->faults().dropOptionSet(kSecondOption);
             return board;
         },
         "FAIL LINE-0002 verify: option 20000001 \\(.+\\) holds .+, meant 16 00 00 00",
         [](SimInstrument& board) {
             EXPECT_EQ(stored(board, kFirstOption), kFirstValue);
             EXPECT_NE(stored(board, kSecondOption), kSecondValue);
         }},
        {[] { return fresh(std::make_shared<SimLocatorSensor>()); }, "PASS LINE-0002 \\d+ s",
         [](SimInstrument& board) { configured(board, "LINE-0002"); }},
    };
    const CliRun run = runLine({"--serials", "LINE-0001..LINE-0009", "--count", "6"}, boards);
    EXPECT_EQ(run.code, int(CliExitCode::InstrumentFailed)) << run.context();

    const QStringList lines = QString::fromUtf8(run.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), int(boards.size()) + 1) << run.context();
    for (size_t i = 0; i < boards.size(); ++i) {
        SCOPED_TRACE(i);
        const QRegularExpression line(QStringLiteral("^%1$").arg(QString::fromLatin1(boards[i].line)));
        EXPECT_TRUE(line.match(lines.at(int(i))).hasMatch()) << lines.at(int(i)).toStdString();
        boards[i].holds(*boards[i].instrument);
    }
    EXPECT_TRUE(lines.last().startsWith("6 boards: 2 passed, 4 failed")) << run.context();

    // Every board in the records, newest first.
    RecordStore store;
    ASSERT_EQ(store.open(RecordsAddress::localDefault()), 0);
    RecordStore::Filter filter;
    filter.operation = "station-board";
    const QList<ServiceEvent> events = store.find(filter);
    ASSERT_EQ(events.size(), int(boards.size()));
    for (int i = 0; i < events.size(); ++i) {
        const QString shown = lines.at(events.size() - 1 - i);
        EXPECT_EQ(events.at(i).result, shown.startsWith("PASS") ? 0 : -1) << shown.toStdString();
        EXPECT_TRUE(shown.contains(events.at(i).message.section(':', 1).trimmed())) << shown.toStdString();
    }
    EXPECT_EQ(events.first().serial, "LINE-0002");
    EXPECT_EQ(events.first().detailsObject().value("firmwareVersion").toString(), "2.0.0");
}

TEST_F(CliStation, TheCounterMovesOnlyOnPassAndSurvivesARestart)
{
    std::vector<Board> first{
        {[] { return fresh(std::make_shared<SimLocatorSensor>()); }, "", {}, true},
        {[] { return fresh(std::make_shared<SimLocatorSensor>()); }, "", {}},
    };
    EXPECT_NE(runLine({"--serials", "LINE-0041..LINE-0043", "--count", "2"}, first).code, 0);
    // What a restarted station reads: the settings file.
    QSettings file(Settings::instance()->fileName(), QSettings::IniFormat);
    EXPECT_EQ(file.value("Station/next-LINE-").toInt(), 42);

    std::vector<Board> second{{[] { return fresh(std::make_shared<SimLocatorSensor>()); }, "", {}}};
    const CliRun run = runLine({"--serials", "LINE-0041..LINE-0043", "--count", "1", "--json"}, second);
    ASSERT_EQ(run.code, 0) << run.context();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << run.context();
    const QJsonObject board = QJsonDocument::fromJson(lines.first()).object();
    EXPECT_EQ(board.value("result").toString(), "PASS");
    EXPECT_EQ(board.value("serial").toString(), "LINE-0042");
    EXPECT_EQ(QJsonDocument::fromJson(lines.last()).object().value("passed").toInt(), 1);
    EXPECT_EQ(stored(*second.front().instrument, SimDefaults::DeviceSerialNumber), QByteArray("LINE-0042"));
}

TEST_F(CliStation, AScannedSerialGoesToTheNextBoardAndTheEndOfInputEndsTheRun)
{
    std::vector<Board> boards{{[] { return fresh(std::make_shared<SimLocatorSensor>()); }, "", {}}};
    const CliRun run = runLine({"--scan"}, boards, "SCAN-0007\n");
    ASSERT_EQ(run.code, 0) << run.context();
    EXPECT_TRUE(run.out.startsWith("PASS SCAN-0007 ")) << run.context();
    EXPECT_EQ(stored(*boards.front().instrument, SimDefaults::DeviceSerialNumber), QByteArray("SCAN-0007"));
}

} // namespace
