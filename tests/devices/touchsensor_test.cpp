// The acoustic sensor's touch detector end to end: calibration sweep, manual threshold modes and the
// monitoring timer, against the simulated detector.
#include "devices/abstractjob.h"
#include "devices/jobs/cdccalibrationjob.h"
#include "devices/tymbrelsensor.h"
#include "sim/simacousticsensor.h"
#include "sim/simprotocol.h"
#include "simharness.h"

#include <libusb.h>

#include <functional>

namespace {

using namespace SimProtocol;

constexpr quint32 kCalibratedOption = 0x2000000A;
constexpr quint32 kRaw = 524287;
// Packets of a full calibration: post + read, 4096 x (post + read) up, the same down, then set
// option, post, store and post.
constexpr size_t kCalibrationPackets = 3 + 4096 * 3 + 3 + 4096 * 3 + 4;

class TouchSensor : public SimHarness
{
protected:
    void SetUp() override
    {
        SimHarness::SetUp();
        instrument = std::make_shared<SimAcousticSensor>();
        instrument->storeOption(kCalibratedOption, SimInstrument::int32Value(990));
        instrument->storeOption(0x20000004, SimInstrument::int32Value(int32_t(1200 * kRaw)));
        device = plugAndSettle(instrument, &recorder);
        ASSERT_TRUE(device);
        sensor = qobject_cast<TymbrelSensor*>(device.data());
        ASSERT_NE(sensor, nullptr);
    }
    void TearDown() override
    {
        sensor = nullptr;
        device.reset();
        SimHarness::TearDown();
    }

    // The calibration sets the option in the working copy, as the protocol's set command does.
    int calibratedOptionValue() const { return int(wordAt(*instrument->option(kCalibratedOption), 0)); }
    bool waitFor(const QString& job) const
    {
        return QTest::qWaitFor([&] { return recorder.jobs.contains(job); }, 60000);
    }

    std::shared_ptr<SimAcousticSensor> instrument;
    QSharedPointer<BaseDevice> device;
    TymbrelSensor* sensor = nullptr;
    DeviceRecorder recorder;
};

} // namespace

TEST_F(TouchSensor, CalibrationFindsTheUpperEdgeAndStoresIt)
{
    instrument->clearReceived();
    recorder.progress.clear();
    const size_t sentBefore = instrument->sentPacketCount();
    sensor->calibrateCdc(0, 0, 4095);
    ASSERT_TRUE(waitFor("CdcCalibrationJob"));
    EXPECT_EQ(recorder.resultOf("CdcCalibrationJob"), 0);
    // Switches at 1000 rising and 980 falling: the upper edge is taken.
    ASSERT_FALSE(recorder.progress.isEmpty());
    EXPECT_EQ(recorder.progress.last(), (QVariantList{"CdcCalibrationJob", 1000, 4096, "Final"}));
    EXPECT_EQ(calibratedOptionValue(), 1000);
    EXPECT_EQ(instrument->postedRawThreshold(), 1000 * kRaw);
    EXPECT_EQ(instrument->storedRawThreshold(), 1000 * kRaw);
    EXPECT_EQ(instrument->countReceived(CdcGetState), 8194u);
    // The sensor then reads both thresholds back (two requests, two answers), so that what it shows is
    // what the instrument holds.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sensor->calibratedCdcThreshold() == 1000 && sensor->savedCdcThreshold() == 1000; },
        20000));
    EXPECT_EQ(instrument->received().size() + instrument->sentPacketCount() - sentBefore,
              kCalibrationPackets + 4);
    EXPECT_TRUE(recorder.notes.isEmpty());
    // Sweep progress, as the panel shows it.
    EXPECT_EQ(recorder.progress.first(), (QVariantList{"CdcCalibrationJob", 0, 4096, "Bottom up...."}));
    EXPECT_TRUE(recorder.progress.contains(QVariantList{"CdcCalibrationJob", 4095, 4096, "Top down..."}));
}

TEST_F(TouchSensor, OffsetAndLimitsMakeAWarning)
{
    instrument->setSwitchingPoints(1500, 1400);
    sensor->calibrateCdc(20, 1000, 1510); // limits in either order are fine; 1520 is above
    ASSERT_TRUE(waitFor("CdcCalibrationJob"));
    EXPECT_EQ(recorder.resultOf("CdcCalibrationJob"), 1);
    EXPECT_EQ(recorder.progress.last().at(1).toInt(), 1500);
    EXPECT_EQ(calibratedOptionValue(), 1520); // stored all the same
    EXPECT_TRUE(recorder.notes.isEmpty());    // the warning has no message
    EXPECT_TRUE(log().contains("Job CdcCalibrationJob execution finished with warning:  (1)"));
}

