// service-cli measured in-process on the emulated bus, the way CliSession runs in the executable:
//  - a full options snapshot of a control unit (200 ids): the device's read alone, and "options read";
//  - the time from a run's start (CliSession::run entry, libusb not yet started) to the first packet the
//    instrument receives;
//  - "firmware update" of a 256 KiB image against the same packets as a bare libusb loop (target ratio
//    <= 1.05), the two alternating iteration by iteration so that both see the same load: on an update-only
//    board (its snapshot holds no options) already served and from a cold start, the update job alone for
//    comparison, and on a control unit, whose snapshot reads 200 options first;
//  - the built binary started as a process (--version; "list" with no instrument).
// Logging as in the field: info level into a daily file, no console.
#include "app/cli/cliconsole.h"
#include "app/cli/clisession.h"
#include "core/applicationidentity.h"
#include "core/loggerfactory.h"
#include "devices/basedevice.h"
#include "devices/devicefactory.h"
#include "devices/snapshotstore.h"
#include "firmware/firmwarechecksum.h"
#include "firmware/firmwarecipher.h"
#include "sim/simcontrolunit.h"
#include "sim/siminstrumentfactory.h"
#include "sim/usbfs/simusbbus.h"
#include "tools/firmwarepacker.h"
#include "usb/usbmanager.h"

#include "bench/support/barefirmwareloop.h"
#include "bench/support/shortrun.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <libusb.h>

#include <algorithm>
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
    QString snapshotFolder; // a fresh one per benchmark: SnapshotStore::save looks at every file in it
    int folders = 0;
} g;

void freshSnapshotFolder()
{
    g.snapshotFolder = g.dir->filePath(QStringLiteral("snapshots%1").arg(++g.folders));
}

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
    session.setSnapshotFolder(g.snapshotFolder);
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

// The bare loop's target: an emitter (any kind takes firmware the same way) opened through a libusb context
// of its own, which the discovery is kept off, so that the bare loop and the command line share the bus and
// the machine's load iteration by iteration.
class BareTarget
{
public:
    ~BareTarget() { close(); }

