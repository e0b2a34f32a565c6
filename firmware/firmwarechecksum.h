#pragma once

#include <QByteArray>
#include <QtGlobal>

// The image checksum announced to the instrument before a firmware transfer: CRC-32 (reflected polynomial
// 0xEDB88320, initial value 0xFFFFFFFF) without the final inversion, also known as JAMCRC. It is the
// bitwise complement of zlib's crc32, which does the work here.
quint32 firmwareChecksum(const char* data, qsizetype length);
quint32 firmwareChecksum(const QByteArray& data);
