#include "sim/simupdateonlyboard.h"

#include "sim/simdefaults.h"

SimUpdateOnlyBoard::SimUpdateOnlyBoard(SimFirmware firmware)
    : SimInstrument("Updateonly", SimUsbIdentity(0x2952, 0xFFFF), firmware)
{
    defineIdentity("PCB-UO-0005001", "UO", "A", "UO-00001");
}
