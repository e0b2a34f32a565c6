// The job framework and the device base without an instrument: ordering, quiet jobs, progress
// forwarding, result reporting, clean-up of jobs that never ran, and the pure helpers.
#include "devices/abstractjob.h"
#include "devices/basedevice.h"
#include "devices/cdcthreshold.h"
#include "devices/jobs/cdccalibrationjob.h"
#include "devices/jobs/readdefaultvaluesjob.h"
#include "devices/progressthrottle.h"
#include "devices/worker.h"
#include "logcapture.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

// Records the order jobs ran in; can block until released, to hold the worker busy.
struct Journal
{
    std::mutex mutex; // guards order
    QStringList order;
    std::atomic<int> alive{0};
    QSemaphore gate;
};

class FakeJob : public AbstractJob
{
    Q_OBJECT
public:
    FakeJob(Journal& journal, QString tag, bool quiet = false, int result = 0, bool waitForGate = false)
        : AbstractJob("FakeJob", nullptr), m_journal(journal), m_tag(std::move(tag)), m_quiet(quiet),
          m_resultToSet(result), m_wait(waitForGate)
    {
        ++m_journal.alive;
    }
    ~FakeJob() override { --m_journal.alive; }

    void execute(UsbDevice* device) override
    {
        sawDevice = device != nullptr;
        if (m_wait) {
            m_journal.gate.acquire();
        }
        {
            std::lock_guard<std::mutex> lock(m_journal.mutex);
            m_journal.order << m_tag;
        }
        emit progressChanged(name(), 7);
        emit ownSignal();
        if (m_resultToSet != 0) {
            setResult(m_resultToSet);
        }
    }
    bool isQuiet() const override { return m_quiet; }
    QString resultMessage(int result) const override { return result < 0 ? "fake failure" : QString(); }

    bool sawDevice = true;

signals:
    void ownSignal();

private:
    Journal& m_journal;
    QString m_tag;
    bool m_quiet;
    int m_resultToSet;
    bool m_wait;
};

const InstrumentKind kBareKind{0,
                               0,
                               "bare",
                               "Bare Device",
                               ":/images/none.png",
                               "Bare device found!",
                               StorageIdCatalogue::Family::UpdateOnly,
                               InstrumentKind::Model::Generic,
                               InstrumentKind::Panel::None,
                               InstrumentKind::Panel::None};

// A device kind without an instrument: the worker's transport never opens.
class BareDevice : public BaseDevice
{
    Q_OBJECT
public:
    explicit BareDevice(QObject* parent = nullptr) : BaseDevice(kBareKind, nullptr, parent) {}
    void readDeviceOptions() override { ++optionReads; }
    Operation* post(AbstractJob* job)
    {
        return BaseDevice::post(job, Operation::Kind::Reboot, {},
                                [this, job](Operation&) { handedToKind << job->name(); });
    }

    int optionReads = 0;
    QStringList handedToKind;
};

// Posts jobs the way a device does: by a signal connected across the threads.
class Poster : public QObject
{
    Q_OBJECT
signals:
    void post(AbstractJob* job);
};

class WorkerFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        log = std::make_unique<LogCapture>(0); // before any thread logs
        worker = new Worker(nullptr, "Fake");
        QObject::connect(&poster, &Poster::post, worker, &Worker::executeJob);
        worker->moveToThread(&thread);
        QObject::connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
        QObject::connect(&thread, &QThread::started, worker, &Worker::init);
    }
    // Started by each case once it is connected to what it watches.
    void start() { thread.start(); }
    void TearDown() override
    {
        thread.quit();
        thread.wait();
    }
    void post(AbstractJob* job) { emit poster.post(job); }

    std::unique_ptr<LogCapture> log;
    Poster poster;
    QThread thread;
    Worker* worker = nullptr;
};

} // namespace

