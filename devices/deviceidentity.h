#pragma once

#include <QMetaType>
#include <QString>

// Who a connected instrument says it is, as one identity read returns it. The system id is derived from
// the chip id (BaseDevice::systemIdFromChipId). Name and picture are not part of it: they belong to the
// kind and never change.
struct DeviceIdentity
{
    QString serial;
    QString pcbSerial;
    QString softwareVersion;
    QString chipId;
    QString systemId;
    QString deviceType;
    QString hardwareRevision;
    bool updateRequired = false;

    bool operator==(const DeviceIdentity& other) const;
    bool operator!=(const DeviceIdentity& other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(DeviceIdentity)
