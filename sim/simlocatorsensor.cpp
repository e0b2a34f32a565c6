#include "sim/simlocatorsensor.h"

#include "sim/simdefaults.h"

SimLocatorSensor::SimLocatorSensor(SimFirmware firmware)
    : SimInstrument("Vectaris Sensor", SimUsbIdentity(0x2952, 0x0004), firmware)
{
    defineOptions(SimDefaults::locatorSensor());
    defineIdentity("PCB-VS-0002001", "VS", "A", "VS-22-00101");
}