TEST_F(WorkerFixture, RunsJobsInPostingOrderAndHandsBackOnlyLoudOnes)
{
    qRegisterMetaType<AbstractJob*>("AbstractJob*");
    Journal journal;
    QStringList events;
    QList<AbstractJob*> returned;
    QObject::connect(worker, &Worker::jobStartded, QCoreApplication::instance(), [&] { events << "start"; });
    QObject::connect(worker, &Worker::jobFinished, QCoreApplication::instance(), [&](AbstractJob* job) {
        events << "finish";
        returned << job;
    });
    QList<QVariantList> progress;
    QObject::connect(worker, &Worker::jobProgressChanged, QCoreApplication::instance(),
                     [&](AbstractJob*, QString name, int value, int maximum, QString message) {
                         progress << QVariantList{name, value, maximum, message};
                     });

    auto* first = new FakeJob(journal, "first", false, 0, true);
    auto* quiet = new FakeJob(journal, "quiet", true);
    auto* last = new FakeJob(journal, "last", false, -5);
    int quietOwnSignals = 0;
    QObject::connect(quiet, &FakeJob::ownSignal, QCoreApplication::instance(), [&] { ++quietOwnSignals; });
    start();
    post(first);
    post(quiet);
    post(last);
    journal.gate.release(); // the second and third were queued while the first was still running

    ASSERT_TRUE(QTest::qWaitFor([&] { return returned.size() == 2 && quietOwnSignals == 1; }, 20000));
    QCoreApplication::processEvents();

    EXPECT_EQ(journal.order, (QStringList{"first", "quiet", "last"}));
    EXPECT_EQ(events, (QStringList{"start", "finish", "start", "finish"}));
    EXPECT_EQ(returned, (QList<AbstractJob*>{first, last}));
    EXPECT_EQ(first->result(), 0); // never set: stays 0
    EXPECT_EQ(last->result(), -5);
    EXPECT_FALSE(first->sawDevice); // a transport that never opened is not handed to jobs
    // Progress of loud jobs only, with the two-argument form's defaults.
    ASSERT_EQ(progress.size(), 2);
    EXPECT_EQ(progress[0], (QVariantList{"FakeJob", 7, -1, QString()}));
    delete first;
    delete last;
    // A quiet job is not handed back; it is released after it ran, once its signals are delivered.
    EXPECT_TRUE(QTest::qWaitFor([&] { return journal.alive == 0; }, 20000));
}

TEST_F(WorkerFixture, NullJobAndFailedOpenAreReported)
{
    int openFailed = 0;
    int connected = 0;
    QObject::connect(worker, &Worker::deviceOpenFailed, QCoreApplication::instance(), [&] { ++openFailed; });
    QObject::connect(worker, &Worker::deviceConnected, QCoreApplication::instance(), [&] { ++connected; });
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return openFailed == 1; }, 20000));
    EXPECT_EQ(connected, 0);
    post(nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log->contains("Job is null!"); }, 20000));
    EXPECT_TRUE(log->contains("Fake.Worker: Can't open Fake"));
}

// A sweep reports thousands of steps: the window hears one per interval, yet every new text, the
// completing step and, at the end, the last step held back.
TEST(ProgressThrottle, PassesFirstNewTextCompletionOnePerIntervalAndTheLastHeldBack)
{
    struct Report
    {
        qint64 at;
        int value;
        QString message;
    };
    const Report reports[] = {{0, 0, "a"},  {5, 1, "a"},  {10, 2, "a"},  {30, 3, "a"},   {31, 4, "a"},
                              {32, 4, "b"}, {33, 5, "b"}, {34, 99, "b"}, {35, 100, "b"}, {36, 7, "b"}};
    qint64 now = 0;
    QList<QPair<int, QString>> passed;
    ProgressThrottle throttle(
        [&](int value, int, const QString& message) { passed << qMakePair(value, message); },
        [&now] { return now; });
    for (const Report& report : reports) {
        now = report.at;
        throttle.report(report.value, 100, report.message);
    }
    throttle.flush();
    EXPECT_EQ(passed,
              (QList<QPair<int, QString>>{{0, "a"}, {3, "a"}, {4, "a"}, {4, "b"}, {100, "b"}, {7, "b"}}));
}

TEST(BaseDevice, ThreadNameResultReportingAndOwnership)
{
    LogCapture log(0);
    Journal journal;
    auto device = std::make_unique<BareDevice>();
    EXPECT_EQ(device->threadName(), "Bare DeviceWorkerThread");
    QSignalSpy openFailed(device.get(), &BaseDevice::openFailed);
    ASSERT_TRUE(openFailed.wait(20000));
    EXPECT_TRUE(device->hasOpenFailed());
    EXPECT_FALSE(device->isConnected());

    QSignalSpy notify(device.get(), &BaseDevice::notify);
    QSignalSpy busy(device.get(), &BaseDevice::busy);
    QSignalSpy idle(device.get(), &BaseDevice::idle);
    device->post(new FakeJob(journal, "a", false, -3));
    device->post(new FakeJob(journal, "b", false, 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return device->handedToKind.size() == 2; }, 20000));
    EXPECT_EQ(busy.count(), 2);
    EXPECT_EQ(idle.count(), 2);
    // Only the failure has a message; the warning's message is empty, so it is only logged.
    ASSERT_EQ(notify.count(), 1);
    EXPECT_EQ(notify.at(0).at(0).value<NotificationMessageType>(), NotificationMessageType::Error);
    EXPECT_EQ(notify.at(0).at(1).toString(), "fake failure");
    EXPECT_TRUE(log.contains("Job FakeJob execution failed: fake failure (-3)"));
    EXPECT_TRUE(log.contains("Job FakeJob execution finished with warning:  (2)"));

    // Jobs queued behind a running one are not run when the device goes, and are not leaked either.
    device->post(new FakeJob(journal, "blocking", false, 0, true));
    for (int i = 0; i < 5; ++i) {
        device->post(new FakeJob(journal, "queued"));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return busy.count() == 3; }, 20000)); // the blocking one runs
    // Released only while the destructor already waits for the worker, so that the queued jobs are
    // still waiting when the device goes.
    std::thread releaser([&] {
        QThread::msleep(50);
        journal.gate.release();
    });
    const int operations = Operation::liveCount();
    device.reset();
    releaser.join();
    EXPECT_EQ(Operation::liveCount(), operations - 6); // the blocking one's and the queued ones'
    EXPECT_EQ(journal.alive, 0);
    EXPECT_EQ(journal.order.count("blocking"), 1);
    EXPECT_EQ(journal.order.count("queued"), 0);
}

