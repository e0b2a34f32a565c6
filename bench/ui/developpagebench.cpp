// Reading and showing a control unit's full option table (200 ids) from the Develop page, against the
// same 200 option requests sent as a bare libusb loop to a second emulated control unit, the two
// alternating in one process. The ratio is what the tool adds (job, worker thread, queued hand-back,
// cache, table model and view) on top of the transfers; target <= 1.05 median. A 1 ms heartbeat on the
// GUI thread records its stalls while the page reads; target p99 < 16 ms.
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

#include "bench/support/alternatingpairs.h"
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
#include <functional>
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

// The packets UsbDevice::readOption sends and the answers it waits for, nothing else, in a libusb
// context of its own, to a second control unit plugged beside the served one (two handles on one
// emulated instrument would share its completed transfers, which the kernel keeps per open file).
class BareOptionTable
{
public:
    explicit BareOptionTable(SimUsbBus::Port port)
    {
        if (libusb_init(&m_context) != 0) {
            m_context = nullptr;
            return;
        }
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(m_context, &list);
        for (ssize_t i = 0; i < count && !m_handle; ++i) {
            if (libusb_get_bus_number(list[i]) == port.bus &&
                libusb_get_device_address(list[i]) == port.address && libusb_open(list[i], &m_handle) != 0) {
                m_handle = nullptr;
            }
        }
        if (count >= 0) {
            libusb_free_device_list(list, 1);
        }
        if (m_handle &&
            (libusb_set_configuration(m_handle, 1) != 0 || libusb_claim_interface(m_handle, 0) != 0)) {
            libusb_close(m_handle);
            m_handle = nullptr;
        }
    }
    ~BareOptionTable()
    {
        if (m_handle) {
            libusb_release_interface(m_handle, 0);
            libusb_close(m_handle);
        }
        if (m_context) {
            libusb_exit(m_context);
        }
    }
    bool isOpen() const { return m_handle != nullptr; }
    int read()
    {
        int failures = 0;
        unsigned char answer[1024];
        for (quint32 id : tableIds()) {
            QByteArray packet = UsbDevice::commandPacket(e_cmd_GetOption, id);
            int transferred = 0;
            failures += libusb_bulk_transfer(m_handle, 0x01, reinterpret_cast<unsigned char*>(packet.data()),
                                             packet.size(), &transferred, 1000) != 0;
            failures += libusb_bulk_transfer(m_handle, 0x81, answer, sizeof answer, &transferred, 1000) != 0;
        }
        return failures;
    }

private:
    libusb_context* m_context = nullptr;
    libusb_device_handle* m_handle = nullptr;
};

// Clicks "read all" and returns once the read came back and the page has put every value into the
// table (its own hand-over of the values is queued before this one); false when the table is not whole.
bool readTableFromPage(BaseDevice* device, const std::function<void()>& started = {})
{
    auto* read = developPage()->findChild<QAbstractButton*>(QStringLiteral("ReadAllOptionsButton"));
    auto* label = developPage()->findChild<QLabel*>(QStringLiteral("jobStateLabel"));
    const QString done = QStringLiteral("%1 of %1 options read").arg(tableIds().size());
    label->clear();
    QEventLoop loop;
    const auto finished =
        QObject::connect(device, &BaseDevice::jobResult, &loop, [&](QString name, int, QString) {
            if (name == QLatin1String("ReadDeviceMultipleOptionsJob")) {
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            }
        });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (started) {
        started();
    }
    read->click();
    loop.exec();
    QObject::disconnect(finished);
    return label->text() == done;
}

// The page's full read against the bare loop on a second control unit, alternating; each run reads the
// table once.
void BM_DevelopPageVsBare(benchmark::State& state)
{
    BaseDevice* device = serveControlUnit();
    if (!device) {
        state.SkipWithError("control unit not served");
        return;
    }
    const SimUsbBus::Port port = g.bus->plug(std::make_shared<SimControlUnit>());
    spin(300); // the discovery sees it and leaves it alone: it serves one instrument
    BareOptionTable bare(port);
    if (!bare.isOpen()) {
        state.SkipWithError("cannot open the emulated control unit");
        return;
    }
    runAlternatingPairs(
        state, "Develop page full read", [&] { return bare.read(); },
        [&] { return int(!readTableFromPage(device)); });
    state.counters["rows"] = developPage()->optionTable()->rowCount();
}

// The GUI thread's stalls while the page reads: a 1 ms heartbeat records the gaps between its beats.
void BM_DevelopPageStalls(benchmark::State& state)
{
    BaseDevice* device = serveControlUnit();
    if (!device) {
        state.SkipWithError("control unit not served");
        return;
    }
    std::vector<double> gaps;
    for (auto _ : state) {
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
        const bool whole = readTableFromPage(device, [&] {
            clock.start();
            heartbeat.start();
        });
        heartbeat.stop();
        if (!whole) {
            state.SkipWithError("the table was not read completely");
            return;
        }
    }
    std::sort(gaps.begin(), gaps.end());
    state.counters["rows"] = developPage()->optionTable()->rowCount();
    if (!gaps.empty()) {
        state.counters["gap_p99_ms"] = gaps[std::min(gaps.size() - 1, gaps.size() * 99 / 100)];
        state.counters["gap_max_ms"] = gaps.back();
    }
}

BENCHMARK(BM_DevelopPageVsBare)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_DevelopPageStalls)->Unit(benchmark::kMillisecond)->Iterations(benchCount(10))->UseRealTime();

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

    benchmark::RunSpecifiedBenchmarks();

    g.bus->unplugAll();
    if (g.managerStarted) {
        UsbManager::instance()->deinit();
    }
    g.window.reset();
    g.bus.reset();
    return 0;
}
