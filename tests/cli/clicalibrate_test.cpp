// service-cli calibrate against a simulated acoustic sensor: the production sweep, the threshold the
// sensor stores and reads back. A sensor that never switches is the device layer's case (touchsensor).
// Full sweeps take seconds each.
#include "app/cli/cliexitcode.h"
#include "clifixture.h"
#include "devices/cdcthreshold.h"
#include "sim/simacousticsensor.h"
#include "sim/simprotocol.h"

#include <QTranslator>

#include <functional>

namespace {

struct Sweep
{
    SimAcousticSensor::Generation generation;
    int rising;
    int falling;
};

class CliCalibrate : public CliFixture
{
};

TEST_F(CliCalibrate, StoresTheUpperEdgeOfTheSwitchingRegion)
{
    for (const Sweep& sweep : {Sweep{SimAcousticSensor::Generation::First, 1000, 980},
                               Sweep{SimAcousticSensor::Generation::Second, 2210, 2150}}) {
        auto sensor = std::make_shared<SimAcousticSensor>(sweep.generation);
        sensor->setSwitchingPoints(sweep.rising, sweep.falling);
        plug(sensor);
        const CliRun run = this->run({"calibrate", "--json", "--wait", "5"});
        ASSERT_EQ(run.code, 0) << run.context();
        const QJsonObject json = run.json();
        EXPECT_EQ(json.value("switchingPoint").toInt(), sweep.rising);
        EXPECT_EQ(sensor->storedRawThreshold(), CdcThreshold::toRaw(sweep.rising));
        EXPECT_EQ(json.value("storedThreshold").toInt(),
                  CdcThreshold::toSensitivity(sensor->storedRawThreshold()));
        EXPECT_EQ(json.value("calibratedThreshold").toInt(), sweep.rising);
        bus().unplug(sensor);
        ASSERT_TRUE(waitServingNone());
    }
}

// The job's step texts in another language, as a translated build shows them.
class OtherLanguage : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        return QLatin1String(context) == QLatin1String("CdcCalibrationJob")
                   ? QStringLiteral("~") + QLatin1String(source)
                   : QString();
    }
};

struct ReadBack
{
    const char* what;
    std::function<void(SimAcousticSensor&)> arm;
    bool translated;
    int exitCode;
};

TEST_F(CliCalibrate, ReportsWhatTheSensorReadsBackOrFails)
{
    const quint32 calibratedId = 0x2000000A;
    const ReadBack cases[] = {
        {"steps in another language", [](SimAcousticSensor&) {}, true, 0},
        {"stored threshold unanswered",
         [](SimAcousticSensor& sensor) { sensor.faults().noAnswerTo(SimProtocol::CdcGetThreshold); }, false,
         int(CliExitCode::InstrumentFailed)},
        {"calibrated threshold answered for another id",
         [&](SimAcousticSensor& sensor) { sensor.faults().wrongOptionId(calibratedId, calibratedId + 1); },
         false, int(CliExitCode::InstrumentFailed)},
    };
    for (const ReadBack& readBack : cases) {
        auto sensor = std::make_shared<SimAcousticSensor>(SimAcousticSensor::Generation::First);
        sensor->setSwitchingPoints(1500, 1480);
        readBack.arm(*sensor);
        plug(sensor);
        OtherLanguage translator;
        if (readBack.translated) {
            QCoreApplication::installTranslator(&translator);
        }
        const CliRun run = this->run({"calibrate", "--json", "--wait", "5"});
        QCoreApplication::removeTranslator(&translator);
        EXPECT_EQ(run.code, readBack.exitCode) << readBack.what << run.context();
        const QJsonObject json = run.json();
        EXPECT_EQ(json.value("switchingPoint").toInt(), 1500) << readBack.what;
        EXPECT_EQ(sensor->storedRawThreshold(), CdcThreshold::toRaw(1500)) << readBack.what;
        if (readBack.exitCode != 0) {
            EXPECT_TRUE(json.value("error").toString().contains("read back")) << readBack.what;
            EXPECT_FALSE(json.contains("storedThreshold")) << readBack.what; // no value from before
        } else {
            EXPECT_EQ(json.value("calibratedThreshold").toInt(), 1500) << readBack.what;
        }
        bus().unplug(sensor);
        ASSERT_TRUE(waitServingNone());
    }
}

} // namespace
