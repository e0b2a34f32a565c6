#pragma once

#include <cstdint>
#include <optional>

// The acoustic sensor's capacitive touch detector. The threshold is posted as a raw word
// (sensitivity x 524287). With nothing near the sensor the detector reads untouched at high
// thresholds and touched at low ones, with hysteresis: from touched it changes to untouched once the
// threshold rises to the rising switching point (1000), from untouched back to touched once it falls
// to the falling point (980). The state word is 0 for touched and 1 for untouched. Not thread-safe:
// its owner guards it.
class SimTouchDetector
{
public:
    SimTouchDetector(int risingPoint = 1000, int fallingPoint = 980);

    void setSwitchingPoints(int risingPoint, int fallingPoint);
    void postRawThreshold(uint32_t raw);
    uint32_t rawThreshold() const { return m_raw; }
    // A hand on the sensor (true), one taken away (false), or back to the threshold rule (nullopt).
    void setTouchOverride(std::optional<bool> touched) { m_override = touched; }
    bool touched() const;
    uint32_t stateWord() const { return touched() ? 0u : 1u; }

private:
    int m_rising;
    int m_falling;
    uint32_t m_raw = 0;
    bool m_touched = true;
    std::optional<bool> m_override;
};
