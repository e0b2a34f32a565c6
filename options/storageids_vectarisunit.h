#pragma once

#include <QMetaEnum>
#include <QObject>

// Storage ids of the locator sensor and the mini antenna: calibration constants at 0x21100000 + frequency in
// Hz. The 19000 Hz key stands after the 32768 Hz one, on purpose: listings keep this order.
class StorageIDs_VectarisUnit
{
    Q_GADGET

public:
    enum class Options : quint32
    {
        e_sid_vcs_obsolete_calibration_50Hz = 0x20000000,
        e_sid_vcs_obsolete_calibration_60Hz = 0x20000001,
        e_sid_vcs_obsolete_calibration_100Hz = 0x20000002,
        e_sid_vcs_obsolete_calibration_120Hz = 0x20000003,
        e_sid_vcs_obsolete_calibration_491Hz = 0x20000004,
        e_sid_vcs_obsolete_calibration_512Hz = 0x20000005,
        e_sid_vcs_obsolete_calibration_640Hz = 0x20000006,
        e_sid_vcs_obsolete_calibration_982Hz = 0x20000007,
        e_sid_vcs_obsolete_calibration_1090Hz = 0x20000008,
        e_sid_vcs_obsolete_calibration_8440Hz = 0x20000009,
        e_sid_vcs_obsolete_calibration_9800Hz = 0x2000000A,
        e_sid_vcs_obsolete_calibration_9820Hz = 0x2000000B,
        e_sid_vcs_obsolete_calibration_32768Hz = 0x2000000C,
        e_sid_vcs_obsolete_calibration_19000Hz = 0x2000000D,
        e_sid_vcs_calibration_0Hz = 0x21100000,
        e_sid_vcs_calibration_50Hz = 0x21100032,
        e_sid_vcs_calibration_60Hz = 0x2110003C,
        e_sid_vcs_calibration_100Hz = 0x21100064,
        e_sid_vcs_calibration_120Hz = 0x21100078,
        e_sid_vcs_calibration_150Hz = 0x21100096,
        e_sid_vcs_calibration_180Hz = 0x211000B4,
        e_sid_vcs_calibration_480Hz = 0x211001E0,
        e_sid_vcs_calibration_491Hz = 0x211001EB,
        e_sid_vcs_calibration_512Hz = 0x21100200,
        e_sid_vcs_calibration_640Hz = 0x21100280,
        e_sid_vcs_calibration_982Hz = 0x211003D6,
        e_sid_vcs_calibration_1090Hz = 0x21100442,
        e_sid_vcs_calibration_8440Hz = 0x211020F8,
        e_sid_vcs_calibration_9800Hz = 0x21102648,
        e_sid_vcs_calibration_9820Hz = 0x2110265C,
        e_sid_vcs_calibration_32768Hz = 0x21108000,
        e_sid_vcs_calibration_19000Hz = 0x21104A38,
        e_sid_vcs_calibration_Last = 0x21109C40,
        e_sid_vcs_Last = 0x21109C41,
    };
    Q_ENUM(Options)
};
