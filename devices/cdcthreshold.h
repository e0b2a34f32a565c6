#pragma once

#include <QtGlobal>

// Conversion between the touch detector's user-facing sensitivity (0..4095) and the raw threshold word
// the instrument takes.
namespace CdcThreshold {
constexpr quint32 kScale = 524287; // 0x7FFFF
constexpr double kInverseScale = 1.9073486337006784e-6;

inline quint32 toRaw(int sensitivity)
{
    return quint32(sensitivity) * kScale;
}

inline int toSensitivity(quint32 raw)
{
    return int(raw * kInverseScale + 0.5);
}
} // namespace CdcThreshold
