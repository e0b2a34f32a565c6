#pragma once

#include <QMetaEnum>
#include <QObject>

// Storage ids that every instrument kind knows (0x10000000 and up).
class StorageIDs_general
{
    Q_GADGET

public:
    enum class Options : quint32
    {
        e_sid_None = 0x00000000,
        e_sid_PcbSerialNumber = 0x10000000,
        e_sid_DeviceType = 0x10000001,
        e_sid_HardwareRevision = 0x10000002,
        e_sid_TestResults = 0x10000003,
        e_sid_DeviceSerialNumber = 0x10000004,
        e_sid_general_Last = 0x10000005,
    };
    Q_ENUM(Options)
};
