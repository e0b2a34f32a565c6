#include "sim/simcontrolunit.h"
#include "sim/usbfs/simusbbus.h"
#include "usb/usbdevice.h"

#include "bench/support/ratioreporter.h"
#include "bench/support/shortrun.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <libusb.h>
#include <spdlog/sinks/null_sink.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

// One exchange = the 4-byte request [1] out and its answer in. The same exchange runs through
// UsbDevice::request() (with trace output off, and on with a sink that drops the text) and as two bare
// libusb_bulk_transfer() calls, against the same emulated control unit in one process. Process CPU time
// counts the emulation's worker thread too, which is the same for all three.
namespace {

libusb_device* s_device = nullptr;

void runUsbDevice(benchmark::State& state, bool trace)
{
    UsbDevice device(s_device, QStringLiteral("Bench"), false);
    if (trace) {
        device.logger()->sinks().push_back(std::make_shared<spdlog::sinks::null_sink_mt>());
        device.logger()->set_level(spdlog::level::trace);
    } else {
        device.logger()->set_level(spdlog::level::info);
    }
    device.open();
    int failures = 0;
    for (auto _ : state) {
        int result = 0;
        QByteArray answer =
            device.request(e_cmd_GetSoftwareVersion, e_cmd_SoftwareVersionAnswer, &result, 1000);
        benchmark::DoNotOptimize(answer);
        failures += result != 0;
    }
    state.counters["failures"] = failures;
}

void BM_UsbDeviceRequest(benchmark::State& state)
{
    runUsbDevice(state, false);
}

void BM_UsbDeviceRequestTraceOn(benchmark::State& state)
{
    runUsbDevice(state, true);
}

void BM_BareLibusbExchange(benchmark::State& state)
{
    libusb_device_handle* handle = nullptr;
    if (libusb_open(s_device, &handle) != 0 || libusb_set_configuration(handle, 1) != 0 ||
        libusb_claim_interface(handle, 0) != 0) {
        state.SkipWithError("cannot open the emulated instrument");
        return;
    }
    unsigned char request[4] = {1, 0, 0, 0};
    unsigned char answer[1024];
    int failures = 0;
    for (auto _ : state) {
        int transferred = 0;
        failures += libusb_bulk_transfer(handle, 0x01, request, sizeof request, &transferred, 1000) != 0;
        failures += libusb_bulk_transfer(handle, 0x81, answer, sizeof answer, &transferred, 1000) != 0;
        benchmark::DoNotOptimize(answer);
    }
    state.counters["failures"] = failures;
    libusb_release_interface(handle, 0);
    libusb_close(handle);
}

BENCHMARK(BM_UsbDeviceRequest)
    ->MeasureProcessCPUTime()
    ->Iterations(benchCount(3000))
    ->Repetitions(benchCount(3));
BENCHMARK(BM_UsbDeviceRequestTraceOn)
    ->MeasureProcessCPUTime()
    ->Iterations(benchCount(3000))
    ->Repetitions(benchCount(3));
BENCHMARK(BM_BareLibusbExchange)
    ->MeasureProcessCPUTime()
    ->Iterations(benchCount(3000))
    ->Repetitions(benchCount(3));

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    auto bus = std::make_unique<SimUsbBus>();
    auto unit = std::make_shared<SimControlUnit>();
    const SimUsbBus::Port port = bus->plug(unit);
    if (libusb_init(nullptr) != 0) {
        return 1;
    }
    s_device = SimUsbBus::findLibusbDevice(port);
    if (!s_device) {
        std::fprintf(stderr, "emulated instrument not found\n");
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_UsbDeviceRequest", "BM_BareLibusbExchange");
    reporter.printRatio("BM_UsbDeviceRequestTraceOn", "BM_BareLibusbExchange");
    libusb_unref_device(s_device);
    libusb_exit(nullptr);
    bus.reset();
    return 0;
}
