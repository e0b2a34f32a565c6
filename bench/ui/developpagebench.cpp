// Reading and showing a control unit's full option table (200 ids) from the Develop page, against the
// same 200 option requests sent as a bare libusb loop to the same emulated instrument. The ratio is what
// the tool adds (job, worker thread, queued hand-back, cache, table model and view) on top of the
// transfers; target <= 1.10. A 1 ms heartbeat on the GUI thread records its stalls while the page
// reads; target p99 < 16 ms.
#include "core/loggerfactory.h"
#include "devices/basedevice.h"
#include "devices/devicefactory.h"
#include "options/optiontablemodel.h"
#include "options/storageidcatalogue.h"
#include "resources/artwork.h"
#include "sim/simcontrolunit.h"
#include "sim/usbfs/simusbbus.h"
#include "ui/developwidget.h"
#include "ui/mainsidebarwidget.h"
#include "ui/mainwindow.h"
#include "usb/usbdevice.h"
#include "usb/usbmanager.h"

#include "bench/support/ratioreporter.h"
#include "bench/support/shortrun.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <libusb.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Bench
{
    std::unique_ptr<SimUsbBus> bus;
    std::unique_ptr<MainWindow> window;
    bool managerStarted = false;
} g;

const QList<quint32>& tableIds()
{
    static const QList<quint32> ids = StorageIdCatalogue::deviceIds(StorageIdCatalogue::Family::ControlUnit);
    return ids;
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

DevelopWidget* developPage()
{
    return static_cast<DevelopWidget*>(g.window->page(MainWindow::DevelopPage));
}

// The bare loop: the packets UsbDevice::readOption sends and the answers it waits for, nothing else.
void BM_BareLibusbOptionTable(benchmark::State& state)
{
    libusb_context* context = nullptr;
    if (libusb_init(&context) != 0) {
        state.SkipWithError("libusb_init failed");
        return;
    }
    auto unit = std::make_shared<SimControlUnit>();
    g.bus->plug(unit);
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    libusb_device_handle* handle = nullptr;
    for (ssize_t i = 0; i < count && !handle; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) == 0 && descriptor.idVendor == 0x1E84 &&
            descriptor.idProduct == 0x3000 && libusb_open(list[i], &handle) != 0) {
            handle = nullptr;
        }
    }
    libusb_free_device_list(list, 1);
    if (!handle || libusb_set_configuration(handle, 1) != 0 || libusb_claim_interface(handle, 0) != 0) {
        state.SkipWithError("cannot open the emulated control unit");
        libusb_exit(context);
        return;
    }
    int failures = 0;
    unsigned char answer[1024];
    for (auto _ : state) {
        for (quint32 id : tableIds()) {
            QByteArray packet = UsbDevice::commandPacket(e_cmd_GetOption, id);
            int transferred = 0;
            failures += libusb_bulk_transfer(handle, 0x01, reinterpret_cast<unsigned char*>(packet.data()),
                                             packet.size(), &transferred, 1000) != 0;
            failures += libusb_bulk_transfer(handle, 0x81, answer, sizeof answer, &transferred, 1000) != 0;
        }
    }
    state.counters["failures"] = failures;
    libusb_release_interface(handle, 0);
    libusb_close(handle);
    libusb_exit(context);
    g.bus->unplugAll();
}

BaseDevice* serveControlUnit()
{
    if (!g.managerStarted) {
        DeviceFactory::install();
        g.window->followUsbManager(UsbManager::instance());
        UsbManager::instance()->setPollInterval(20);
        UsbManager::instance()->init();
        g.managerStarted = true;
    }
    if (!developPage()->device()) {
        g.bus->plug(std::make_shared<SimControlUnit>());
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        BaseDevice* device = developPage()->device();
        if (device && device->isConnected() && device->pendingJobCount() == 0 &&
            !device->softwareVersion().isEmpty()) {
            g.window->sidebar()->setCurrentPage(MainWindow::DevelopPage);
            spin(100);
            return device;
        }
        spin(20);
    }
    return nullptr;
}

// Arg 1: with the heartbeat (the stall figures); arg 0: without it, for the ratio, since the heartbeat
// itself takes the GUI thread a thousand times a second and the bare loop has none.
void BM_DevelopPageOptionTable(benchmark::State& state)
{
    const bool withHeartbeat = state.range(0) != 0;
    BaseDevice* device = serveControlUnit();
    if (!device) {
        state.SkipWithError("control unit not served");
        return;
    }
    auto* read = developPage()->findChild<QAbstractButton*>(QStringLiteral("ReadAllOptionsButton"));
    auto* label = developPage()->findChild<QLabel*>(QStringLiteral("jobStateLabel"));
    const QString done = QStringLiteral("%1 of %1 options read").arg(tableIds().size());
    std::vector<double> gaps;
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        label->clear();
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
        // Done once the read came back and the page has put every value into the table (its own
        // hand-over of the values is queued before this one).
        const auto finished =
            QObject::connect(device, &BaseDevice::jobResult, &loop, [&](QString name, int, QString) {
                if (name == QLatin1String("ReadDeviceMultipleOptionsJob")) {
                    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
                }
            });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        state.ResumeTiming();
        clock.start();
        if (withHeartbeat) {
            heartbeat.start();
        }
        read->click();
        loop.exec();
        state.PauseTiming();
        heartbeat.stop();
        QObject::disconnect(finished);
        if (label->text() != done) {
            state.SkipWithError("the table was not read completely");
            return;
        }
        rows = developPage()->optionTable()->rowCount();
        state.ResumeTiming();
    }
    std::sort(gaps.begin(), gaps.end());
    state.counters["rows"] = rows;
    if (withHeartbeat && !gaps.empty()) {
        state.counters["gap_p99_ms"] = gaps[std::min(gaps.size() - 1, gaps.size() * 99 / 100)];
        state.counters["gap_max_ms"] = gaps.back();
    }
}

BENCHMARK(BM_BareLibusbOptionTable)->Unit(benchmark::kMillisecond)->Iterations(benchCount(10))->UseRealTime();
BENCHMARK(BM_DevelopPageOptionTable)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(benchCount(10))
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tessor"));
    QCoreApplication::setApplicationName(QStringLiteral("develop-page-bench"));
    benchmark::Initialize(&argc, argv);
    initArtwork();
    LoggerFactory::instance()->init(3, QString()); // warnings and worse; per-packet lines would be measured
    g.bus = std::make_unique<SimUsbBus>();         // before libusb starts
    g.window = std::make_unique<MainWindow>();
    g.window->setStaffPages(true, true);
    g.window->show();

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_DevelopPageOptionTable/0", "BM_BareLibusbOptionTable", false);

    g.bus->unplugAll();
    if (g.managerStarted) {
        UsbManager::instance()->deinit();
    }
    g.window.reset();
    g.bus.reset();
    return 0;
}
