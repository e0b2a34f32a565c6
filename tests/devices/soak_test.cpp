// Plug/unplug cycles with jobs in flight (200, or SOAK_CYCLES; tools/soak.sh runs 1000): afterwards no
// device object, worker, job, thread or libusb device reference is left behind. A long run also weighs
// the resident memory: the emulation keeps a record of every unplugged instrument, so the same cycles
// are run again in a second process with libusb alone opening the instruments, and only what the tool
// adds on top of that counts against it (under 1 MB per 1000 cycles).
#include "devices/abstractjob.h"
#include "devices/tymbrelsensor.h"
#include "devices/worker.h"
#include "options/storageidcatalogue.h"
#include "simharness.h"

#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>

#include <libusb.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

// libusb's own account of its device objects, from its debug log: every device it allocates is
// logged, and so is every device whose last reference went.
std::atomic<int> g_allocated{0};
std::atomic<int> g_destroyed{0};

void LIBUSB_CALL countDevices(libusb_context*, enum libusb_log_level, const char* text)
{
    const bool allocated = std::strstr(text, "allocating new device");
    const bool destroyed = std::strstr(text, "destroy device");
    if ((allocated || destroyed) && qEnvironmentVariableIsSet("SOAK_TRACE")) {
        fputs(text, stderr);
    }
    g_allocated += allocated;
    g_destroyed += destroyed;
}

int threadCount()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

using Soak = SimHarness;

int cycles()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("SOAK_CYCLES", &ok);
    return ok && n > 0 ? n : 200;
}

// Resident memory in bytes; with `trim`, once the allocator has returned its free pages (glibc keeps
// what the threads of every arena freed mapped, which would count the workers' turnover as growth).
qint64 residentBytes(bool trim = true)
{
    if (trim) {
        malloc_trim(0);
    }
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

// Bytes the allocator has handed out and not got back, in every arena.
qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

// Growth is measured from this cycle on: allocators and caches settle during the first ones.
int settledCycle(int cycles)
{
    return std::min(20, cycles - 1);
}

// The three instruments plugged in turn, each with a log worth reading.
std::vector<std::shared_ptr<SimInstrument>> soakInstruments()
{
    std::vector<std::shared_ptr<SimInstrument>> instruments;
    for (SimKind kind : {SimKind::ControlUnit, SimKind::AcousticSensor, SimKind::UpdateOnly}) {
        instruments.push_back(SimInstrumentFactory::create(kind));
        instruments.back()->setLog(SimProtocol::Bytes(64 * 1024, uint8_t('L')));
    }
    return instruments;
}

const char kEmulationAlone[] = "SOAK_EMULATION_ALONE";
const char kEmulationLine[] = "soak: emulation alone grew by ";

// The emulation's share: the same cycles in a process of their own (one bus per process); none when
// that run failed.
std::optional<qint64> emulationGrowth(int cycles)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kEmulationAlone), QStringLiteral("1"));
    environment.insert(QStringLiteral("SOAK_CYCLES"), QString::number(cycles));
    environment.remove(QStringLiteral("UMOCKDEV_DIR")); // this process's testbed
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SoakEmulation.*"), QStringLiteral("--gtest_brief=1")});
    if (!child.waitForFinished(15 * 60 * 1000) || child.exitCode() != 0) {
        return std::nullopt;
    }
    const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
    const QRegularExpressionMatch match =
        QRegularExpression(QString::fromLatin1(kEmulationLine) + "(-?\\d+) bytes").match(output);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return match.captured(1).toLongLong();
}

} // namespace

