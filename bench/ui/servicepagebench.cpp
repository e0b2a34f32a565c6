// How long the GUI thread stalls while a technician waits on the Service page: a firmware update and a
// touch calibration, each started with the page's own button, with the main window, progress dialog
// and panels on screen (offscreen platform unless one is set) and the simulated instruments on the
// emulated bus. A 1 ms heartbeat timer on the GUI thread records the gaps between its beats; targets
// are p99 < 16 ms (one frame) and worst < 50 ms.
#include "core/loggerfactory.h"
#include "core/settings.h"
#include "devices/basedevice.h"
#include "devices/devicefactory.h"
#include "firmware/firmwarecipher.h"
#include "resources/artwork.h"
#include "sim/simacousticsensor.h"
#include "sim/simcontrolunit.h"
#include "sim/usbfs/simusbbus.h"
#include "tools/firmwarepacker.h"
#include "ui/mainsidebarwidget.h"
#include "ui/mainwindow.h"
#include "ui/productionwidgettymbrel.h"
#include "ui/servicewidget.h"
#include "ui/servicewidgettymbrel.h"
#include "usb/usbmanager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Bench
{
    std::unique_ptr<SimUsbBus> bus;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QTemporaryDir> files;
} g;

ServiceWidget* servicePage()
{
    return static_cast<ServiceWidget*>(g.window->page(MainWindow::ServicePage));
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Plugs `instrument` (after unplugging whatever was there) and waits until the Service page serves it
// with its start-up reads done; the page is then shown.
BaseDevice* serve(const std::shared_ptr<SimInstrument>& instrument)
{
    g.bus->unplugAll();
    QElapsedTimer clock;
    clock.start();
    while (servicePage()->device() && clock.elapsed() < 10000) {
        spin(20);
    }
    g.bus->plug(instrument);
    while (clock.elapsed() < 20000) {
        BaseDevice* device = servicePage()->device();
        if (device && device->isConnected() && device->pendingJobCount() == 0 &&
            !device->softwareVersion().isEmpty()) {
            g.window->sidebar()->setCurrentPage(MainWindow::ServicePage);
            spin(200);
            return device;
        }
        spin(20);
    }
    return nullptr;
}

// Runs the event loop with the heartbeat until `job` came back from `device`; the beat gaps in ms.
std::vector<double> heartbeatUntil(BaseDevice* device, const QString& job, const std::function<void()>& start,
                                   int* result)
{
    std::vector<double> gaps;
    QEventLoop loop;
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
    auto done = QObject::connect(device, &BaseDevice::jobResult, &loop, [&](QString name, int r, QString) {
        if (name == job) {
            *result = r;
            loop.quit();
        }
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    clock.start();
    heartbeat.start();
    start();
    loop.exec();
    heartbeat.stop();
    QObject::disconnect(done);
    return gaps;
}

void report(benchmark::State& state, std::vector<double> gaps, int result)
{
    std::sort(gaps.begin(), gaps.end());
    state.counters["result"] = result;
    if (gaps.empty()) {
        state.SkipWithError("no heartbeat");
        return;
    }
    state.counters["beats"] = double(gaps.size());
    state.counters["gap_p50_ms"] = gaps[gaps.size() / 2];
    state.counters["gap_p99_ms"] = gaps[std::min(gaps.size() - 1, gaps.size() * 99 / 100)];
    state.counters["gap_max_ms"] = gaps.back();
}

void BM_GuiStallDuringFirmwareUpdate(benchmark::State& state)
{
    const int imageSize = int(state.range(0));
    FirmwarePacker packer{FirmwareCipher::kBuiltInKey};
    FirmwareInfo info;
    info.firmwareVersion = QStringLiteral("9.9.9");
    info.type = QStringLiteral("Tymbrel");
    info.supportedHardware = QStringList{QStringLiteral("ALL")};
    QByteArray image(imageSize, '\0');
    for (int i = 0; i < imageSize; ++i) {
        image[i] = char(i * 31 + i / 7);
    }
    const QString file = g.files->filePath(QStringLiteral("bench.firmware"));
    packer.save(file,
                packer.packFirmware(image, info, FirmwareCipher::FlagCompressed | FirmwareCipher::FlagHash));

    std::vector<double> gaps;
    int result = 12345;
    for (auto _ : state) {
        state.PauseTiming();
        BaseDevice* device = serve(std::make_shared<SimControlUnit>());
        if (!device) {
            state.ResumeTiming();
            state.SkipWithError("control unit not served");
            return;
        }
        Settings::instance()->addFirmwareFile(file); // the page shows it and enables the update
        auto* update = servicePage()->findChild<QAbstractButton*>(QStringLiteral("updateFirmwareButton"));
        state.ResumeTiming();
        gaps = heartbeatUntil(
            device, QStringLiteral("WriteFirmwareJob"), [&] { update->click(); }, &result);
    }
    report(state, gaps, result);
}

void BM_GuiStallDuringCalibration(benchmark::State& state)
{
    std::vector<double> gaps;
    int result = 12345;
    for (auto _ : state) {
        state.PauseTiming();
        BaseDevice* device = serve(std::make_shared<SimAcousticSensor>());
        auto* panel = device ? qobject_cast<ServiceWidgetTymbrel*>(servicePage()->servicePanel()) : nullptr;
        if (!panel) {
            state.ResumeTiming();
            state.SkipWithError("acoustic sensor panel not shown");
            return;
        }
        auto* start =
            panel->calibrationPanel()->findChild<QAbstractButton*>(QStringLiteral("btnCdcStartCalibration"));
        state.ResumeTiming();
        gaps = heartbeatUntil(
            device, QStringLiteral("CdcCalibrationJob"), [&] { start->click(); }, &result);
    }
    report(state, gaps, result);
}

BENCHMARK(BM_GuiStallDuringFirmwareUpdate)
    ->Arg(2 * 1024 * 1024)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_GuiStallDuringCalibration)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // The page takes a snapshot of every unit it serves: those and the settings stay in the run's own folder.
    g.files = std::make_unique<QTemporaryDir>();
    qputenv("XDG_DATA_HOME", g.files->filePath(QStringLiteral("data")).toLocal8Bit());
    QCoreApplication::setOrganizationName(QStringLiteral("Tessor"));
    QCoreApplication::setApplicationName(QStringLiteral("service-page-bench"));
    benchmark::Initialize(&argc, argv);
    initArtwork();
    LoggerFactory::instance()->init(3, QString()); // warnings and worse; per-packet lines would be measured
    g.bus = std::make_unique<SimUsbBus>();         // before libusb starts
    g.window = std::make_unique<MainWindow>();
    DeviceFactory::install();
    g.window->followUsbManager(UsbManager::instance());
    UsbManager::instance()->setPollInterval(20);
    UsbManager::instance()->init();
    g.window->show();

    benchmark::RunSpecifiedBenchmarks();

    g.bus->unplugAll();
    UsbManager::instance()->deinit();
    g.window.reset();
    g.bus.reset();
    return 0;
}
