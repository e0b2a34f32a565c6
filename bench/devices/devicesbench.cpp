#include "devices/basedevice.h"
#include "devices/controlunit.h"
#include "devices/devicefactory.h"
#include "devices/tymbrelsensor.h"
#include "options/storageidcatalogue.h"
#include "sim/simacousticsensor.h"
#include "sim/simcontrolunit.h"
#include "sim/simprotocol.h"
#include "sim/usbfs/simusbbus.h"
#include "usb/usbmanager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "bench/support/alternatingpairs.h"
#include "bench/support/ratioreporter.h"
#include "bench/support/shortrun.h"

#include <benchmark/benchmark.h>

#include <libusb.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Whole-stack operations (a calibration sweep, a read of the control unit's 200 options) posted to a
// device object found by UsbManager, against bare libusb loops sending the same packets to a second
// emulated instrument of the same kind. Times are wall-clock per operation; the emulation's cost is in
// both. The heartbeat benchmark measures the longest pause of a 1 ms timer on the main thread while a
// sweep and 200-option reads run on two devices at once.
namespace {

using namespace SimProtocol;

constexpr int kPollMs = 20;

struct Bench
{
    std::unique_ptr<SimUsbBus> bus;
    std::shared_ptr<SimAcousticSensor> sensor;     // served by UsbManager
    std::shared_ptr<SimAcousticSensor> bareSensor; // driven by the bare loop
    std::shared_ptr<SimControlUnit> bareUnit;      // bare loop, and a directly made ControlUnit
    std::shared_ptr<SimControlUnit> stackUnit;     // a directly made ControlUnit beside the bare loop
    QSharedPointer<BaseDevice> served;
} g;

libusb_device* findDevice(const std::shared_ptr<SimInstrument>& instrument)
{
    const auto port = g.bus->portOf(instrument);
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(nullptr, &list);
    libusb_device* found = nullptr;
    for (ssize_t i = 0; port && i < count; ++i) {
        if (libusb_get_bus_number(list[i]) == port->bus &&
            libusb_get_device_address(list[i]) == port->address) {
            found = libusb_ref_device(list[i]);
        }
    }
    if (count >= 0) {
        libusb_free_device_list(list, 1);
    }
    return found;
}

// Runs the event loop until `job` came back from `device`.
int runUntilDone(BaseDevice* device, const QString& job, const std::function<void()>& start)
{
    QEventLoop loop;
    int result = 12345;
    auto connection =
        QObject::connect(device, &BaseDevice::jobResult, &loop, [&](QString name, int r, QString) {
            if (name == job) {
                result = r;
                loop.quit();
            }
        });
    start();
    loop.exec();
    QObject::disconnect(connection);
    return result;
}

QList<quint32> controlUnitIds()
{
    return StorageIdCatalogue::deviceIds(StorageIdCatalogue::Family::ControlUnit);
}

struct BareHandle
{
    libusb_device_handle* handle = nullptr;
    explicit BareHandle(const std::shared_ptr<SimInstrument>& instrument)
    {
        libusb_device* device = findDevice(instrument);
        if (device && libusb_open(device, &handle) == 0) {
            libusb_set_configuration(handle, 1);
            libusb_claim_interface(handle, 0);
        }
        if (device) {
            libusb_unref_device(device);
        }
    }
    ~BareHandle()
    {
        if (handle) {
            libusb_release_interface(handle, 0);
            libusb_close(handle);
        }
    }
    int send(const Bytes& packet)
    {
        int transferred = 0;
        return libusb_bulk_transfer(handle, 0x01, const_cast<unsigned char*>(packet.data()),
                                    int(packet.size()), &transferred, 50);
    }
    int exchange(const Bytes& packet, unsigned char (&answer)[1024])
    {
        int transferred = 0;
        const int rc = send(packet);
        return rc != 0 ? rc : libusb_bulk_transfer(handle, 0x81, answer, sizeof answer, &transferred, 50);
    }
};

void BM_StackCalibrationSweep(benchmark::State& state)
{
    auto* sensor = qobject_cast<TymbrelSensor*>(g.served.data());
    int failures = 0;
    for (auto _ : state) {
        failures += runUntilDone(sensor, QStringLiteral("CdcCalibrationJob"),
                                 [&] { sensor->calibrateCdc(0, 0, 4095); }) != 0;
    }
    state.counters["failures"] = failures;
}

void BM_BareCalibrationSweep(benchmark::State& state)
{
    BareHandle bare(g.bareSensor);
    unsigned char answer[1024];
    int failures = 0;
    for (auto _ : state) {
        auto step = [&](int t) {
            failures += bare.send(words({CdcSetThreshold, uint32_t(t) * CdcRawPerStep})) != 0;
            failures += bare.exchange(words({CdcGetState}), answer) != 0;
        };
        step(0);
        for (int t = 0; t < 4096; ++t) {
            step(t);
        }
        step(4095);
        for (int t = 4095; t >= 0; --t) {
            step(t);
        }
        Bytes set = words({SetOption, 0x2000000A, 1000});
        failures += bare.send(set) != 0;
        failures += bare.send(words({CdcSetThreshold, 1000 * CdcRawPerStep})) != 0;
        failures += bare.send(words({CdcStoreThreshold})) != 0;
        failures += bare.send(words({CdcSetThreshold, 1000 * CdcRawPerStep})) != 0;
    }
    state.counters["failures"] = failures;
}

// A control unit made directly on a bus device (UsbManager serves the sensor meanwhile) and a bare
// handle on a second control unit, alternating; each run reads every option once. (Two handles
// on one emulated instrument would share its queue of completed transfers, which the kernel keeps per
// open file.)
void BM_Read200OptionsStackVsBare(benchmark::State& state)
{
    libusb_device* device = findDevice(g.stackUnit);
    ControlUnit unit(device);
    libusb_unref_device(device);
    QEventLoop wait;
    QTimer::singleShot(500, &wait, &QEventLoop::quit); // opened, identity and options read once
    wait.exec();
    BareHandle bare(g.bareUnit);
    unsigned char answer[1024];
    const QList<quint32> ids = controlUnitIds();
    state.counters["options"] = ids.size();
    runAlternatingPairs(
        state, "200-option read",
        [&] {
            int failures = 0;
            for (const quint32 id : ids) {
                failures += bare.exchange(words({GetOption, id}), answer) != 0;
            }
            return failures;
        },
        [&] {
            return int(runUntilDone(&unit, QStringLiteral("ReadDeviceMultipleOptionsJob"),
                                    [&] { unit.readMultipleDeviceOptions(ids); }) != 0);
        });
}

void BM_GuiHeartbeatDuringSweepAndRead(benchmark::State& state)
{
    auto* sensor = qobject_cast<TymbrelSensor*>(g.served.data());
    libusb_device* device = findDevice(g.bareUnit);
    ControlUnit unit(device);
    libusb_unref_device(device);
    const QList<quint32> ids = controlUnitIds();
    std::vector<double> gaps;
    for (auto _ : state) {
        gaps.clear();
        QElapsedTimer clock;
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        heartbeat.setInterval(1);
        qint64 last = 0;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            gaps.push_back((now - last) / 1e6);
            last = now;
        });
        bool sweeping = true;
        auto reads = QObject::connect(&unit, &BaseDevice::jobResult, &unit, [&](QString name, int, QString) {
            if (sweeping && name == QStringLiteral("ReadDeviceMultipleOptionsJob")) {
                unit.readMultipleDeviceOptions(ids); // keep 200-option reads going during the sweep
            }
        });
        clock.start();
        heartbeat.start();
        unit.readMultipleDeviceOptions(ids);
        runUntilDone(sensor, QStringLiteral("CdcCalibrationJob"), [&] { sensor->calibrateCdc(0, 0, 4095); });
        sweeping = false;
        heartbeat.stop();
        QObject::disconnect(reads);
        QEventLoop drain;
        QTimer::singleShot(300, &drain, &QEventLoop::quit);
        drain.exec();
    }
    std::sort(gaps.begin(), gaps.end());
    if (!gaps.empty()) {
        state.counters["beats"] = double(gaps.size());
        state.counters["gap_p50_ms"] = gaps[gaps.size() / 2];
        state.counters["gap_p99_ms"] = gaps[std::min(gaps.size() - 1, gaps.size() * 99 / 100)];
        state.counters["gap_max_ms"] = gaps.back();
    }
}

