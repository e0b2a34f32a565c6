#include "sim/siminstrumentfactory.h"

#include "sim/simacousticsensor.h"
#include "sim/simcontrolunit.h"
#include "sim/simemitter.h"
#include "sim/simlocatorsensor.h"
#include "sim/simminiantenna.h"
#include "sim/simupdateonlyboard.h"

std::shared_ptr<SimInstrument> SimInstrumentFactory::create(SimKind kind, SimFirmware firmware)
{
    switch (kind) {
    case SimKind::ControlUnit:
        return std::make_shared<SimControlUnit>(firmware);
    case SimKind::AcousticSensor:
        return std::make_shared<SimAcousticSensor>(SimAcousticSensor::Generation::First, firmware);
    case SimKind::AcousticSensor2:
        return std::make_shared<SimAcousticSensor>(SimAcousticSensor::Generation::Second, firmware);
    case SimKind::LocatorSensor:
        return std::make_shared<SimLocatorSensor>(firmware);
    case SimKind::MiniAntenna:
        return std::make_shared<SimMiniAntenna>(firmware);
    case SimKind::Emitter:
        return std::make_shared<SimEmitter>(firmware);
    case SimKind::UpdateOnly:
        return std::make_shared<SimUpdateOnlyBoard>(firmware);
    case SimKind::UnknownProduct:
        return std::make_shared<SimInstrument>("unknown product", SimUsbIdentity(0x2952, 0x0005), firmware);
    case SimKind::ForeignVendor:
        return std::make_shared<SimInstrument>("foreign device", SimUsbIdentity(0x046D, 0xC077), firmware);
    }
    return nullptr;
}
