#include "devices/deviceidentity.h"

bool DeviceIdentity::operator==(const DeviceIdentity& other) const
{
    return serial == other.serial && pcbSerial == other.pcbSerial &&
           softwareVersion == other.softwareVersion && chipId == other.chipId && systemId == other.systemId &&
           deviceType == other.deviceType && hardwareRevision == other.hardwareRevision &&
           updateRequired == other.updateRequired;
}
