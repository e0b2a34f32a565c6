#include "sim/simemitter.h"

#include "sim/simdefaults.h"

SimEmitter::SimEmitter(SimFirmware firmware)
    : SimInstrument("Vectaris Emitter", SimUsbIdentity(0x2952, 0x0008), firmware)
{
    defineOptions(SimDefaults::controlUnit());
    defineIdentity("PCB-VE-0004001", "VE", "B", "VE-22-00301");
}
