#include "measurements/nmeaposition.h"

#include <QByteArrayList>
#include <QDateTime>
#include <QGeoCoordinate>

#include <gtest/gtest.h>

namespace {

const QByteArray kSentence = "$GPRMC,124512.000,A,4807.038,N,01131.000,E,0.0,0.0,010519,,,A";

QByteArray withField(int index, const QByteArray& value)
{
    QList<QByteArray> fields = kSentence.split(',');
    fields[index] = value;
    return fields.join(',');
}

TEST(NmeaPosition, ReadsPositionAndUtcTimeShownInLocalTime)
{
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const QGeoPositionInfo info = positionFromNmea(kSentence);
    ASSERT_TRUE(info.isValid());
    EXPECT_NEAR(info.coordinate().latitude(), 48.1173, 1e-12);
    EXPECT_NEAR(info.coordinate().longitude(), 11.516666666666667, 1e-12);
    EXPECT_EQ(info.timestamp(), QDateTime(QDate(2019, 5, 1), QTime(12, 45, 12), Qt::UTC));
    EXPECT_EQ(info.timestamp().timeSpec(), Qt::LocalTime);
    EXPECT_EQ(info.timestamp().toString(Qt::ISODate), QStringLiteral("2019-05-01T14:45:12"));
}

TEST(NmeaPosition, HemispheresAndFillBytes)
{
    QByteArray padded = "$GPRMC,124512.000,A,4807.038,S,01131.000,W,0.0,0.0,010519,,,A";
    padded.append(QByteArray(84 - padded.size(), '\0'));
    const QGeoPositionInfo info = positionFromNmea(padded);
    ASSERT_TRUE(info.isValid());
    EXPECT_NEAR(info.coordinate().latitude(), -48.1173, 1e-12);
    EXPECT_NEAR(info.coordinate().longitude(), -11.516666666666667, 1e-12);

    // The date is the last field and ends at the first fill byte.
    QByteArray shortSentence = "$GPRMC,124512.000,A,4807.038,N,01131.000,E,0.0,0.0,010519";
    shortSentence.append(QByteArray(84 - shortSentence.size(), '\0'));
    EXPECT_TRUE(positionFromNmea(shortSentence).isValid());
    EXPECT_TRUE(positionFromNmea("  \t" + kSentence + "\r\n").isValid());

    EXPECT_DOUBLE_EQ(nmeaToDegrees(4807.038, QStringLiteral("N")), 48.1173);
    EXPECT_NEAR(nmeaToDegrees(1131.0, QStringLiteral("W")), -11.516666666666667, 1e-12);
    EXPECT_GT(nmeaToDegrees(1131.0, QStringLiteral("w")), 0);
    EXPECT_GT(nmeaToDegrees(1131.0, QStringLiteral("WW")), 0);
    EXPECT_GT(nmeaToDegrees(1131.0, QString()), 0);
    EXPECT_NEAR(nmeaToDegrees(-4807.038, QStringLiteral("N")), -48.1173, 1e-12);
}

TEST(NmeaPosition, TimeVariants)
{
    const QDate date(2019, 5, 1);
    // An unreadable time keeps the fix at midnight of the date.
    EXPECT_EQ(positionFromNmea(withField(1, "xx")).timestamp(), QDateTime(date, QTime(0, 0), Qt::UTC));
    EXPECT_EQ(positionFromNmea(withField(1, "")).timestamp(), QDateTime(date, QTime(0, 0), Qt::UTC));
    EXPECT_EQ(positionFromNmea(withField(1, "246000.000")).timestamp(),
              QDateTime(date, QTime(0, 0), Qt::UTC));
    // Receivers write zero to three decimals of a second.
    EXPECT_EQ(positionFromNmea(withField(1, "124512.50")).timestamp(),
              QDateTime(date, QTime(12, 45, 12, 500), Qt::UTC));
    EXPECT_EQ(positionFromNmea(withField(1, "124512")).timestamp(),
              QDateTime(date, QTime(12, 45, 12), Qt::UTC));
    EXPECT_EQ(positionFromNmea(withField(1, "235959.999")).timestamp(),
              QDateTime(date, QTime(23, 59, 59, 999), Qt::UTC));
    // The year is of this century, leap days included.
    EXPECT_EQ(positionFromNmea(withField(9, "290200")).timestamp().toUTC().date(), QDate(2000, 2, 29));
    EXPECT_EQ(positionFromNmea(withField(9, "311299")).timestamp().toUTC().date(), QDate(2099, 12, 31));
}

TEST(NmeaPosition, NoFix)
{
    EXPECT_FALSE(positionFromNmea(QByteArray()).isValid());
    EXPECT_FALSE(positionFromNmea(" \r\n").isValid());
    EXPECT_FALSE(positionFromNmea(QByteArray(84, '\0')).isValid());
    // Only 8 fields: there is no date.
    EXPECT_FALSE(positionFromNmea("$GPRMC,124512.000,A,4807.038,N,01131.000,E,0.0").isValid());
    EXPECT_FALSE(positionFromNmea(withField(3, "")).isValid());
    EXPECT_FALSE(positionFromNmea(withField(3, "48o7.038")).isValid());
    EXPECT_FALSE(positionFromNmea(withField(5, "")).isValid());
    EXPECT_FALSE(positionFromNmea(withField(9, "320519")).isValid());
    EXPECT_FALSE(positionFromNmea(withField(9, "0105190")).isValid());
    EXPECT_FALSE(positionFromNmea(withField(9, "01-519")).isValid());
    // Out of range or not a number is no position either.
    EXPECT_FALSE(positionFromNmea(withField(3, "9107.038")).isValid());
    EXPECT_FALSE(positionFromNmea(withField(5, "18131.000")).isValid());
    EXPECT_FALSE(positionFromNmea(withField(3, "nan")).isValid());
    EXPECT_FALSE(positionFromNmea(withField(5, "inf")).isValid());
}

} // namespace
