#pragma once

#include "sim/siminstrument.h"

// The bare update-only circuit board (0x2952:0xFFFF): identity, log and firmware receiver only.
class SimUpdateOnlyBoard : public SimInstrument
{
public:
    explicit SimUpdateOnlyBoard(SimFirmware firmware = SimFirmware::Current);
};
