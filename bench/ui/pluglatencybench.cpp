// Time from plugging an instrument to the Info page showing its serial number, with the production
// poll interval (5000 ms): once with hotplug arrivals (where libusb offers them) and once with polling
// alone. Runs the main window on the offscreen platform against the emulated bus.
#include "bench/support/shortrun.h"
#include "devices/devicefactory.h"
#include "sim/simcontrolunit.h"
#include "sim/usbfs/simusbbus.h"
#include "ui/mainwindow.h"
#include "usb/usbmanager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Bench
{
    std::unique_ptr<SimUsbBus> bus;
    std::unique_ptr<MainWindow> window;
} g;

// Plugs a control unit `plugs` times and gives the milliseconds until its serial was on the Info page.
std::vector<double> measure(int plugs)
{
    // The Info page's own label: the Production page has one of the same name that always holds text.
    QLabel* serial = g.window->page(MainWindow::InfoPage)->findChild<QLabel*>(QStringLiteral("serialLabel"));
    std::vector<double> latencies;
    for (int i = 0; i < plugs && serial; ++i) {
        auto unit = std::make_shared<SimControlUnit>();
        QElapsedTimer clock;
        clock.start();
        g.bus->plug(unit);
        if (QTest::qWaitFor([&] { return serial->isVisible() && !serial->text().isEmpty(); }, 15000)) {
            latencies.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        g.bus->unplug(unit);
        const bool removed =
            QTest::qWaitFor([&] { return UsbManager::instance()->addresses().isEmpty(); }, 10000);
        Q_UNUSED(removed);
        serial->clear();
        // Arrivals at random moments of the poll cycle, as a technician plugs them.
        QTest::qWait(137 * (i % 7));
    }
    return latencies;
}

void report(benchmark::State& state, std::vector<double> latencies, int plugs)
{
    std::sort(latencies.begin(), latencies.end());
    const size_t n = latencies.size();
    state.counters["plugs_seen"] = double(n);
    state.counters["plugs"] = plugs;
    if (n == 0) {
        state.SkipWithError("no plug reached the Info page");
        return;
    }
    state.counters["median_ms"] = latencies[n / 2];
    state.counters["min_ms"] = latencies.front();
    state.counters["max_ms"] = latencies.back();
    double sum = 0;
    for (double l : latencies) {
        sum += l;
    }
    state.counters["mean_ms"] = sum / double(n);
}

void BM_PlugToInfoWithHotplug(benchmark::State& state)
{
    const int plugs = int(state.range(0));
    for (auto _ : state) {
        if (!UsbManager::instance()->hasHotplug()) {
            state.SkipWithError("libusb offers no hotplug here");
            return;
        }
        report(state, measure(plugs), plugs);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // --polling-only: the same measurement without hotplug arrivals, for comparison.
    bool pollingOnly = false;
    for (int i = 1; i < argc; ++i) {
        pollingOnly = pollingOnly || qstrcmp(argv[i], "--polling-only") == 0;
    }
    g.bus = std::make_unique<SimUsbBus>(); // before libusb starts
    g.window = std::make_unique<MainWindow>();
    UsbManager* manager = UsbManager::instance();
    DeviceFactory::install();
    manager->setHotplugEnabledForTesting(!pollingOnly);
    g.window->followUsbManager(manager);
    manager->init();
    g.window->show();
    // Each run measures one way, so that a run without hotplug reports no error for the other.
    if (pollingOnly) {
        benchmark::RegisterBenchmark("BM_PlugToInfoPollingOnly",
                                     [](benchmark::State& state) {
                                         for (auto _ : state) {
                                             const int plugs = benchShortRun() ? 1 : 8;
                                             report(state, measure(plugs), plugs);
                                         }
                                     })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    } else {
        benchmark::RegisterBenchmark("BM_PlugToInfoWithHotplug", BM_PlugToInfoWithHotplug)
            ->Arg(benchShortRun() ? 2 : 20)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    manager->deinit();
    g.window.reset();
    g.bus.reset();
    return 0;
}
