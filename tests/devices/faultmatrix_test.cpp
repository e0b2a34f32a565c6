// Every job against every way an instrument can misbehave: each run ends with the result it must have
// (a job that reports success after a fault it could notice fails here), nothing hangs or crashes, and
// after an unplug the device goes, the discovery lets go of it and finds the instrument again when it
// is plugged back in.
#include "devices/abstractjob.h"
#include "devices/tymbrelsensor.h"
#include "devices/worker.h"
#include "sim/simacousticsensor.h"
#include "sim/simprotocol.h"
#include "simharness.h"

#include <QPointer>
#include <QRegularExpression>

#include <array>
#include <functional>

namespace {

using namespace SimProtocol;

enum class Fault
{
    NoAnswer,
    WrongAnswerCode,
    WrongOptionId,
    LateAnswer,
    UnplugAtFirstPacket,
    UnplugAtMiddlePacket,
    UnplugAtLastPacket
};

const char* faultName(Fault fault)
{
    static const char* const names[] = {"NoAnswer",          "WrongAnswerCode",     "WrongOptionId",
                                        "LateAnswer",        "UnplugAtFirstPacket", "UnplugAtMiddlePacket",
                                        "UnplugAtLastPacket"};
    return names[int(fault)];
}

constexpr quint32 kTestResults = 0x10000003;

struct JobCase
{
    const char* label;
    const char* jobName;
    bool sensor;         // runs on the acoustic sensor (else the control unit)
    uint32_t keyCommand; // the command whose answer the faults disturb
    size_t packets;      // packets both ways of one undisturbed run
    std::function<void(BaseDevice*)> start;
    // The result for each fault, in the order of Fault. A command without an answer cannot notice a
    // missing or wrong one; an unplug after the last packet leaves a finished job.
    std::array<int, 7> expected;
    bool explainsFailure; // a failed run carries a message for the user
};

TymbrelSensor* asSensor(BaseDevice* device)
{
    return qobject_cast<TymbrelSensor*>(device);
}

// One row of the table below: on the control unit, or on the acoustic sensor (`sensor`).
JobCase job(const char* label, const char* jobName, bool sensor, uint32_t keyCommand, size_t packets,
            std::array<int, 7> expected, bool explainsFailure, std::function<void(BaseDevice*)> start)
{
    return {label, jobName, sensor, keyCommand, packets, std::move(start), expected, explainsFailure};
}

const std::vector<JobCase>& jobCases()
{
    static const std::vector<JobCase> cases = {
        job("ReadDefaultValues", "ReadDefaultValuesJob", false, GetSerialNumber, 12,
            {-1, -1, -5, -1, -1, -4, 0}, false, [](BaseDevice* d) { d->init(); }),
        job("ReadDeviceOption", "ReadDeviceOptionJob", false, GetOption, 2, {-1, -1, -1, -1, -1, -1, 0},
            false, [](BaseDevice* d) { d->readDeviceOption(kTestResults); }),
        job("ReadDeviceMultipleOptions", "ReadDeviceMultipleOptionsJob", false, GetOption, 10,
            {0, 0, 0, 0, -4, -4, 0}, false,
            [](BaseDevice* d) {
                d->readMultipleDeviceOptions({0x10000000, 0x10000001, 0x10000002, 0x10000003, 0x10000004});
            }),
        job("SetDeviceOption", "SetDeviceOptionJob", false, SetOption, 1, {0, 0, 0, 0, 0, 0, 0}, false,
            [](BaseDevice* d) { d->sendDeviceOption(kTestResults, QByteArray("x")); }),
        job("SetDeviceMultipleOptions", "SetDeviceMultipleOptionsJob", false, SetOption, 3,
            {0, 0, 0, 0, -4, -4, 0}, true,
            [](BaseDevice* d) {
                d->sendDeviceOptions({{0x10000003, QByteArray("a")},
                                      {0x20000001, QByteArray(4, '\1')},
                                      {0x20000002, QByteArray(4, '\0')}});
            }),
        job("WriteDeviceOptions", "WriteDeviceOptionsJob", false, WriteOptions, 1, {0, 0, 0, 0, 0, 0, 0},
            false, [](BaseDevice* d) { d->writeDeviceOptions(false); }),
        job("RebootDevice", "RebootDeviceJob", false, Reboot, 1, {0, 0, 0, 0, 0, 0, 0}, false,
            [](BaseDevice* d) { d->rebootDevice(); }),
        job("FactoryReset", "FactoryResetJob", false, FactoryReset, 2, {0, 0, 0, 0, -4, -4, 0}, true,
            [](BaseDevice* d) { d->factoryReset(); }),
        // 2500 log bytes: three data packets and the end code after the request.
        job("ReadLog", "ReadLogJob", false, ReadLog, 5, {-7, -7, 0, 0, -4, -4, 0}, true,
            [](BaseDevice* d) { d->downloadLog(); }),
        job("DeleteLog", "DeleteLogJob", false, DeleteLog, 1, {0, 0, 0, 0, 0, 0, 0}, false,
            [](BaseDevice* d) { d->clearLog(); }),
        job("CdcCalibration", "CdcCalibrationJob", true, CdcGetState, 3 + 4096 * 3 + 3 + 4096 * 3 + 4,
            {-7, -2, 0, -7, -4, -4, 0}, true, [](BaseDevice* d) { asSensor(d)->calibrateCdc(0, 0, 4095); }),
        job("CdcReadTouchState", "CdcManuelSettingJob", true, CdcGetState, 2, {-7, -2, 0, -7, -4, -4, 0},
            false, [](BaseDevice* d) { QMetaObject::invokeMethod(asSensor(d), "pollTouchState"); }),
        job("CdcPostThreshold", "CdcManuelSettingJob", true, CdcSetThreshold, 1, {0, 0, 0, 0, 0, 0, 0}, false,
            [](BaseDevice* d) { asSensor(d)->writeCdcThreshold(1500); }),
        job("CdcStoreThreshold", "CdcManuelSettingJob", true, CdcStoreThreshold, 2, {0, 0, 0, 0, -4, -4, 0},
            false, [](BaseDevice* d) { asSensor(d)->saveCdcThreshold(1500); }),
    };
    return cases;
}

struct MatrixCase
{
    size_t job;
    Fault fault;
};

void PrintTo(const MatrixCase& c, std::ostream* out)
{
    *out << jobCases()[c.job].label << "/" << faultName(c.fault);
}

std::vector<MatrixCase> allCases()
{
    std::vector<MatrixCase> cases;
    for (size_t job = 0; job < jobCases().size(); ++job) {
        for (Fault fault :
             {Fault::NoAnswer, Fault::WrongAnswerCode, Fault::WrongOptionId, Fault::LateAnswer,
              Fault::UnplugAtFirstPacket, Fault::UnplugAtMiddlePacket, Fault::UnplugAtLastPacket}) {
            cases.push_back({job, fault});
        }
    }
    return cases;
}

class FaultMatrix : public SimHarness, public ::testing::WithParamInterface<MatrixCase>
{
};

} // namespace

