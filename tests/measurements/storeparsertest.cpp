#include "measurements/parsedatasetrecords.h"

#include "sim/datasetstoreimage.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using Image = DatasetStoreImage;

Image::Point point(float depth, quint8 valid = 1)
{
    Image::Point p;
    p.maxCoil = 1.25f;
    p.minCoil = -3.5f;
    p.depth = depth;
    p.amperage = 0.75f;
    p.valid = valid;
    p.frequency = 0xFFFFFFFFu;
    p.modeLevel = 2;
    p.azimuth = 271.5f;
    p.zenit = -12;
    p.hazeLevel = 0.125f;
    p.sisValue = 1e6f;
    p.gpsText = "$GPRMC,124512.000,A,4807.038,N,01131.000,E,0.0,0.0,010519,,,A";
    p.filler = 0xEE;
    return p;
}

Image::Series series(const QByteArray& text, QList<Image::Point> points)
{
    Image::Series s;
    s.text = text;
    s.points = points;
    s.headerWord = 0xA1A2A3A4u;
    s.headerLongWord = 0xB1B2B3B4B5B6B7B8ull;
    return s;
}

void setWord(QByteArray& image, int at, quint32 value)
{
    qToLittleEndian(value, image.data() + at);
}

QList<float> depths(const DatasetRecord& record)
{
    QList<float> result;
    for (const DataPointRecord& p : record.points)
        result.append(p.depth);
    return result;
}

TEST(StoreParser, ReadsEverySlotAndFieldInOrder)
{
    Image image;
    image.series = {series("19-05-01 13:45", {point(1), point(2)}), series("Main street 5", {point(3)})};
    const QList<DatasetRecord> records = parseDatasetRecords(image.build());
    ASSERT_EQ(records.size(), 2);

    const DatasetRecord& first = records.at(0);
    EXPECT_EQ(first.headerWord, 0xA1A2A3A4u);
    EXPECT_EQ(first.headerLongWord, 0xB1B2B3B4B5B6B7B8ull);
    EXPECT_EQ(first.recordsLength, 288u);
    ASSERT_EQ(first.text.size(), 52);
    EXPECT_TRUE(first.text.startsWith(QStringLiteral("19-05-01 13:45")));
    EXPECT_EQ(first.text.at(51), QChar(0));
    EXPECT_EQ(depths(first), (QList<float>{1, 2}));

    const DataPointRecord& p = first.points.at(0);
    EXPECT_EQ(p.maxCoil, 1.25f);
    EXPECT_EQ(p.minCoil, -3.5f);
    EXPECT_EQ(p.amperage, 0.75f);
    EXPECT_EQ(p.valid, 1);
    EXPECT_EQ(p.reserved1, 0xEE);
    EXPECT_EQ(p.reserved3, 0xEE);
    EXPECT_EQ(p.frequency, 0xFFFFFFFFu);
    EXPECT_EQ(p.modeLevel, 2.0f);
    EXPECT_EQ(p.azimuth, 271.5f);
    EXPECT_EQ(p.zenit, -12.0f);
    EXPECT_EQ(p.hazeLevel, 0.125f);
    EXPECT_EQ(p.sisValue, 1e6f);
    EXPECT_EQ(p.reserved[0], 0xEE);
    EXPECT_EQ(p.reserved[15], 0xEE);
    ASSERT_EQ(p.gpsText.size(), 84);
    EXPECT_TRUE(p.gpsText.startsWith("$GPRMC,124512.000,A,4807.038"));
    EXPECT_EQ(p.gpsText.at(83), '\0');

    EXPECT_TRUE(records.at(1).text.startsWith(QStringLiteral("Main street 5")));
    EXPECT_EQ(depths(records.at(1)), QList<float>{3});
}

TEST(StoreParser, ImagesThatHoldNoStoreGiveNothing)
{
    EXPECT_TRUE(parseDatasetRecords(QByteArray()).isEmpty());
    Image image;
    image.series = {series("A", {point(1)})};
    const QByteArray good = image.build();
    EXPECT_TRUE(parseDatasetRecords(good.left(15)).isEmpty());
    EXPECT_EQ(parseDatasetRecords(good).size(), 1);

    image.version = 2;
    EXPECT_TRUE(parseDatasetRecords(image.build()).isEmpty());
    QByteArray beyond = good;
    setWord(beyond, 4, quint32(good.size() + 1)); // slot 0 starts beyond the image
    EXPECT_TRUE(parseDatasetRecords(beyond).isEmpty());
}