TEST_F(Soak, PlugAndUnplugWithJobsInFlightLeavesNothingBehind)
{
    libusb_set_log_cb(nullptr, countDevices, LIBUSB_LOG_CB_GLOBAL);
    libusb_set_option(nullptr, LIBUSB_OPTION_LOG_LEVEL, LIBUSB_LOG_LEVEL_DEBUG);
    int threadsBefore = -1; // taken after the first cycle: the emulation starts its own thread lazily

    int removedTotal = 0;
    QObject::connect(manager(), &UsbManager::deviceRemoved, manager(), [&] { ++removedTotal; });
    const int kCycles = cycles();
    qint64 residentBefore = 0;
    qint64 rawBefore = 0;
    qint64 heapBefore = 0;
    // Three instruments plugged in turn: fresh ones every cycle would add the simulator's memory.
    const std::vector<std::shared_ptr<SimInstrument>> instruments = soakInstruments();
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
        // The capture's lines and the simulator's transcript of every packet it got are the test's
        // memory, not the tool's.
        log().clear();
        instrument->clearReceived();
        if (cycle == 0) {
            ASSERT_TRUE(QTest::qWaitFor([] { return Worker::liveCount() == 0; }, 20000));
            QTest::qWait(50);
            threadsBefore = threadCount();
        }
        if (cycle == settledCycle(kCycles)) {
            rawBefore = residentBytes(false);
            residentBefore = residentBytes();
            heapBefore = heapInUse();
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
    const qint64 rawGrowth = residentBytes(false) - rawBefore;
    const qint64 growth = residentBytes() - residentBefore;
    const qint64 heapGrowth = heapInUse() - heapBefore;
    const double mb = 1024 * 1024;
    std::printf("soak: %d cycles, %d libusb devices allocated, %d destroyed, %d threads (%d before), "
                "resident memory grew by %.2f MB after cycle %d (%.2f MB before the allocator returned "
                "free pages; heap in use %.2f MB)\n",
                kCycles, g_allocated.load(), g_destroyed.load(), threadCount(), threadsBefore, growth / mb,
                settledCycle(kCycles), rawGrowth / mb, heapGrowth / mb);
    // Only a long run can tell a leak from the allocator's own growth.
    if (kCycles >= 1000) {
        const std::optional<qint64> measured = emulationGrowth(kCycles);
        ASSERT_TRUE(measured.has_value()) << "the emulation-alone run failed";
        const qint64 emulation = *measured;
        const qint64 tool = growth - emulation;
        std::printf(
            "soak: the emulation's share %.2f MB, the tool's share %.2f MB (%.2f MB per 1000 cycles)\n",
            emulation / mb, tool / mb, tool / mb * 1000 / kCycles);
        std::fflush(stdout);
        EXPECT_LT(tool * 1000 / kCycles, 1024 * 1024);
    }
    libusb_set_option(nullptr, LIBUSB_OPTION_LOG_LEVEL, LIBUSB_LOG_LEVEL_NONE);
    libusb_set_log_cb(nullptr, nullptr, LIBUSB_LOG_CB_GLOBAL);
}

// The emulation's share of the soak's memory: the same instruments plugged and unplugged as often, libusb
// listing and opening each, probing it and timing out a read, and nothing of the tool in the process. Run
// by the long soak in a process of its own.
using SoakEmulation = SimUsbFixture;

TEST_F(SoakEmulation, PlugAndUnplugThroughLibusbAlone)
{
    if (!qEnvironmentVariableIsSet(kEmulationAlone)) {
        GTEST_SKIP() << "measures the emulation's share for the long soak";
    }
    // The device libusb lists at `port` once it has handled what is pending, with a reference, or null.
    const auto listed = [](SimUsbBus::Port port) {
        timeval noWait{0, 0};
        libusb_handle_events_timeout_completed(nullptr, &noWait, nullptr);
        return SimUsbBus::findLibusbDevice(port);
    };
    const int kCycles = cycles();
    const std::vector<std::shared_ptr<SimInstrument>> instruments = soakInstruments();
    qint64 residentBefore = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        const std::shared_ptr<SimInstrument>& instrument = instruments[cycle % 3];
        const SimUsbBus::Port port = bus().plug(instrument);
        libusb_device* device = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (device = listed(port)) != nullptr; }, 10000)) << cycle;
        libusb_device_handle* handle = nullptr;
        ASSERT_EQ(libusb_open(device, &handle), 0) << "cycle " << cycle;
        EXPECT_EQ(libusb_claim_interface(handle, 0), 0);
        unsigned char descriptor[18] = {};
        EXPECT_EQ(libusb_control_transfer(handle, LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_DESCRIPTOR, 0x0100,
                                          0, descriptor, sizeof descriptor, 1000),
                  int(sizeof descriptor));
        unsigned char answer[1024];
        int received = 0;
        EXPECT_EQ(libusb_bulk_transfer(handle, 0x81, answer, sizeof answer, &received, 2),
                  LIBUSB_ERROR_TIMEOUT);
        bus().unplug(instrument);
        libusb_release_interface(handle, 0);
        libusb_close(handle);
        libusb_unref_device(device);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                libusb_device* still = listed(port);
                libusb_unref_device(still);
                return still == nullptr;
            },
            10000))
            << "cycle " << cycle;
        if (cycle == settledCycle(kCycles)) {
            residentBefore = residentBytes();
        }
    }
    std::printf("%s%lld bytes after cycle %d\n", kEmulationLine,
                static_cast<long long>(residentBytes() - residentBefore), settledCycle(kCycles));
}