TEST_P(FaultMatrix, EveryJobEndsWithAResult)
{
    const JobCase& job = jobCases()[GetParam().job];
    const Fault fault = GetParam().fault;

    std::shared_ptr<SimInstrument> instrument =
        SimInstrumentFactory::create(job.sensor ? SimKind::AcousticSensor : SimKind::ControlUnit);
    instrument->setLog(SimProtocol::Bytes(2500, uint8_t('L')));
    QSharedPointer<BaseDevice> device = plugAndSettle(instrument);
    ASSERT_TRUE(device);
    // The sensor's own reads at construction are quiet: let them finish before the traffic is counted.
    ASSERT_TRUE(QTest::qWaitFor([&] { return instrument->queuedInPackets() == 0; }, 20000));
    QTest::qWait(20);

    SimFaults& faults = instrument->faults();
    switch (fault) {
    case Fault::NoAnswer:
        faults.noAnswerTo(job.keyCommand);
        break;
    case Fault::WrongAnswerCode:
        faults.wrongAnswerCode(job.keyCommand, 0xDEAD);
        break;
    case Fault::WrongOptionId:
        for (quint32 id : {0x10000000u, 0x10000001u, 0x10000002u, 0x10000003u, 0x10000004u}) {
            faults.wrongOptionId(id, id + 0x100);
        }
        break;
    case Fault::LateAnswer:
        faults.lateAnswerTo(job.keyCommand, std::chrono::milliseconds(80));
        break;
    case Fault::UnplugAtFirstPacket:
        faults.unplugAfterPackets(1);
        break;
    case Fault::UnplugAtMiddlePacket:
        faults.unplugAfterPackets(std::max<size_t>(1, job.packets / 2));
        break;
    case Fault::UnplugAtLastPacket:
        faults.unplugAfterPackets(job.packets);
        break;
    }
    const bool unplug = fault == Fault::UnplugAtFirstPacket || fault == Fault::UnplugAtMiddlePacket ||
                        fault == Fault::UnplugAtLastPacket;

    QSignalSpy disconnected(device.data(), &BaseDevice::disconnected);
    QSignalSpy removed(manager(), &UsbManager::deviceRemoved);
    const QString finishedLine = QStringLiteral("Job %1 {").arg(QString::fromLatin1(job.jobName));
    const int finishedBefore = log().count(finishedLine);
    job.start(device.data());

    // The worker's line "Job <name> {id} finished with result <message> (<code>) after <n>ms" is
    // written for quiet and loud jobs alike.
    ASSERT_TRUE(QTest::qWaitFor([&] { return log().count(finishedLine) > finishedBefore; }, 45000))
        << "job did not finish";
    // The run's own line (earlier runs of the same job wrote theirs before).
    const QStringList lines = log().lines();
    int seen = 0;
    QRegularExpressionMatch result;
    for (const QString& line : lines) {
        if (line.contains(finishedLine) && line.contains("finished with result") &&
            seen++ == finishedBefore) {
            result = QRegularExpression("finished with result (.*) \\((-?\\d+)\\) after").match(line);
        }
    }
    ASSERT_TRUE(result.hasMatch());
    const int code = result.captured(2).toInt();
    EXPECT_EQ(code, job.expected[size_t(fault)]);
    if (code < 0 && job.explainsFailure) {
        EXPECT_FALSE(result.captured(1).isEmpty()) << "a failure without a message for the user";
    }

    if (unplug) {
        // The device notices, reports disconnected() once, and the discovery lets go of it.
        ASSERT_TRUE(QTest::qWaitFor([&] { return removed.count() > 0; }, 10000));
        EXPECT_EQ(disconnected.count(), 1);
        EXPECT_TRUE(manager()->addresses().isEmpty());
        QPointer<BaseDevice> watch(device.data());
        device.reset();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                flushDeletes();
                return watch.isNull();
            },
            10000));
        // No job, worker or device object left behind (sensor jobs went with their sensor).
        EXPECT_EQ(BaseDevice::liveCount(), 0);
        EXPECT_EQ(Worker::liveCount(), 0);
        EXPECT_EQ(AbstractJob::liveCount(), 0);

        // Plugged back in: a later poll finds it.
        faults.clear();
        QSharedPointer<BaseDevice> again = plugAndSettle(instrument);
        ASSERT_TRUE(again);
        EXPECT_TRUE(again->isConnected());
        return;
    }

    // Not unplugged: the device stays usable once the instrument behaves again.
    faults.clear();
    if (!job.sensor && job.keyCommand != Reboot && job.keyCommand != FactoryReset &&
        job.keyCommand != SetOption) {
        ASSERT_TRUE(waitIdle(device));
        QTest::qWait(150); // let late answers arrive and be discarded by the next exchanges
        ASSERT_TRUE(device->isConnected());
        EXPECT_EQ(device->pendingJobCount(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(AllJobs, FaultMatrix, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<MatrixCase>& info) {
                             return std::string(jobCases()[info.param.job].label) + "_" +
                                    faultName(info.param.fault);
                         });
