#include "firmwarechecksum.h"

#include <zlib.h>

#include <array>

namespace {
// kTables[k][b]: the CRC-16/X-25 register contribution of byte b followed by k zero bytes.
using CrcTables = std::array<std::array<quint16, 256>, 8>;

CrcTables makeTables()
{
    CrcTables tables{};
    for (int b = 0; b < 256; ++b) {
        quint16 crc = quint16(b);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? quint16((crc >> 1) ^ 0x8408u) : quint16(crc >> 1);
        }
        tables[0][size_t(b)] = crc;
    }
    for (size_t k = 1; k < tables.size(); ++k) {
        for (size_t b = 0; b < 256; ++b) {
            const quint16 previous = tables[k - 1][b];
            tables[k][b] = quint16((previous >> 8) ^ tables[0][previous & 0xFFu]);
        }
    }
    return tables;
}
} // namespace

quint32 firmwareChecksum(const char* data, qsizetype length)
{
    const quint32 crc = quint32(crc32_z(0, reinterpret_cast<const Bytef*>(data), size_t(length)));
    return ~crc;
}

quint32 firmwareChecksum(const QByteArray& data)
{
    return firmwareChecksum(data.constData(), data.size());
}

quint16 containerChecksum(const char* data, qsizetype length)
{
    static const CrcTables t = makeTables();
    const auto* bytes = reinterpret_cast<const quint8*>(data);
    quint16 crc = 0xFFFF;
    qsizetype i = 0;
    for (; i + 8 <= length; i += 8) {
        const quint16 low = quint16(crc ^ (bytes[i] | (bytes[i + 1] << 8)));
        crc = quint16(t[7][low & 0xFFu] ^ t[6][low >> 8] ^ t[5][bytes[i + 2]] ^ t[4][bytes[i + 3]] ^
                      t[3][bytes[i + 4]] ^ t[2][bytes[i + 5]] ^ t[1][bytes[i + 6]] ^ t[0][bytes[i + 7]]);
    }
    for (; i < length; ++i) {
        crc = quint16((crc >> 8) ^ t[0][(crc ^ bytes[i]) & 0xFFu]);
    }
    return quint16(~crc);
}
