#pragma once

#include <QMetaEnum>
#include <QObject>

// Storage ids of both acoustic sensor generations.
class StorageIDs_SensorUnit
{
    Q_GADGET

public:
    enum class Options : quint32
    {
        e_sid_su_sp_Calibration_Acoustic = 0x20000000,
        e_sid_su_sp_Calibration_Magnetic1_HighGain = 0x20000001,
        e_sid_su_sp_Calibration_Magnetic1_LowGain = 0x20000002,
        e_sid_su_sp_Calibration_Magnetic2 = 0x20000003,
        e_sid_su_TouchProtectThreshold = 0x20000004,
        e_sid_su_HeadphoneLimiter_Threshold = 0x20000005,
        e_sid_su_HeadphoneLimiter_Max = 0x20000006,
        e_sid_su_TouchProtectOffset = 0x20000007,
        e_sid_su_TouchProtectRangeMin = 0x20000008,
        e_sid_su_TouchProtectRangeMax = 0x20000009,
        e_sid_su_TouchProtect_Calibrated = 0x2000000A,
        e_sid_su2_sp_Calibration_Acoustic = 0x2000000B,
        e_sid_su2_sp_Calibration_Magnetic1 = 0x2000000C,
        e_sid_su2_sp_Calibration_Magnetic2 = 0x2000000D,
        e_sid_su2_sp_Calibration_Magnetic3 = 0x2000000E,
        e_sid_su_sp_CoincidenceMode = 0x2000000F,
        e_sid_su_Last = 0x20000010,
    };
    Q_ENUM(Options)
};