TEST(StoreParser, SkipsSlotsWithoutOrWithImpossibleRecordsLengthAndGoesOn)
{
    Image image;
    Image::Series empty = series("empty", {point(1)});
    empty.recordsLength = 0;
    Image::Series oversized = series("oversized", {point(2)});
    image.slotSize = Image::kSlotHeaderSize + 2 * Image::kPointSize;
    oversized.recordsLength = *image.slotSize + 1;
    image.series = {empty, oversized, series("kept", {point(3), point(4)})};
    const QList<DatasetRecord> records = parseDatasetRecords(image.build());
    ASSERT_EQ(records.size(), 1);
    EXPECT_TRUE(records.at(0).text.startsWith(QStringLiteral("kept")));
    EXPECT_EQ(depths(records.at(0)), (QList<float>{3, 4}));
}

TEST(StoreParser, InvalidRecordsAreSkippedAndTheNextIsStillRead)
{
    Image image;
    image.series = {series("t", {point(1, 0), point(2), point(3, 2), point(4), point(5, 0xFF)})};
    const QList<DatasetRecord> records = parseDatasetRecords(image.build());
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(depths(records.at(0)), (QList<float>{2, 4}));
}

TEST(StoreParser, RecordsLengthNotAMultipleOfTheRecordSizeReadsTheLastRecordInFull)
{
    Image image;
    Image::Series s = series("t", {point(1), point(2), point(3)});
    s.recordsLength = 144 + 1; // the second record starts before the end and is read in full
    image.series = {s};
    EXPECT_EQ(depths(parseDatasetRecords(image.build()).value(0)), (QList<float>{1, 2}));

    // The same, but the image ends inside that record: it is dropped, the slot is kept.
    const QByteArray truncated = image.build().left(16 + 68 + 144 + 143);
    const QList<DatasetRecord> records = parseDatasetRecords(truncated);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(depths(records.at(0)), QList<float>{1});
}

TEST(StoreParser, TruncationKeepsCompleteSlotsAndRecordsOnly)
{
    Image image;
    image.series = {series("a", {point(1), point(2)}), series("b", {point(3), point(4)})};
    const QByteArray full = image.build();
    const int slotSize = 68 + 2 * 144;

    // Cut inside the second slot's header: the slot is dropped.
    EXPECT_EQ(parseDatasetRecords(full.left(16 + slotSize + 67)).size(), 1);
    // Cut inside the second slot's second record: that slot keeps its first record.
    const QList<DatasetRecord> records = parseDatasetRecords(full.left(full.size() - 1));
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(depths(records.at(1)), QList<float>{3});
    // Every cut gives no more than the full parse and never crashes.
    for (int cut = 0; cut < full.size(); ++cut)
        EXPECT_LE(parseDatasetRecords(full.left(cut)).size(), 2);
}

TEST(StoreParser, EndOffsetStopsTheWalk)
{
    Image image;
    image.series = {series("a", {point(1)}), series("b", {point(2)}), series("c", {point(3)})};
    const quint32 slotSize = 68 + 144;
    image.endOffset = 16 + 2 * slotSize; // the third slot starts exactly at the end offset
    EXPECT_EQ(parseDatasetRecords(image.build()).size(), 2);
    image.endOffset = 16 + 2 * slotSize + 1;
    EXPECT_EQ(parseDatasetRecords(image.build()).size(), 3);
    image.endOffset = 0;
    EXPECT_TRUE(parseDatasetRecords(image.build()).isEmpty());
}

// A damaged store must never hang the tool: with slot size 0 every slot would start at the same
// place, and a slot start that wraps around 2^32 would walk back into the store header.
TEST(StoreParser, DamagedSlotGeometryEndsTheWalk)
{
    Image image;
    image.series = {series("a", {point(1)})};
    QByteArray bytes = image.build();
    setWord(bytes, 12, 0xFFFFFFFFu); // the end offset is never reached

    setWord(bytes, 8, 0); // the slot's record length exceeds a slot of size 0
    EXPECT_TRUE(parseDatasetRecords(bytes).isEmpty());

    // Slot 1 would start at 16 + size: wrapped to 0 or 8, or beyond the image.
    for (const quint32 slotSize : {0xFFFFFFF0u, 0xFFFFFFF8u, 0x80000000u}) {
        setWord(bytes, 8, slotSize);
        const QList<DatasetRecord> records = parseDatasetRecords(bytes);
        ASSERT_EQ(records.size(), 1) << slotSize;
        EXPECT_EQ(depths(records.at(0)), QList<float>{1});
    }
}

} // namespace
