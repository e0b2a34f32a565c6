#pragma once

#include "sim/siminstrument.h"
#include "sim/simtouchdetector.h"

// The acoustic pinpointing sensor, first generation (0x1E84:0x3001) or second (0x2952:0x000B), with
// its touch detector: a posted threshold is the working value, the store command makes it the stored
// one (option e_sid_su_TouchProtectThreshold, raw word), and a reboot falls back to the stored one.
class SimAcousticSensor : public SimInstrument
{
public:
    enum class Generation
    {
        First,
        Second
    };

    explicit SimAcousticSensor(Generation generation = Generation::First,
                               SimFirmware firmware = SimFirmware::Current);

    // Test access to the detector (switching points, a hand on the sensor).
    void setSwitchingPoints(int risingPoint, int fallingPoint);
    void setTouchOverride(std::optional<bool> touched);
    uint32_t postedRawThreshold() const;
    uint32_t storedRawThreshold() const;
    bool touched() const;

protected:
    bool handleKindCommand(uint32_t command, const Bytes& packet, Clock::time_point now) override;
    void onReboot() override;
    void onFactoryReset() override;

private:
    uint32_t storedRaw() const;

    SimTouchDetector m_detector;
};
