// A firmware transfer through the tool's stack (WriteFirmwareJob: load, checks, UsbDevice, libusb) against
// the same packets sent as a bare libusb loop to a second emulated instrument of the same kind, in one
// process. The ratio of the two, alternating run by run, is the cost the stack adds on top of the transfers
// themselves.
#include "core/loggerfactory.h"
#include "devices/jobs/writefirmwarejob.h"
#include "firmware/firmwarechecksum.h"
#include "firmware/firmwarecipher.h"
#include "sim/simcontrolunit.h"
#include "sim/usbfs/simusbbus.h"
#include "tools/firmwarepacker.h"
#include "usb/usbdevice.h"

#include "bench/support/alternatingpairs.h"
#include "bench/support/barefirmwareloop.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <libusb.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kImageSize = 256 * 1024;

libusb_device* s_device = nullptr;     // the stack's
libusb_device* s_bareDevice = nullptr; // the bare loop's: two handles on one emulated instrument would share
                                       // its completed transfers, which the kernel keeps per open file
QString s_path;
QByteArray s_image;

// Arg 0: the job's loggers off; arg 1: at info level into the daily log file, as the tool writes it
// (one line per data packet). Each run sends the image once.
void BM_FirmwareStackVsBare(benchmark::State& state)
{
    const bool logging = state.range(0) != 0;
    const auto level = logging ? spdlog::level::info : spdlog::level::off;
    UsbDevice usb(s_device, QStringLiteral("Bench"), false);
    usb.logger()->set_level(level);
    usb.open();
    libusb_device_handle* handle = nullptr;
    if (libusb_open(s_bareDevice, &handle) != 0 || libusb_set_configuration(handle, 1) != 0 ||
        libusb_claim_interface(handle, 0) != 0) {
        state.SkipWithError("cannot open the emulated instrument");
        return;
    }
    std::vector<QByteArray> packets = BareFirmwareLoop::packets(s_image, firmwareChecksum(s_image));
    runAlternatingPairs(
        state, logging ? "firmware transfer, info log" : "firmware transfer, no log",
        [&] { return BareFirmwareLoop::send(handle, packets, WriteFirmwareJob::kPacketTimeoutMs); },
        [&] {
            WriteFirmwareJob job(s_path, nullptr);
            job.logger()->set_level(level);
            job.execute(&usb);
            return int(job.result() != 0);
        });
    libusb_release_interface(handle, 0);
    libusb_close(handle);
}

BENCHMARK(BM_FirmwareStackVsBare)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    LoggerFactory::instance()->init(spdlog::level::info, dir.filePath(QStringLiteral("bench.log")),
                                    LoggerFactory::Console::None);
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
    auto bareUnit = std::make_shared<SimControlUnit>();
    const SimUsbBus::Port port = bus->plug(unit);
    const SimUsbBus::Port barePort = bus->plug(bareUnit);
    if (libusb_init(nullptr) != 0) {
        return 1;
    }
    s_device = SimUsbBus::findLibusbDevice(port);
    s_bareDevice = SimUsbBus::findLibusbDevice(barePort);
    if (!s_device || !s_bareDevice) {
        std::fprintf(stderr, "emulated instrument not found\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    libusb_unref_device(s_device);
    libusb_unref_device(s_bareDevice);
    libusb_exit(nullptr);
    bus.reset();
    return 0;
}
