#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The instruments' side of the request/answer protocol, written down independently of the tool so that
// a wrong constant on either side shows up as a failing test. Every number on the wire is a 32-bit
// little-endian word; an answer's code is the request's code + 1, except the firmware verify request
// 257, which is answered by 260.
namespace SimProtocol {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t GetSoftwareVersion = 1;
constexpr uint32_t SoftwareVersionAnswer = 2;
constexpr uint32_t GetHardwareRevision = 5;
constexpr uint32_t HardwareRevisionAnswer = 6;
constexpr uint32_t GetSerialNumber = 7;
constexpr uint32_t SerialNumberAnswer = 8;
constexpr uint32_t ReadLog = 11;
constexpr uint32_t LogEnd = 12;
constexpr uint32_t DeleteLog = 13;
constexpr uint32_t GetOption = 21;
constexpr uint32_t OptionAnswer = 22;
constexpr uint32_t SetOption = 23;
constexpr uint32_t WriteOptions = 24;
constexpr uint32_t FirmwareStart = 256;
constexpr uint32_t FirmwareData = 257;
constexpr uint32_t FirmwareChecksum = 258;
constexpr uint32_t FirmwareVerifyAnswer = 260;
constexpr uint32_t FactoryReset = 264;
constexpr uint32_t GetChipId = 270;
constexpr uint32_t ChipIdAnswer = 271;
constexpr uint32_t Reboot = 275;
constexpr uint32_t ReadDataSets = 278;
constexpr uint32_t DataSetsEnd = 279;
constexpr uint32_t ClearDataSets = 280;
constexpr uint32_t CdcSetThreshold = 0x40002;
constexpr uint32_t CdcGetThreshold = 0x40004;
constexpr uint32_t CdcThresholdAnswer = 0x40005;
constexpr uint32_t CdcStoreThreshold = 0x40006;
constexpr uint32_t CdcGetState = 0x40007;
constexpr uint32_t CdcStateAnswer = 0x40008;

// The argument word both dataset commands carry.
constexpr uint32_t DataSetsArgument = 1026;
// Image bytes per firmware data packet, after the 8-byte [257][offset] header.
constexpr size_t FirmwareChunkSize = 760;
// Largest packet either direction carries: the bulk endpoints' maximum packet size.
constexpr size_t MaxPacketSize = 1024;
// One sensitivity step of the touch detector in raw threshold units.
constexpr uint32_t CdcRawPerStep = 524287;

inline void appendWord(Bytes& bytes, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(uint8_t(value >> shift));
    }
}

inline Bytes words(std::initializer_list<uint32_t> values)
{
    Bytes bytes;
    for (uint32_t value : values) {
        appendWord(bytes, value);
    }
    return bytes;
}

// The word at byte `offset`; bytes beyond the end count as 0.
inline uint32_t wordAt(const Bytes& bytes, size_t offset)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        if (offset + i < bytes.size()) {
            value |= uint32_t(bytes[offset + i]) << (8 * i);
        }
    }
    return value;
}

// CRC-32 over `bytes`, least significant bit first, polynomial 0xEDB88320, start 0xFFFFFFFF and no final
// inversion: the complement of the common CRC-32.
inline uint32_t jamCrc(const uint8_t* bytes, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return crc;
}

} // namespace SimProtocol
