#pragma once

#include "sim/siminstrument.h"

// The cable-locating set's sensor (0x2952:0x0004), with one 32-byte calibration per signal frequency.
class SimLocatorSensor : public SimInstrument
{
public:
    explicit SimLocatorSensor(SimFirmware firmware = SimFirmware::Current);
};
