// service-cli calibrate against a simulated acoustic sensor: the production sweep, the threshold the
// sensor stores, and a sensor that never switches. Full sweeps take seconds each.
#include "app/cli/cliexitcode.h"
#include "clifixture.h"
#include "devices/cdcthreshold.h"
#include "sim/simacousticsensor.h"
#include "sim/simprotocol.h"

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

TEST_F(CliCalibrate, ASensorThatNeverSwitchesStoresNothing)
{
    auto sensor = plugAcousticSensor();
    sensor->setTouchOverride(true); // a hand on the sensor the whole sweep
    const uint32_t before = sensor->storedRawThreshold();
    const CliRun run = this->run({"calibrate", "--json"});
    EXPECT_EQ(run.code, int(CliExitCode::InstrumentFailed)) << run.context();
    EXPECT_EQ(run.json().value("result").toInt(), -100);
    EXPECT_EQ(sensor->storedRawThreshold(), before);
    EXPECT_EQ(sensor->countReceived(SimProtocol::CdcStoreThreshold), 0u);
}

} // namespace
