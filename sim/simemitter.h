#pragma once

#include "sim/siminstrument.h"

// The cable-locating set's emitter (0x2952:0x0008); it keeps the control unit's option and user-setting
// tables.
class SimEmitter : public SimInstrument
{
public:
    explicit SimEmitter(SimFirmware firmware = SimFirmware::Current);
};