BENCHMARK(BM_StackCalibrationSweep)->Unit(benchmark::kMillisecond)->Iterations(benchCount(2))->UseRealTime();
BENCHMARK(BM_BareCalibrationSweep)->Unit(benchmark::kMillisecond)->Iterations(benchCount(2))->UseRealTime();
BENCHMARK(BM_Read200OptionsStackVsBare)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_GuiHeartbeatDuringSweepAndRead)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g.bus = std::make_unique<SimUsbBus>(); // before libusb starts
    DeviceFactory::install();
    UsbManager::instance()->setPollInterval(kPollMs);
    UsbManager::instance()->init();

    g.sensor = std::make_shared<SimAcousticSensor>();
    QEventLoop added;
    QObject::connect(
        UsbManager::instance(), &UsbManager::deviceAdded, &added, [&](UsbBusDeviceAddress address) {
            g.served = qSharedPointerObjectCast<BaseDevice>(UsbManager::instance()->device(address));
            added.quit();
        });
    g.bus->plug(g.sensor);
    QTimer::singleShot(5000, &added, &QEventLoop::quit);
    added.exec();
    if (!g.served) {
        std::fprintf(stderr, "the emulated sensor was not found\n");
        return 1;
    }
    // Served now: UsbManager polls no more, so the other two stay unserved for the bare loops.
    g.bareSensor = std::make_shared<SimAcousticSensor>();
    g.bareUnit = std::make_shared<SimControlUnit>();
    g.stackUnit = std::make_shared<SimControlUnit>();
    g.bus->plug(g.bareSensor);
    g.bus->plug(g.bareUnit);
    g.bus->plug(g.stackUnit);
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // The stack works on its worker thread, out of sight of the main thread's CPU clock: real time only.
    reporter.printRatio("BM_StackCalibrationSweep", "BM_BareCalibrationSweep", false);

    g.served.reset();
    g.bus->unplugAll();
    UsbManager::instance()->deinit();
    g.bus.reset();
    return 0;
}
