#include "firmware/firmwarechecksum.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

// The checksum as the instrument's boot loader defines it, bit by bit.
quint32 bitwiseJamCrc(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return crc;
}

TEST(FirmwareChecksum, KnownValues)
{
    EXPECT_EQ(firmwareChecksum(QByteArray("abc")), 0xCADBBE3Du);
    EXPECT_EQ(firmwareChecksum(QByteArray("123456789")), 0x340BC6D9u);
    EXPECT_EQ(firmwareChecksum(QByteArray()), 0xFFFFFFFFu);
}

TEST(FirmwareChecksum, EqualsTheBitwiseDefinition)
{
    QRandomGenerator generator(42);
    for (int size : {1, 2, 3, 7, 8, 9, 63, 64, 65, 760, 761, 4099}) {
        QByteArray data(size, Qt::Uninitialized);
        for (char& byte : data) {
            byte = char(generator.bounded(256));
        }
        EXPECT_EQ(firmwareChecksum(data), bitwiseJamCrc(data)) << size;
        EXPECT_EQ(firmwareChecksum(data.constData() + 1, size - 1), bitwiseJamCrc(data.mid(1))) << size;
    }
}

TEST(ContainerChecksum, EqualsQtChecksum)
{
    EXPECT_EQ(containerChecksum("123456789", 9), 0x906E);
    EXPECT_EQ(containerChecksum(nullptr, 0), qChecksum(nullptr, 0));
    QRandomGenerator generator(7);
    for (int size = 1; size < 70; ++size) {
        QByteArray data(size, Qt::Uninitialized);
        for (char& byte : data) {
            byte = char(generator.bounded(256));
        }
        EXPECT_EQ(containerChecksum(data.constData(), size), qChecksum(data.constData(), uint(size))) << size;
    }
    const QByteArray large(100003, '\x5A');
    EXPECT_EQ(containerChecksum(large.constData(), large.size()),
              qChecksum(large.constData(), uint(large.size())));
}

} // namespace
