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

using CliCalibrate = CliFixture;

// The job's step texts in another language, as a translated build shows them.
class OtherLanguage : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        return QLatin1String(context) == "CdcCalibrationJob" ? "~" + QLatin1String(source) : QString();
    }
};

// Each generation stores the upper edge of its switching region; what the sensor reads back afterwards
// is reported, and a read-back that fails is a failure without a value from before.
TEST_F(CliCalibrate, StoresTheUpperEdgeAndReportsWhatTheSensorReadsBack)
{
    const quint32 calibratedId = 0x2000000A;
    const struct
    {
        const char* what;
        SimAcousticSensor::Generation generation;
        int rising;
        bool translated = false;
        int exitCode = 0;
        std::function<void(SimAcousticSensor&)> arm = {};
    } cases[] = {
        {"first generation", SimAcousticSensor::Generation::First, 1000},
        {"second generation, steps in another language", SimAcousticSensor::Generation::Second, 2210, true},
        {"stored threshold unanswered", SimAcousticSensor::Generation::First, 1500, false,
         int(CliExitCode::InstrumentFailed),
         [](SimAcousticSensor& sensor) { sensor.faults().noAnswerTo(SimProtocol::CdcGetThreshold); }},
        {"calibrated threshold answered for another id", SimAcousticSensor::Generation::First, 1500, false,
         int(CliExitCode::InstrumentFailed),
         [&](SimAcousticSensor& sensor) { sensor.faults().wrongOptionId(calibratedId, calibratedId + 1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto sensor = std::make_shared<SimAcousticSensor>(c.generation);
        sensor->setSwitchingPoints(c.rising, c.rising - 20);
        if (c.arm) {
            c.arm(*sensor);
        }
        plug(sensor);
        OtherLanguage translator;
        if (c.translated) {
            QCoreApplication::installTranslator(&translator);
        }
        const CliRun run = this->run({"calibrate", "--json", "--wait", "5"});
        QCoreApplication::removeTranslator(&translator);
        ASSERT_EQ(run.code, c.exitCode) << run.context();
        const QJsonObject json = run.json();
        EXPECT_EQ(json.value("switchingPoint").toInt(), c.rising);
        EXPECT_EQ(sensor->storedRawThreshold(), CdcThreshold::toRaw(c.rising));
        if (c.exitCode != 0) {
            EXPECT_TRUE(json.value("error").toString().contains("read back"));
            EXPECT_FALSE(json.contains("storedThreshold")); // no value from before
        } else {
            EXPECT_EQ(json.value("storedThreshold").toInt(),
                      CdcThreshold::toSensitivity(sensor->storedRawThreshold()));
            EXPECT_EQ(json.value("calibratedThreshold").toInt(), c.rising);
        }
        bus().unplug(sensor);
        ASSERT_TRUE(waitServingNone());
    }
}

} // namespace
