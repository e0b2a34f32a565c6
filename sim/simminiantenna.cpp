#include "sim/simminiantenna.h"

#include "sim/simdefaults.h"

SimMiniAntenna::SimMiniAntenna(SimFirmware firmware)
    : SimInstrument("Vectaris Mini Antenna", SimUsbIdentity(0x2952, 0x0007), firmware)
{
    defineOptions(SimDefaults::locatorSensor());
    defineIdentity("PCB-VMA-0003001", "VMA", "A", "VMA-22-00201");
}
