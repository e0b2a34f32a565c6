#include "firmwarechecksum.h"

#include <zlib.h>

quint32 firmwareChecksum(const char* data, qsizetype length)
{
    const quint32 crc = quint32(crc32_z(0, reinterpret_cast<const Bytef*>(data), size_t(length)));
    return ~crc;
}

quint32 firmwareChecksum(const QByteArray& data)
{
    return firmwareChecksum(data.constData(), data.size());
}