// Nothing may be made permanent that the detector did not take or that lies outside its range: a
// detector that never switches, an offset pushing the point past 4095, a state read in the rising sweep or
// a final post that fails.
TEST_F(TouchSensor, CalibrationStoresNothingWithoutAUsableAndPostedThreshold)
{
    struct Case
    {
        const char* what;
        std::function<void()> arrange;
        int offset;
        int result;
        size_t setOptions; // set-option packets the instrument saw
    };
    bool armed = false;          // progress arrives a few dozen times a second, not per step
    QMetaObject::Connection arm; // the recorder's own progress connection has the same receiver
    const Case cases[] = {
        {"never switches", [&] { instrument->setTouchOverride(true); }, 0,
         CdcCalibrationJob::kNoUsableThreshold, 0},
        {"offset out of range", [] {}, 3200, CdcCalibrationJob::kNoUsableThreshold, 0},
        // Posts: 1 + 4096 up, 1 + 4096 down, then the found threshold's post is the 8195th.
        {"state read fails",
         [&] {
             arm = QObject::connect(device.data(), &BaseDevice::progressChanged, sensor,
                                    [&](QString, int value, int, QString) {
                                        if (value >= 700 && !armed) {
                                            armed = true;
                                            instrument->faults().wrongAnswerCode(CdcGetState, 0x40007, 1);
                                        }
                                    });
         },
         0, -2, 0},
        {"final post fails", [&] { instrument->faults().pipeErrorOnNth(CdcSetThreshold, 8195); }, 0,
         LIBUSB_ERROR_PIPE, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        instrument->clearReceived();
        recorder = {}; // its connections hold its address, so they stay
        c.arrange();
        sensor->calibrateCdc(c.offset, 0, 4095);
        ASSERT_TRUE(waitFor("CdcCalibrationJob"));
        EXPECT_EQ(recorder.resultOf("CdcCalibrationJob"), c.result);
        ASSERT_FALSE(recorder.progress.isEmpty());
        EXPECT_EQ(recorder.progress.last().at(3).toString(), "Calibration failed, nothing stored");
        EXPECT_EQ(instrument->countReceived(CdcStoreThreshold), 0u);
        EXPECT_EQ(instrument->countReceived(SetOption), c.setOptions);
        EXPECT_EQ(instrument->storedRawThreshold(), 1200 * kRaw);
        EXPECT_EQ(calibratedOptionValue(), c.setOptions ? 1000 : 990); // the working copy's
        ASSERT_EQ(recorder.notes.size(), 1);
        EXPECT_EQ(recorder.notes[0].first, NotificationMessageType::Error);
        EXPECT_FALSE(recorder.notes[0].second.isEmpty());
        QObject::disconnect(arm);
        instrument->setTouchOverride(std::nullopt);
        instrument->faults().clear();
    }
}

TEST_F(TouchSensor, ManualModesReadPostAndStoreThresholds)
{
    // Read at construction: the stored threshold (raw word) and the calibrated one (option value).
    EXPECT_EQ(sensor->savedCdcThreshold(), 1200);
    EXPECT_EQ(sensor->calibratedCdcThreshold(), 990);

    QSignalSpy saved(sensor, &TymbrelSensor::savedCdcThresholdChanged);
    sensor->writeCdcThreshold(1234);
    ASSERT_TRUE(QTest::qWaitFor([&] { return instrument->postedRawThreshold() == 1234 * kRaw; }, 20000));
    EXPECT_EQ(instrument->storedRawThreshold(), 1200 * kRaw);

    sensor->saveCdcThreshold(4095);
    ASSERT_TRUE(saved.wait(20000));
    EXPECT_EQ(saved.at(0).at(0).toInt(), 4095);
    EXPECT_EQ(instrument->storedRawThreshold(), 2146955265u);
    ASSERT_TRUE(waitFor("CdcManuelSettingJob")); // the store comes back, the others stay quiet
    EXPECT_EQ(recorder.jobs.count("CdcManuelSettingJob"), 1);
    EXPECT_EQ(sensor->savedCdcThreshold(), 4095); // the sensor's copy follows the store

    // A store that fails is reported and emits nothing.
    instrument->faults().pipeErrorOn(CdcStoreThreshold, 1);
    sensor->saveCdcThreshold(100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.jobs.count("CdcManuelSettingJob") == 2; }, 20000));
    EXPECT_EQ(recorder.results.last(), -9);
    EXPECT_EQ(saved.count(), 1);
}

TEST_F(TouchSensor, MonitoringPollsTheDetectorEvery500ms)
{
    QSignalSpy touched(sensor, &TymbrelSensor::touchDetectorChanged);
    instrument->setTouchOverride(true);
    sensor->startMonitorTouchState();
    EXPECT_TRUE(sensor->isMonitoringTouchState());
    ASSERT_TRUE(touched.wait(20000));
    EXPECT_TRUE(touched.last().at(0).toBool());
    instrument->setTouchOverride(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !touched.last().at(0).toBool(); }, 20000));
    sensor->stopMonitorTouchState();
    // A poll already under way may still report; once none is left, nothing more may come.
    ASSERT_TRUE(QTest::qWaitFor([] { return AbstractJob::liveCount() == 0; }, 20000))
        << AbstractJob::liveCount();
    QCoreApplication::processEvents();
    const int count = touched.count();
    QTest::qWait(700);
    EXPECT_EQ(touched.count(), count);
    EXPECT_LE(count, 6); // about two ticks per second
    EXPECT_TRUE(recorder.jobs.isEmpty() || !recorder.jobs.contains("CdcManuelSettingJob"));
    // The polling jobs are released once they ran: monitoring does not pile up job objects.
    EXPECT_TRUE(QTest::qWaitFor([] { return AbstractJob::liveCount() == 0; }, 20000))
        << AbstractJob::liveCount();
}
