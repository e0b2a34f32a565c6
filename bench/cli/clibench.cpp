// service-cli measured in-process on the emulated bus, the way CliSession runs in the executable:
//  - a full options snapshot of a control unit (200 ids): the device's read alone, and "options read";
//  - the time from a run's start (CliSession::run entry, libusb not yet started) to the first packet the
//    instrument receives;
//  - "firmware update" of a 256 KiB image against the same packets as a bare libusb loop (target ratio
//    <= 1.05): on an update-only board (its snapshot holds no options) with the board already served and
//    from a cold start, and on a control unit, whose snapshot reads 200 options first;
//  - the built binary started as a process (--version; "list" with no instrument).
// Logging as in the field: info level into a daily file, no console.
#include "app/cli/cliconsole.h"
#include "app/cli/clisession.h"
#include "core/applicationidentity.h"
#include "core/loggerfactory.h"
#include "devices/basedevice.h"
#include "devices/devicefactory.h"
#include "firmware/firmwarechecksum.h"
#include "firmware/firmwarecipher.h"
#include "sim/simcontrolunit.h"
#include "sim/siminstrumentfactory.h"
#include "sim/usbfs/simusbbus.h"
#include "tools/firmwarepacker.h"
#include "usb/usbmanager.h"

#include "bench/support/barefirmwareloop.h"
#include "bench/support/ratioreporter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <libusb.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

constexpr int kImageSize = 256 * 1024;

struct Bench
{
    std::unique_ptr<SimUsbBus> bus;
    std::unique_ptr<QTemporaryDir> dir;
    QString firmwarePath;
    QByteArray image;
} g;

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// One run of the command line with its output kept in memory.
int runCli(const QStringList& arguments)
{
    QBuffer out;
    QBuffer err;
    QBuffer in;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    in.open(QIODevice::ReadOnly);
    CliConsole console(&out, &err, &in, false, false);
    CliSession session(console, UsbManager::instance());
    session.setSnapshotFolder(g.dir->filePath(QStringLiteral("snapshots")));
    const int code = session.run(QStringList{QStringLiteral("service-cli")} + arguments);
    if (code != 0 && arguments.value(0) != QLatin1String("list")) {
        std::fprintf(stderr, "service-cli %s: exit %d: %s", qPrintable(arguments.join(QLatin1Char(' '))),
                     code, err.data().constData());
    }
    return code;
}

// The device the discovery serves for `instrument` once it is open, identified and idle, and plugged at
// least `plugs` times (a restarted instrument leaves its old port a moment after the restart command);
// null after 20 s.
BaseDevice* waitServed(const std::shared_ptr<SimInstrument>& instrument, int plugs = 1)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        const auto port = g.bus->portOf(instrument);
        if (port && g.bus->plugCount(instrument) >= plugs) {
            auto* device = qobject_cast<BaseDevice*>(
                UsbManager::instance()->device(UsbBusDeviceAddress(port->bus, port->address)).data());
            if (device && device->isConnected() && !device->chipId().isEmpty() &&
                device->pendingJobCount() == 0) {
                return device;
            }
        }
        spin(5);
    }
    return nullptr;
}

void unplugAll()
{
    // A board that was just told to restart comes back after the re-enumeration delay: unplug it again.
    g.bus->unplugAll();
    spin(200);
    g.bus->unplugAll();
    QElapsedTimer clock;
    clock.start();
    while (!UsbManager::instance()->addresses().isEmpty() && clock.elapsed() < 10000) {
        spin(10);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Runs first, with a context of its own, while the discovery has not started.
void BM_BareLibusbFirmware(benchmark::State& state)
{
    libusb_context* context = nullptr;
    if (libusb_init(&context) != 0) {
        state.SkipWithError("libusb_init failed");
        return;
    }
    auto board = SimInstrumentFactory::create(SimKind::UpdateOnly);
    g.bus->plug(board);
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    libusb_device_handle* handle = nullptr;
    for (ssize_t i = 0; i < count && !handle; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) == 0 && descriptor.idVendor == 0x2952 &&
            descriptor.idProduct == 0xFFFF && libusb_open(list[i], &handle) != 0) {
            handle = nullptr;
        }
    }
    libusb_free_device_list(list, 1);
    if (!handle || libusb_set_configuration(handle, 1) != 0 || libusb_claim_interface(handle, 0) != 0) {
        state.SkipWithError("cannot open the emulated board");
        libusb_exit(context);
        return;
    }
    std::vector<QByteArray> packets = BareFirmwareLoop::packets(g.image, firmwareChecksum(g.image));
    int failures = 0;
    for (auto _ : state) {
        failures += BareFirmwareLoop::send(handle, packets, 50);
    }
    state.counters["failures"] = failures;
    libusb_release_interface(handle, 0);
    libusb_close(handle);
    libusb_exit(context);
    g.bus->unplug(board);
}

