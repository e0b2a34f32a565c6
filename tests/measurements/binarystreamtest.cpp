#include "measurements/binarystream.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

TEST(BinaryStream, ReadsLittleEndianValuesAndFailsAllOrNothing)
{
    QByteArray bytes = QByteArray::fromHex("78563412"
                                           "0000c03f"
                                           "0102030405060708"
                                           "ff"
                                           "aabbcc");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    BinaryStream stream(&buffer);
    quint32 word = 0;
    float real = 0;
    quint64 longWord = 0;
    quint8 byte = 0;
    stream >> word >> real >> longWord >> byte;
    EXPECT_EQ(stream.status(), BinaryStream::Ok);
    EXPECT_EQ(word, 0x12345678u);
    EXPECT_EQ(real, 1.5f);
    EXPECT_EQ(longWord, 0x0807060504030201ull);
    EXPECT_EQ(byte, 0xFF);

    // Three bytes remain: a 4-byte read fails and reads nothing; a later read that fits succeeds, but
    // the failure stays recorded.
    word = 7;
    stream >> word;
    EXPECT_EQ(stream.status(), BinaryStream::ReadPastEnd);
    EXPECT_EQ(word, 7u);
    EXPECT_EQ(stream.pos(), 17);
    stream >> byte;
    EXPECT_EQ(byte, 0xAA);
    EXPECT_EQ(stream.status(), BinaryStream::ReadPastEnd);

    // Only a seek clears the status; seeking past the end does not move.
    EXPECT_FALSE(stream.seek(100));
    EXPECT_EQ(stream.pos(), 18);
    EXPECT_TRUE(stream.seek(18));
    EXPECT_EQ(stream.status(), BinaryStream::Ok);
    stream >> byte;
    EXPECT_EQ(byte, 0xBB);
    EXPECT_TRUE(stream.seek(20)); // the end itself is a valid position
    char c;
    EXPECT_EQ(stream.read(&c, 1), -1);
}

TEST(BinaryStream, ReportsMissingOrClosedDevice)
{
    BinaryStream none(nullptr);
    EXPECT_EQ(none.status(), BinaryStream::DeviceNotOpen);
    EXPECT_EQ(none.pos(), 0);
    EXPECT_FALSE(none.seek(0));

    QByteArray bytes("abcd");
    QBuffer buffer(&bytes);
    BinaryStream closed(&buffer);
    EXPECT_EQ(closed.status(), BinaryStream::DeviceNotOpen);
    buffer.open(QIODevice::ReadOnly);
    buffer.close();
    char c;
    EXPECT_EQ(closed.read(&c, 1), -1);
    EXPECT_EQ(closed.status(), BinaryStream::DeviceNotOpen);

    QByteArray empty;
    QBuffer emptyBuffer(&empty);
    emptyBuffer.open(QIODevice::ReadOnly);
    BinaryStream onEmpty(&emptyBuffer);
    EXPECT_EQ(onEmpty.read(&c, 0), -1);
    EXPECT_EQ(onEmpty.status(), BinaryStream::ReadPastEnd);
}

} // namespace
