#include "measurements/nmeaposition.h"

#include <QDateTime>
#include <QGeoCoordinate>

#include <charconv>
#include <cmath>

namespace {

// One comma-separated field; its text ends at the first NUL, so fill bytes behind a short sentence
// are not part of the last field.
struct Field
{
    const char* begin = nullptr;
    const char* end = nullptr;

    int size() const { return int(end - begin); }
};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int twoDigits(const char* p)
{
    return (p[0] - '0') * 10 + (p[1] - '0');
}

// A decimal number as the framework's C-locale conversion reads it: surrounding white space allowed,
// an optional sign, the whole field consumed.
bool parseNumber(Field field, double& value)
{
    const char* begin = field.begin;
    const char* end = field.end;
    while (begin < end && isSpace(*begin))
        ++begin;
    while (end > begin && isSpace(end[-1]))
        --end;
    if (begin < end && *begin == '+')
        ++begin;
    if (begin == end)
        return false;
    const std::from_chars_result parsed = std::from_chars(begin, end, value, std::chars_format::general);
    return parsed.ec == std::errc() && parsed.ptr == end;
}

// "hhmmss" with an optional fraction of a second of any length (NMEA receivers write zero to three
// decimals; milliseconds are kept). Anything else is no time.
QTime parseTime(Field field)
{
    const char* p = field.begin;
    const int size = field.size();
    if (size < 6)
        return QTime();
    for (int i = 0; i < 6; ++i) {
        if (!isDigit(p[i]))
            return QTime();
    }
    int msec = 0;
    if (size > 6) {
        if (p[6] != '.' || size == 7)
            return QTime();
        int scale = 100;
        for (int i = 7; i < size; ++i) {
            if (!isDigit(p[i]))
                return QTime();
            msec += (p[i] - '0') * scale;
            scale /= 10;
        }
    }
    return QTime(twoDigits(p), twoDigits(p + 2), twoDigits(p + 4), msec);
}

// "ddMMyy", the year of this century.
QDate parseDate(Field field)
{
    const char* p = field.begin;
    if (field.size() != 6)
        return QDate();
    for (int i = 0; i < 6; ++i) {
        if (!isDigit(p[i]))
            return QDate();
    }
    return QDate(2000 + twoDigits(p + 4), twoDigits(p + 2), twoDigits(p));
}

double toDegrees(double value, bool negative)
{
    const double degrees = std::trunc(value / 100);
    const double result = degrees + (value - 100 * degrees) / 60;
    return negative ? -result : result;
}

bool isSouthOrWest(Field field)
{
    return field.size() == 1 && (*field.begin == 'S' || *field.begin == 'W');
}

} // namespace

double nmeaToDegrees(double value, const QString& hemisphere)
{
    const bool negative = hemisphere == QLatin1String("S") || hemisphere == QLatin1String("W");
    return toDegrees(value, negative);
}

QGeoPositionInfo positionFromNmea(const QByteArray& sentence)
{
    const char* begin = sentence.constData();
    const char* end = begin + sentence.size();
    while (begin < end && isSpace(*begin))
        ++begin;
    while (end > begin && isSpace(end[-1]))
        --end;
    if (begin == end)
        return QGeoPositionInfo();

    // Only fields 0 to 9 are used; the rest of the sentence is not looked at.
    constexpr int kFieldsUsed = 10;
    Field fields[kFieldsUsed];
    const char* p = begin;
    for (int i = 0; i < kFieldsUsed && p <= end; ++i) {
        const char* fieldEnd = p;
        while (fieldEnd < end && *fieldEnd != ',')
            ++fieldEnd;
        const char* textEnd = p;
        while (textEnd < fieldEnd && *textEnd != '\0')
            ++textEnd;
        fields[i] = Field{p, textEnd};
        p = fieldEnd + 1;
    }

    double latitude = 0;
    double longitude = 0;
    if (!parseNumber(fields[3], latitude) || !parseNumber(fields[5], longitude))
        return QGeoPositionInfo();

    const QDate date = parseDate(fields[9]);
    if (!date.isValid())
        return QGeoPositionInfo();
    QTime time = parseTime(fields[1]);
    if (!time.isValid())
        time = QTime(0, 0);

    const QGeoCoordinate coordinate(toDegrees(latitude, isSouthOrWest(fields[4])),
                                    toDegrees(longitude, isSouthOrWest(fields[6])));
    if (!coordinate.isValid())
        return QGeoPositionInfo();
    return QGeoPositionInfo(coordinate, QDateTime(date, time, Qt::UTC).toLocalTime());
}