    bool open()
    {
        if (libusb_init(&m_context) != 0) {
            m_context = nullptr;
            return false;
        }
        m_emitter = SimInstrumentFactory::create(SimKind::Emitter);
        const SimUsbBus::Port port = g.bus->plug(m_emitter);
        const UsbBusDeviceAddress address(port.bus, port.address);
        UsbManager::instance()->setCandidateFilter(
            [address](const UsbBusDeviceAddress& candidate, quint32) { return candidate != address; });
        for (int attempt = 0; attempt < 100 && !m_handle; ++attempt) {
            libusb_device** list = nullptr;
            const ssize_t count = libusb_get_device_list(m_context, &list);
            for (ssize_t i = 0; i < count && !m_handle; ++i) {
                if (libusb_get_bus_number(list[i]) == port.bus &&
                    libusb_get_device_address(list[i]) == port.address &&
                    libusb_open(list[i], &m_handle) != 0) {
                    m_handle = nullptr;
                }
            }
            if (count >= 0) {
                libusb_free_device_list(list, 1);
            }
            if (!m_handle) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        if (!m_handle || libusb_set_configuration(m_handle, 1) != 0 ||
            libusb_claim_interface(m_handle, 0) != 0) {
            return false;
        }
        m_packets = BareFirmwareLoop::packets(g.image, firmwareChecksum(g.image));
        return true;
    }

    // One transfer of the image; its duration in seconds.
    double send(int* failures)
    {
        QElapsedTimer clock;
        clock.start();
        *failures += BareFirmwareLoop::send(m_handle, m_packets, 50);
        return clock.nsecsElapsed() / 1e9;
    }

    void close()
    {
        if (m_handle) {
            libusb_release_interface(m_handle, 0);
            libusb_close(m_handle);
            m_handle = nullptr;
        }
        if (m_context) {
            libusb_exit(m_context);
            m_context = nullptr;
        }
        if (m_emitter) {
            g.bus->unplug(m_emitter);
            m_emitter.reset();
        }
        UsbManager::instance()->setCandidateFilter({});
    }

private:
    libusb_context* m_context = nullptr;
    libusb_device_handle* m_handle = nullptr;
    std::shared_ptr<SimInstrument> m_emitter;
    std::vector<QByteArray> m_packets;
};

enum class UpdateRun
{
    Warm,       // "firmware update" on an update-only board the discovery already serves
    Cold,       // the same from run() entry with libusb not started: discovery, scan, open, identity
    DeviceJob,  // the update posted to the served board's device object, up to the job's result
    ControlUnit // "firmware update" on a served control unit, whose snapshot reads 200 options first
};

// Each iteration sends the image once through the bare loop and once the way `state.range(0)` says
// (UpdateRun); the timed figure is the latter, and the counters set the two against each other: the sums'
// ratio and the median of the iterations' ratios.
void BM_FirmwareUpdateVsBare(benchmark::State& state)
{
    const auto how = UpdateRun(state.range(0));
    freshSnapshotFolder();
    BareTarget bare;
    if (!bare.open()) {
        state.SkipWithError("cannot open the bare loop's emitter");
        return;
    }
    auto instrument = SimInstrumentFactory::create(how == UpdateRun::ControlUnit ? SimKind::ControlUnit
                                                                                 : SimKind::UpdateOnly);
    g.bus->plug(instrument);
    runCli({QStringLiteral("list")}); // starts the discovery
    UsbManager::instance()->pollNow();
    int failures = 0;
    int bareFailures = 0;
    int plugs = 1;
    double bareSum = 0;
    double runSum = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        const double bareSeconds = bare.send(&bareFailures);
        if (how == UpdateRun::Cold) {
            UsbManager::instance()->deinit();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QElapsedTimer back;
            back.start();
            while ((g.bus->plugCount(instrument) < plugs || !g.bus->isPlugged(instrument)) &&
                   back.elapsed() < 10000) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        } else if (!waitServed(instrument, plugs)) {
            state.SkipWithError("instrument not served");
            break;
        }
        // The device object of the instrument's previous connection goes now, not during the run.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto port = g.bus->portOf(instrument);
        const QString address = port ? QStringLiteral("%1:%2").arg(port->bus).arg(port->address) : QString();
        bool failed = false;
        QElapsedTimer clock;
        clock.start();
        if (how == UpdateRun::DeviceJob) {
            BaseDevice* device = waitServed(instrument, plugs);
            QEventLoop loop;
            QObject::connect(device, &BaseDevice::jobResult, &loop, [&](QString name, int result, QString) {
                if (name == QLatin1String("WriteFirmwareJob")) {
                    failed = result != 0;
                    loop.quit();
                }
            });
            clock.start();
            device->updateFirmware(g.firmwarePath);
            loop.exec();
        } else {
            QStringList arguments{QStringLiteral("firmware"), QStringLiteral("update"),   g.firmwarePath,
                                  QStringLiteral("--yes"),    QStringLiteral("--device"), address};
            if (how == UpdateRun::Cold) {
                // libusb may start before the board is back from its previous restart.
                arguments << QStringLiteral("--wait") << QStringLiteral("5");
            }
            failed = runCli(arguments) != 0;
        }
        const double runSeconds = clock.nsecsElapsed() / 1e9;
        state.SetIterationTime(runSeconds);
        failures += failed;
        plugs += failed ? 0 : 1; // a verified image restarts the instrument
        bareSum += bareSeconds;
        runSum += runSeconds;
        ratios.push_back(runSeconds / bareSeconds);
    }
    std::sort(ratios.begin(), ratios.end());
    state.counters["failures"] = failures + bareFailures;
    state.counters["bare_ms"] = state.iterations() ? bareSum * 1000 / state.iterations() : 0;
    state.counters["ratio"] = bareSum > 0 ? runSum / bareSum : 0;
    state.counters["ratio_median"] = ratios.empty() ? 0 : ratios[ratios.size() / 2];
    bare.close();
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

// SnapshotStore::save of one small snapshot (an update-only board's, before its update) into a folder that
// already holds `state.range(0)` snapshots of other instruments (control units, 200 options each): the
// store lists the folder after every save to keep each instrument's newest, and the command line pays for
// it before every destructive command.
void BM_SnapshotSaveBesideOthers(benchmark::State& state)
{
    const QString folder = g.dir->filePath(QStringLiteral("store%1").arg(state.range(0)));
    SnapshotStore store(folder, 50);
    OptionsSnapshot other;
    other.kind = QStringLiteral("control-unit");
    other.usbId = 0x1E843000;
    other.takenAt = QDateTime::currentDateTimeUtc();
    for (quint32 id = 0; id < 200; ++id) {
        other.options.append(
            {0x20000000 + id, QStringLiteral("e_sid_option_%1").arg(id), QByteArray(8, char(id))});
    }
    // Written directly: through save() every one of them would list the folder again.
    QDir().mkpath(folder);
    for (int i = 0; i < state.range(0); ++i) {
        other.serial = QStringLiteral("TCU-%1").arg(i);
        QFile file(QDir(folder).filePath(other.fileName()));
        if (!file.open(QIODevice::WriteOnly) || file.write(other.toJson()) <= 0) {
            state.SkipWithError("cannot write the stored snapshots");
            return;
        }
    }
    OptionsSnapshot board;
    board.kind = QStringLiteral("update-only");
    board.usbId = 0x2952FFFF;
    board.serial = QStringLiteral("UO-1");
    int failures = 0;
    for (auto _ : state) {
        board.takenAt = QDateTime::currentDateTimeUtc();
        failures += store.save(board).isEmpty();
    }
    state.counters["failures"] = failures;
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

BENCHMARK(BM_FirmwareUpdateVsBare)
    ->ArgName("run")
    ->Arg(int(UpdateRun::Warm))
    ->Arg(int(UpdateRun::Cold))
    ->Arg(int(UpdateRun::DeviceJob))
    ->Arg(int(UpdateRun::ControlUnit))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(benchCount(15))
    ->UseManualTime();
BENCHMARK(BM_CliStartToFirstExchange)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(benchCount(20))
    ->UseManualTime();
BENCHMARK(BM_OptionsSnapshot)->Unit(benchmark::kMillisecond)->Iterations(benchCount(10))->UseRealTime();
BENCHMARK(BM_SnapshotSaveBesideOthers)
    ->Arg(0)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(benchCount(10));
BENCHMARK(BM_ProcessStart)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(benchCount(10))
    ->UseRealTime();

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

    freshSnapshotFolder();
    g.bus = std::make_unique<SimUsbBus>(); // before libusb starts
    g.bus->setReenumerationDelay(std::chrono::milliseconds(50));
    benchmark::RunSpecifiedBenchmarks();

    g.bus->unplugAll();
    UsbManager::instance()->deinit();
    g.bus.reset();
    return 0;
}
