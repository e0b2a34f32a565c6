#include "measurements/parsedatasetrecords.h"
#include "measurements/vectarisdataset.h"

#include "sim/datasetstoreimage.h"

#include <QGeoCoordinate>
#include <QVariant>

#include <gtest/gtest.h>

namespace {

DatasetRecord record(const QByteArray& text, char fill = '\0')
{
    DatasetStoreImage::Point point;
    point.depth = 1.5f;
    point.frequency = 0xFFFFFFFFu;
    point.gpsText = "$GPRMC,124512.000,A,4807.038,N,01131.000,E,0.0,0.0,010519,,,A";
    DatasetStoreImage::Point noFix = point;
    noFix.depth = 2.5f;
    noFix.gpsText = "$GPRMC,,V,,,,,,,,,,N";
    DatasetStoreImage image;
    DatasetStoreImage::Series series;
    series.text = text;
    series.textFill = fill;
    series.points = {point, noFix};
    image.series = {series};
    return parseDatasetRecords(image.build()).value(0);
}

TEST(DatasetConversion, DateHeaderGivesLocalDateAndNoTitle)
{
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const VectarisDataset dataset(record("19-05-01 13:45"));
    EXPECT_TRUE(dataset.title.isEmpty());
    EXPECT_EQ(dataset.date, QDateTime(QDate(2019, 5, 1), QTime(13, 45), Qt::UTC));
    EXPECT_EQ(dataset.date.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(dataset.date.toString(Qt::ISODate), QStringLiteral("2019-05-01T15:45:00"));

    EXPECT_EQ(VectarisDataset(record("00-02-29 23:59 north")).date.toUTC(),
              QDateTime(QDate(2000, 2, 29), QTime(23, 59), Qt::UTC));
}

TEST(DatasetConversion, FreeTitleLosesFillBytesAndControlCharacters)
{
    const VectarisDataset titled(record("Main street 5"));
    EXPECT_TRUE(titled.date.isNull());
    EXPECT_EQ(titled.title, QStringLiteral("Main street 5"));

    // Stale text behind the terminating NUL and erased-flash fill are not part of the title.
    EXPECT_EQ(VectarisDataset(record(QByteArray("Main\0old title", 14))).title, QStringLiteral("Main"));
    EXPECT_EQ(VectarisDataset(record("Main street", '\xFF')).title, QStringLiteral("Main street"));
    EXPECT_EQ(VectarisDataset(record("A\x01"
                                     "B\x1b\x7f\x85 <&\"> \xe4",
                                     ' '))
                  .title,
              QString::fromUtf8("AB <&\"> \xc3\xa4"));
    EXPECT_EQ(VectarisDataset(record("19-13-01 13:45")).title, QStringLiteral("19-13-01 13:45"));
    EXPECT_TRUE(VectarisDataset(record(QByteArray(52, '\0'))).title.isEmpty());
}

TEST(DatasetConversion, PointsKeepValuesAndOrderWithOrWithoutFix)
{
    const VectarisDataset dataset(record("x"));
    ASSERT_EQ(dataset.points.size(), 2);
    const VectarisDataPoint& fix = dataset.points.at(0);
    EXPECT_EQ(fix.depth, 1.5f);
    EXPECT_EQ(fix.frequency, 0xFFFFFFFFu);
    ASSERT_TRUE(fix.position.isValid());
    EXPECT_NEAR(fix.position.coordinate().latitude(), 48.1173, 1e-9);
    const VectarisDataPoint& noFix = dataset.points.at(1);
    EXPECT_EQ(noFix.depth, 2.5f);
    EXPECT_FALSE(noFix.position.isValid());

    const VectarisDataset empty;
    EXPECT_TRUE(empty.title.isEmpty());
    EXPECT_TRUE(empty.points.isEmpty());
    EXPECT_TRUE(empty.date.isNull());
}

TEST(DatasetConversion, TypesAreRegisteredByName)
{
    EXPECT_NE(QMetaType::type("VectarisDataset"), int(QMetaType::UnknownType));
    EXPECT_NE(QMetaType::type("VectarisDataPoints"), int(QMetaType::UnknownType));
    EXPECT_NE(QMetaType::type("QList<VectarisDataset>"), int(QMetaType::UnknownType));
    EXPECT_EQ(QMetaType::type("VectarisDataPoints"), qMetaTypeId<VectarisDataPoints>());
    EXPECT_EQ(QMetaType::type("QList<VectarisDataset>"), qMetaTypeId<QList<VectarisDataset>>());

    const VectarisDataset dataset(record("x"));
    const QVariant variant = QVariant::fromValue(QList<VectarisDataset>{dataset});
    const QList<VectarisDataset> back = variant.value<QList<VectarisDataset>>();
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back.at(0).points.size(), 2);
}

} // namespace
