#pragma once

#include "sim/simprotocol.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Factory option values per instrument kind, with the value layouts real units use: Latin-1 texts
// for identity, 32-bit integers for switches and counters, single floats for analogue calibrations
// and 32-byte records (int32, six floats, int32) for the locator calibrations. Ids come from the
// storage-id catalogue; terminators and e_sid_None name no stored value and are left out.
namespace SimDefaults {

using Bytes = SimProtocol::Bytes;
using OptionList = std::vector<std::pair<uint32_t, Bytes>>;

struct Identity
{
    std::string pcbSerial;
    std::string deviceType;
    std::string hardwareRevision;
    std::string deviceSerial;
};

constexpr uint32_t PcbSerialNumber = 0x10000000;
constexpr uint32_t DeviceType = 0x10000001;
constexpr uint32_t HardwareRevision = 0x10000002;
constexpr uint32_t TestResults = 0x10000003;
constexpr uint32_t DeviceSerialNumber = 0x10000004;

OptionList general(const Identity& identity);
OptionList controlUnit();
OptionList acousticSensor();
OptionList locatorSensor();

Bytes locatorCalibration(int32_t frequency, const float (&gains)[6], int32_t flags);

} // namespace SimDefaults
