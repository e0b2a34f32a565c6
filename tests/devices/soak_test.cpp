// Plug/unplug cycles with jobs in flight (200, or SOAK_CYCLES; tools/soak.sh runs 1000): afterwards no
// device object, worker, job, thread or libusb device reference is left behind, and in a long run the
// resident memory has not grown by 2 MB.
#include "devices/abstractjob.h"
#include "devices/tymbrelsensor.h"
#include "devices/worker.h"
#include "options/storageidcatalogue.h"
#include "simharness.h"

#include <QDir>
#include <QPointer>

#include <libusb.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

// libusb's own account of its device objects, from its debug log: every device it allocates is
// logged, and so is every device whose last reference went.
std::atomic<int> g_allocated{0};
std::atomic<int> g_destroyed{0};

void LIBUSB_CALL countDevices(libusb_context*, enum libusb_log_level, const char* text)
{
    if (qEnvironmentVariableIsSet("SOAK_TRACE") &&
        (std::strstr(text, "allocating new device") || std::strstr(text, "destroy device"))) {
        fputs(text, stderr);
    }
    if (std::strstr(text, "allocating new device")) {
        ++g_allocated;
    } else if (std::strstr(text, "destroy device")) {
        ++g_destroyed;
    }
}

int threadCount()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

class Soak : public SimHarness
{
};

int cycles()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("SOAK_CYCLES", &ok);
    return ok && n > 0 ? n : 200;
}

// Resident memory in bytes.
qint64 residentBytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return qint64(resident) * 4096;
}

} // namespace

TEST_F(Soak, PlugAndUnplugWithJobsInFlightLeavesNothingBehind)
{
    libusb_set_log_cb(nullptr, countDevices, LIBUSB_LOG_CB_GLOBAL);
    libusb_set_option(nullptr, LIBUSB_OPTION_LOG_LEVEL, LIBUSB_LOG_LEVEL_DEBUG);
    int threadsBefore = -1; // taken after the first cycle: the emulation starts its own thread lazily

    const SimKind kinds[] = {SimKind::ControlUnit, SimKind::AcousticSensor, SimKind::UpdateOnly};
    int removedTotal = 0;
    QObject::connect(manager(), &UsbManager::deviceRemoved, manager(), [&] { ++removedTotal; });
    const int kCycles = cycles();
    qint64 residentBefore = 0;
    // Three instruments plugged in turn: the emulation keeps what it retired, so fresh instruments every
    // cycle would make its memory, not the tool's, grow.
    std::shared_ptr<SimInstrument> instruments[3];
    for (int i = 0; i < 3; ++i) {
        instruments[i] = SimInstrumentFactory::create(kinds[i]);
        instruments[i]->setLog(SimProtocol::Bytes(64 * 1024, uint8_t('L')));
    }
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        const std::shared_ptr<SimInstrument>& instrument = instruments[cycle % 3];
        QSignalSpy added(manager(), &UsbManager::deviceAdded);
        plug(instrument);
        ASSERT_TRUE(added.wait(20000) || added.count() > 0) << "cycle " << cycle;
        QSharedPointer<BaseDevice> device = deviceAt(added.at(0).at(0).value<UsbBusDeviceAddress>());
        ASSERT_TRUE(device);
        // The instrument may already be gone again before the unplug below, if opening it failed.
        const int removedBefore = removedTotal;
        // Jobs queued behind the opening of the transport, still running or waiting at the unplug.
        switch (cycle % 3) {
        case 0:
            device->readMultipleDeviceOptions(
                StorageIdCatalogue::deviceIds(StorageIdCatalogue::Family::ControlUnit));
            device->downloadLog();
            break;
        case 1:
            qobject_cast<TymbrelSensor*>(device.data())->calibrateCdc(0, 0, 4095);
            qobject_cast<TymbrelSensor*>(device.data())->startMonitorTouchState();
            break;
        default:
            // (No reboot or factory reset here: a rebooting instrument comes back on its own.)
            device->downloadLog();
            device->clearLog();
            device->readDeviceOption(0x10000004);
            break;
        }
        QTest::qWait(5 + cycle % 40); // unplug at a different point of the traffic each time
        bus().unplug(instrument);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return removedTotal > removedBefore && manager()->addresses().isEmpty(); }, 10000))
            << "cycle " << cycle;
        device.reset();
        flushDeletes();
        log().clear(); // the capture's lines are the test's memory, not the tool's
        if (cycle == 0) {
            ASSERT_TRUE(QTest::qWaitFor([] { return Worker::liveCount() == 0; }, 20000));
            QTest::qWait(50);
            threadsBefore = threadCount();
        }
        // Allocators and caches settle during the first cycles; growth is measured from there.
        if (cycle == std::min(20, kCycles - 1)) {
            residentBefore = residentBytes();
        }
    }

    bus().unplugAll();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            flushDeletes();
            return BaseDevice::liveCount() == 0 && Worker::liveCount() == 0 && AbstractJob::liveCount() == 0;
        },
        10000));
    EXPECT_TRUE(manager()->addresses().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return threadCount() <= threadsBefore; }, 20000))
        << threadCount() << " threads, " << threadsBefore << " before";
    // Every libusb device of an unplugged instrument was released.
    EXPECT_GT(g_allocated.load(), kCycles - 1);
    // libusb drops its own reference to an unplugged device when it handles events; the next poll does.
    EXPECT_TRUE(QTest::qWaitFor([&] { return g_destroyed.load() == g_allocated.load(); }, 20000))
        << g_allocated.load() << " allocated, " << g_destroyed.load() << " destroyed, polling "
        << manager()->isPolling();
    const qint64 growth = residentBytes() - residentBefore;
    std::printf("soak: %d cycles, %d libusb devices allocated, %d destroyed, %d threads (%d before), "
                "resident memory grew by %.2f MB after cycle 20\n",
                kCycles, g_allocated.load(), g_destroyed.load(), threadCount(), threadsBefore,
                double(growth) / (1024 * 1024));
    // Only a long run can tell a leak from the allocator's own growth.
    if (kCycles >= 1000) {
        EXPECT_LT(growth, 2 * 1024 * 1024);
    }
    libusb_set_option(nullptr, LIBUSB_OPTION_LOG_LEVEL, LIBUSB_LOG_LEVEL_NONE);
    libusb_set_log_cb(nullptr, nullptr, LIBUSB_LOG_CB_GLOBAL);
}
