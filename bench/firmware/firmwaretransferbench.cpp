// A firmware transfer through the tool's stack (WriteFirmwareJob: load, checks, UsbDevice, libusb) against
// the same packets sent as a bare libusb loop, to the same emulated instrument in one process. The
// ratio of the two is the cost the stack adds on top of the transfers themselves. Process CPU time counts
// the emulation's worker thread too, which is the same for both.
#include "devices/jobs/writefirmwarejob.h"
#include "firmware/firmwarechecksum.h"
#include "firmware/firmwarecipher.h"
#include "sim/simcontrolunit.h"
#include "sim/usbfs/simusbbus.h"
#include "tools/firmwarepacker.h"
#include "usb/usbdevice.h"

#include "bench/support/barefirmwareloop.h"
#include "bench/support/ratioreporter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <libusb.h>
#include <spdlog/sinks/null_sink.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kImageSize = 256 * 1024;

libusb_device* s_device = nullptr;
QString s_path;
QByteArray s_image;

void runJob(benchmark::State& state, bool logging)
{
    UsbDevice usb(s_device, QStringLiteral("Bench"), false);
    usb.logger()->set_level(spdlog::level::info);
    usb.open();
    int failures = 0;
    for (auto _ : state) {
        WriteFirmwareJob job(s_path, nullptr);
        if (logging) {
            // The per-packet info line formatted into a sink that drops it.
            job.logger()->sinks().push_back(std::make_shared<spdlog::sinks::null_sink_mt>());
            job.logger()->set_level(spdlog::level::info);
        }
        job.execute(&usb);
        failures += job.result() != 0;
    }
    state.counters["failures"] = failures;
    state.SetBytesProcessed(state.iterations() * kImageSize);
}

void BM_WriteFirmwareJob(benchmark::State& state)
{
    runJob(state, false);
}

void BM_WriteFirmwareJobLogging(benchmark::State& state)
{
    runJob(state, true);
}

void BM_BareLibusbTransfer(benchmark::State& state)
{
    libusb_device_handle* handle = nullptr;
    if (libusb_open(s_device, &handle) != 0 || libusb_set_configuration(handle, 1) != 0 ||
        libusb_claim_interface(handle, 0) != 0) {
        state.SkipWithError("cannot open the emulated instrument");
        return;
    }
    std::vector<QByteArray> packets = BareFirmwareLoop::packets(s_image, firmwareChecksum(s_image));
    int failures = 0;
    const unsigned int timeoutMs = unsigned(state.range(0));
    for (auto _ : state) {
        failures += BareFirmwareLoop::send(handle, packets, timeoutMs);
    }
    state.counters["failures"] = failures;
    state.SetBytesProcessed(state.iterations() * kImageSize);
    libusb_release_interface(handle, 0);
    libusb_close(handle);
}

BENCHMARK(BM_WriteFirmwareJob)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteFirmwareJobLogging)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareLibusbTransfer)
    ->Arg(50)
    ->Arg(1000)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    s_image = QByteArray(kImageSize, '\0');
    for (int i = 0; i < kImageSize; ++i) {
        s_image[i] = char((i * 13 + i / 509) & 0xFF);
    }
    FirmwareInfo info;
    info.supportedHardware = QStringList{QStringLiteral("ALL")};
    s_path = dir.filePath(QStringLiteral("bench.firmware"));
    QFile file(s_path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(FirmwarePacker(FirmwareCipher::kBuiltInKey)
                       .packFirmware(s_image, info,
                                     FirmwareCipher::FlagCompressed | FirmwareCipher::FlagHash)) <= 0) {
        return 1;
    }
    file.close();

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
    reporter.printRatio("BM_WriteFirmwareJob", "BM_BareLibusbTransfer/50");
    reporter.printRatio("BM_WriteFirmwareJobLogging", "BM_BareLibusbTransfer/50");
    libusb_unref_device(s_device);
    libusb_exit(nullptr);
    bus.reset();
    return 0;
}