TEST(BaseDevice, ConcurrentOperationsOfOneKindEachGetOnlyTheirOwnOutcomeOnThePostingThread)
{
    struct Case
    {
        const char* tag;
        int result;
        const char* message;
    };
    const Case cases[] = {{"a", -3, "fake failure"}, {"b", 2, ""}, {"c", 0, ""}};
    struct Seen
    {
        QList<int> results;
        QStringList messages;
        int progress = 0;
        bool onPostingThread = false;
    };
    Journal journal;
    BareDevice device;
    Seen seen[3];
    for (int i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        Seen& mine = seen[i];
        Operation* operation = device.post(new FakeJob(journal, QLatin1String(c.tag), false, c.result));
        QObject::connect(operation, &Operation::progress, &device, [&mine] { ++mine.progress; });
        QObject::connect(operation, &Operation::finished, &device, [&mine](int result, QString message) {
            mine.results << result;
            mine.messages << message;
            mine.onPostingThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return device.handedToKind.size() == 3; }, 20000));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(cases[i].tag);
        EXPECT_EQ(seen[i].results, QList<int>{cases[i].result});
        EXPECT_EQ(seen[i].messages, QStringList{QLatin1String(cases[i].message)});
        EXPECT_EQ(seen[i].progress, 1); // its own progress only
        EXPECT_TRUE(seen[i].onPostingThread);
    }
}

TEST(BaseDevice, IdentityOfAFailedReadIsAppliedAndFollowedByTheOptionHook)
{
    BareDevice device;
    QSignalSpy identity(&device, &BaseDevice::identityChanged);
    device.init(); // no transport: the identity read fails with -1 and applies empty values
    ASSERT_TRUE(QTest::qWaitFor([&] { return device.optionReads == 1; }, 20000));
    EXPECT_EQ(identity.count(), 0); // empty equals the empty identity it had
    EXPECT_TRUE(device.serial().isEmpty());
    device.init();
    ASSERT_TRUE(QTest::qWaitFor([&] { return device.optionReads == 2; }, 20000));
}

TEST(BaseDevice, SetDeviceOptionOnlyChangesCachedDifferentValues)
{
    BareDevice device;
    QSignalSpy changed(&device, &BaseDevice::deviceOptionChanged);
    device.setDeviceOption(0x10000001, QByteArray("x")); // not cached: ignored
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(device.hasDeviceOption(0x10000001));
    // A failed single read caches an empty value, which makes the id known to the cache.
    device.readDeviceOption(0x10000001);
    ASSERT_TRUE(changed.wait(20000));
    EXPECT_TRUE(device.hasDeviceOption(0x10000001));
    EXPECT_TRUE(device.deviceOption(0x10000001).isEmpty());
    device.setDeviceOption(0x10000001, QByteArray());
    EXPECT_EQ(changed.count(), 1); // same bytes: nothing
    device.setDeviceOption(0x10000001, QByteArray("abc"));
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(1).toByteArray(), QByteArray("abc"));
    EXPECT_EQ(device.deviceOption(0x10000001), QByteArray("abc"));
}

TEST(BaseDevice, SystemIdFromChipId)
{
    // Well-formed chip ids are checked with the identity read; here what is left over.
    EXPECT_EQ(BaseDevice::systemIdFromChipId("not a hex id"), "0000-0000-0000-0000");
    // Shorter than seven characters: used twice.
    EXPECT_EQ(BaseDevice::systemIdFromChipId("FF"), "0000-0000-0006-5535");
}

TEST(Jobs, PureConversions)
{
    EXPECT_EQ(ReadDefaultValuesJob::versionFromAnswer("1.4.2"), "1.4.2");
    EXPECT_EQ(ReadDefaultValuesJob::versionFromAnswer("$$$"), "$$$");

    EXPECT_EQ(CdcThreshold::toRaw(4095), 2146955265u);
    EXPECT_EQ(CdcThreshold::toSensitivity(2146955265u), 4095);
    EXPECT_EQ(CdcThreshold::toSensitivity(524287u), 1);
    EXPECT_EQ(CdcThreshold::toSensitivity(262143u), 0);
    EXPECT_EQ(CdcThreshold::toSensitivity(262144u), 1);

    CdcCalibrationJob job(0, 4095, 0);
    EXPECT_EQ(job.minThreshold(), 0);
    EXPECT_EQ(job.maxThreshold(), 4095);
}

#include "jobframework_test.moc"
