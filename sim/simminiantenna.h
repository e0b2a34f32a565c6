#pragma once

#include "sim/siminstrument.h"

// The cable-locating set's mini antenna (0x2952:0x0007); it keeps the locator's calibration table.
class SimMiniAntenna : public SimInstrument
{
public:
    explicit SimMiniAntenna(SimFirmware firmware = SimFirmware::Current);
};
