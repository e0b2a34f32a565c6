// The production station on a simulated line: five boards (an update-only board that becomes a locator
// sensor and passes, one that already carries a serial, one unplugged during its firmware update, one of
// another kind, one that passes), each plugged once the one before is out. Reports boards per hour and the
// station's own time per board against the time it waited for the boards (operations on the wire and
// restarts); goal: the station's own share under 2 % of a board's time.
#include "bench/support/shortrun.h"
#include "core/applicationidentity.h"
#include "core/loggerfactory.h"
#include "devices/devicefactory.h"
#include "firmware/firmwarecipher.h"
#include "records/recorder.h"
#include "sim/simdefaults.h"
#include "sim/simemitter.h"
#include "sim/simlocatorsensor.h"
#include "sim/simupdateonlyboard.h"
#include "sim/usbfs/simusbbus.h"
#include "station/station.h"
#include "station/stationserials.h"
#include "tools/firmwarepacker.h"
#include "usb/usbmanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <vector>

namespace {
constexpr int kImageSize = 256 * 1024;

struct Line
{
    std::unique_ptr<SimUsbBus> bus;
    std::unique_ptr<QTemporaryDir> dir;
    int runs = 0;
} g;

std::shared_ptr<SimInstrument> fresh(std::shared_ptr<SimInstrument> board)
{
    board->storeOption(SimDefaults::DeviceSerialNumber, {});
    return board;
}

QByteArray image(const QByteArray& tag)
{
    QByteArray bytes = tag + '\0';
    for (int i = bytes.size(); i < kImageSize; ++i) {
        bytes.append(char((i * 13 + i / 509) & 0xFF));
    }
    return bytes;
}

bool prepare()
{
    FirmwarePacker packer(FirmwareCipher::kBuiltInKey);
    FirmwareInfo info;
    info.firmwareVersion = QStringLiteral("2.0.0");
    info.supportedHardware = QStringList{QStringLiteral("ALL")};
    const quint8 flags = FirmwareCipher::FlagCompressed | FirmwareCipher::FlagHash;
    QJsonArray options;
    for (quint32 id = 0x20000000; id < 0x20000008; ++id) {
        options.append(
            QJsonObject{{"id", QString::number(id)}, {"type", "uint32_t"}, {"value", int(id & 0xFF)}});
    }
    const QJsonObject description{
        {"devices", QJsonArray{QJsonObject{{"device_type", "VS"},
                                           {"firmware", "locator.firmware"},
                                           {"functions", QJsonArray{QJsonObject{{"name", "Locator"},
                                                                                {"pcb_versions", "A"},
                                                                                {"options", options}}}}}}},
        {"basefirmware", "base.firmware"}};
    const QDir dir(g.dir->path());
    return packer.save(dir.filePath("file.options"), packer.packJson(description, flags)) &&
           packer.save(
               dir.filePath("locator.firmware"),
               packer.packFirmware(image(QByteArray(SimInstrument::kVersionTag) + "2.0.0"), info, flags)) &&
           packer.save(dir.filePath("base.firmware"),
                       packer.packFirmware(image(QByteArray(SimUpdateOnlyBoard::kKindTag) + "2952:0004:VS"),
                                           info, flags));
}

void StationLine(benchmark::State& state)
{
    Recorder::Options recordsOptions;
    recordsOptions.database = RecordsAddress::sqlite(g.dir->filePath(QStringLiteral("records.sqlite")));
    recordsOptions.local = recordsOptions.database;
    Recorder recorder(recordsOptions);
    double boards = 0;
    double seconds = 0;
    double boardSeconds = 0;
    double instrumentSeconds = 0;
    int passed = 0;
    for (auto _ : state) {
        // A range of its own per run: the counter remembers the last one.
        StationSerials serials;
        QString error;
        const QString prefix = QStringLiteral("BENCH%1-").arg(++g.runs);
        serials.setRange(prefix + "0001", prefix + "0999", &error);
        const std::vector<std::function<std::shared_ptr<SimInstrument>()>> makers{
            [] { return fresh(std::make_shared<SimUpdateOnlyBoard>()); },
            [] { return std::make_shared<SimLocatorSensor>(); },
            [] {
                auto board = fresh(std::make_shared<SimLocatorSensor>());
                board->setVerifyDelay(std::chrono::seconds(30));
                return board;
            },
            [] { return std::make_shared<SimEmitter>(); },
            [] { return fresh(std::make_shared<SimLocatorSensor>()); },
        };
        std::vector<std::shared_ptr<SimInstrument>> line;
        Station station(UsbManager::instance(), &recorder, &serials);
        Station::Setup setup;
        setup.function = QStringLiteral("Locator");
        setup.optionDirectory = g.dir->path();
        setup.snapshotFolder = g.dir->filePath(QStringLiteral("snapshots"));
        auto plugNext = [&] {
            if (line.size() < makers.size()) {
                line.push_back(makers[line.size()]());
                g.bus->plug(line.back());
            }
        };
        QObject::connect(&station, &Station::boardDone, &station, [&](const Station::Outcome& outcome) {
            boardSeconds += outcome.seconds;
            instrumentSeconds += outcome.instrumentSeconds;
            passed += outcome.passed ? 1 : 0;
            if (line.size() == makers.size()) {
                station.stop();
            }
            g.bus->unplug(line.back());
            plugNext();
        });
        // The board to be pulled during its update goes as soon as the update began.
        QTimer pull;
        QObject::connect(&pull, &QTimer::timeout, [&] {
            if (line.size() == 3 && line[2]->countReceived(0x100) > 0 && g.bus->isPlugged(line[2])) {
                g.bus->unplug(line[2]);
            }
        });
        pull.start(5);
        QElapsedTimer clock;
        clock.start();
        if (station.start(setup) != 0) {
            state.SkipWithError(qPrintable(station.errorText()));
            break;
        }
        plugNext();
        QEventLoop loop;
        QObject::connect(&station, &Station::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        loop.exec();
        seconds += clock.nsecsElapsed() / 1e9;
        boards += station.passed() + station.failed();
        g.bus->unplugAll();
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    recorder.waitForIdle(10000);
    if (boards != 5.0 * double(state.iterations()) || passed != 2 * int(state.iterations())) {
        state.SkipWithError("the line did not end with five boards, two passed");
        return;
    }
    state.counters["boards_per_hour"] = boards / seconds * 3600;
    state.counters["board_s"] = boardSeconds / boards;
    state.counters["instrument_s"] = instrumentSeconds / boards;
    state.counters["station_overhead_pct"] = 100 * (boardSeconds - instrumentSeconds) / boardSeconds;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g.dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_DATA_HOME", g.dir->filePath(QStringLiteral("data")).toLocal8Bit());
    ApplicationIdentity::apply();
    LoggerFactory::instance()->init(2, g.dir->filePath(QStringLiteral("service-software.log")),
                                    LoggerFactory::Console::None);
    DeviceFactory::install();
    if (!prepare()) {
        return 1;
    }
    g.bus = std::make_unique<SimUsbBus>(); // before libusb starts
    UsbManager::instance()->setPollInterval(1000);
    UsbManager::instance()->init();
    benchmark::RegisterBenchmark("StationLine/five_boards", StationLine)
        ->Iterations(benchCount(3))
        ->Unit(benchmark::kSecond);
    benchmark::RunSpecifiedBenchmarks();
    g.bus->unplugAll();
    UsbManager::instance()->deinit();
    g.bus.reset();
    return 0;
}
