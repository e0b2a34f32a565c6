#pragma once

#include "sim/siminstrument.h"

#include <memory>

// Every instrument the bus can present: the seven kinds the tool knows, a product of an accepted
// vendor that the tool does not know, and a device of a foreign vendor.
enum class SimKind
{
    ControlUnit,     // 0x1E84:0x3000
    AcousticSensor,  // 0x1E84:0x3001
    LocatorSensor,   // 0x2952:0x0004
    MiniAntenna,     // 0x2952:0x0007
    Emitter,         // 0x2952:0x0008
    AcousticSensor2, // 0x2952:0x000B
    UpdateOnly,      // 0x2952:0xFFFF
    UnknownProduct,  // 0x2952:0x0005
    ForeignVendor    // 0x046D:0xC077
};

class SimInstrumentFactory
{
public:
    static std::shared_ptr<SimInstrument> create(SimKind kind, SimFirmware firmware = SimFirmware::Current);
};