// Arg 0: update-only board, arg 1: control unit. The instrument is served before each run (untimed);
// the run is "firmware update FILE --yes" up to the reboot command.
void BM_CliFirmwareUpdate(benchmark::State& state)
{
    auto instrument =
        SimInstrumentFactory::create(state.range(0) == 0 ? SimKind::UpdateOnly : SimKind::ControlUnit);
    g.bus->plug(instrument);
    runCli({QStringLiteral("list")}); // starts the discovery
    int failures = 0;
    int plugs = 1;
    for (auto _ : state) {
        if (!waitServed(instrument, plugs)) {
            state.SkipWithError("instrument not served");
            break;
        }
        // The device object of the instrument's previous connection goes now, not during the run.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QElapsedTimer clock;
        clock.start();
        const bool failed = runCli({QStringLiteral("firmware"), QStringLiteral("update"), g.firmwarePath,
                                    QStringLiteral("--yes")}) != 0;
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        failures += failed;
        plugs += failed ? 0 : 1; // a verified image restarts the instrument
    }
    state.counters["failures"] = failures;
    unplugAll();
}

// The same update posted to the served board's device object directly (WriteFirmwareJob through the
// worker, up to its result): what the command line adds shows as the difference to BM_CliFirmwareUpdate/0.
void BM_DeviceFirmwareUpdate(benchmark::State& state)
{
    auto board = SimInstrumentFactory::create(SimKind::UpdateOnly);
    g.bus->plug(board);
    runCli({QStringLiteral("list")}); // starts the discovery
    UsbManager::instance()->pollNow();
    int failures = 0;
    int plugs = 1;
    for (auto _ : state) {
        BaseDevice* device = waitServed(board, plugs);
        if (!device) {
            state.SkipWithError("board not served");
            break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QEventLoop loop;
        QObject::connect(device, &BaseDevice::jobResult, &loop, [&](QString name, int result, QString) {
            if (name == QLatin1String("WriteFirmwareJob")) {
                failures += result != 0;
                plugs += result == 0 ? 1 : 0;
                loop.quit();
            }
        });
        QElapsedTimer clock;
        clock.start();
        device->updateFirmware(g.firmwarePath);
        loop.exec();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    state.counters["failures"] = failures;
    unplugAll();
}

// From run() entry with libusb not started: discovery start, scan, open, identity, snapshot, update.
void BM_CliFirmwareUpdateCold(benchmark::State& state)
{
    auto board = SimInstrumentFactory::create(SimKind::UpdateOnly);
    g.bus->plug(board);
    int failures = 0;
    for (auto _ : state) {
        UsbManager::instance()->deinit();
        if (!g.bus->waitUntilPlugged(board, std::chrono::seconds(10))) {
            state.SkipWithError("board not back");
            break;
        }
        QElapsedTimer clock;
        clock.start();
        // --wait: the board may still be on its way back from the previous restart when libusb starts.
        failures += runCli({QStringLiteral("firmware"), QStringLiteral("update"), g.firmwarePath,
                            QStringLiteral("--yes"), QStringLiteral("--wait"), QStringLiteral("5")}) != 0;
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    state.counters["failures"] = failures;
    unplugAll();
    UsbManager::instance()->deinit();
}

// CliSession::run entry to the first packet the control unit receives, libusb not started before.
void BM_CliStartToFirstExchange(benchmark::State& state)
{
    auto unit = std::make_shared<SimControlUnit>();
    g.bus->plug(unit);
    int failures = 0;
    double runSeconds = 0;
    for (auto _ : state) {
        UsbManager::instance()->deinit();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        unit->clearReceived();
        std::atomic<bool> stop{false};
        std::atomic<qint64> first{-1};
        const auto start = std::chrono::steady_clock::now();
        std::thread watcher([&] {
            while (!stop.load()) {
                if (!unit->received().empty()) {
                    first = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
                    return;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            }
        });
        failures += runCli({QStringLiteral("info")}) != 0;
        runSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        stop = true;
        watcher.join();
        if (first < 0) {
            state.SkipWithError("no packet reached the instrument");
            break;
        }
        state.SetIterationTime(first / 1e9);
    }
    state.counters["failures"] = failures;
    state.counters["info_run_ms"] = state.iterations() ? runSeconds * 1000 / state.iterations() : 0;
    unplugAll();
    UsbManager::instance()->deinit();
}

// The read behind every snapshot: 200 options of a served control unit, to the snapshotTaken answer.
void BM_OptionsSnapshot(benchmark::State& state)
{
    auto unit = std::make_shared<SimControlUnit>();
    g.bus->plug(unit);
    runCli({QStringLiteral("list")});
    BaseDevice* device = nullptr;
    UsbManager::instance()->pollNow();
    device = waitServed(unit);
    if (!device) {
        state.SkipWithError("control unit not served");
        unplugAll();
        return;
    }
    int options = 0;
    int failures = 0;
    for (auto _ : state) {
        QEventLoop loop;
        const auto taken = QObject::connect(device, &BaseDevice::snapshotTaken, &loop,
                                            [&](OptionsSnapshot snapshot, int result, QString) {
                                                options = snapshot.options.size();
                                                failures += result != 0;
                                                loop.quit();
                                            });
        device->takeSnapshot();
        loop.exec();
        QObject::disconnect(taken);
    }
    state.counters["options"] = options;
    state.counters["failures"] = failures;

    // "options read -o FILE" on the same served unit: the read, the JSON file, the report.
    const QString file = g.dir->filePath(QStringLiteral("unit.json"));
    QElapsedTimer clock;
    clock.start();
    int runs = 0;
    while (runs < 10) {
        failures +=
            runCli({QStringLiteral("options"), QStringLiteral("read"), QStringLiteral("-o"), file}) != 0;
        ++runs;
    }
    state.counters["options_read_run_ms"] = double(clock.elapsed()) / runs;
    unplugAll();
}

// The built binary as a process, without the emulated bus: arg 0 "--version", arg 1 "list" (no instrument
// on this machine: libusb started, one look at the bus, exit 2).
void BM_ProcessStart(benchmark::State& state)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_PRELOAD"));
    environment.remove(QStringLiteral("UMOCKDEV_DIR"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), g.dir->filePath(QStringLiteral("process-data")));
    const QStringList arguments =
        state.range(0) == 0 ? QStringList{QStringLiteral("--version")} : QStringList{QStringLiteral("list")};
    int unexpected = 0;
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(SERVICE_CLI_BINARY), arguments);
        process.waitForFinished(30000);
        unexpected += process.exitCode() != (state.range(0) == 0 ? 0 : 2);
    }
    state.counters["unexpected_exit"] = unexpected;
}

BENCHMARK(BM_BareLibusbFirmware)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_CliFirmwareUpdate)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseManualTime();
BENCHMARK(BM_DeviceFirmwareUpdate)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();
BENCHMARK(BM_CliFirmwareUpdateCold)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();
BENCHMARK(BM_CliStartToFirstExchange)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();
BENCHMARK(BM_OptionsSnapshot)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_ProcessStart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

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

    g.image = QByteArray(kImageSize, '\0');
    for (int i = 0; i < kImageSize; ++i) {
        g.image[i] = char((i * 13 + i / 509) & 0xFF);
    }
    FirmwareInfo info;
    info.firmwareVersion = QStringLiteral("9.9.9");
    info.supportedHardware = QStringList{QStringLiteral("ALL")};
    g.firmwarePath = g.dir->filePath(QStringLiteral("bench.firmware"));
    if (!FirmwarePacker(FirmwareCipher::kBuiltInKey)
             .save(g.firmwarePath,
                   FirmwarePacker(FirmwareCipher::kBuiltInKey)
                       .packFirmware(g.image, info,
                                     FirmwareCipher::FlagCompressed | FirmwareCipher::FlagHash))) {
        return 1;
    }

    g.bus = std::make_unique<SimUsbBus>(); // before libusb starts
    g.bus->setReenumerationDelay(std::chrono::milliseconds(50));
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_DeviceFirmwareUpdate", "BM_BareLibusbFirmware", false);
    reporter.printRatio("BM_CliFirmwareUpdate/0", "BM_BareLibusbFirmware", false);
    reporter.printRatio("BM_CliFirmwareUpdateCold", "BM_BareLibusbFirmware", false);
    reporter.printRatio("BM_CliFirmwareUpdate/1", "BM_BareLibusbFirmware", false);

    g.bus->unplugAll();
    UsbManager::instance()->deinit();
    g.bus.reset();
    return 0;
}
