// Feeds arbitrary GPS texts to positionFromNmea and compares it with a plain reading of the same text
// through the framework's own conversions (split, toDouble, QDate/QTime::fromString).
//
// The two must agree on whether there is a fix, on the coordinate and on the date; the time must agree
// whenever the framework reads "hhmmss.zzz". Deliberate differences: fractions of a second with other
// than three digits; 29 February 2000, which the framework's two-digit year puts into 1900; and a
// coordinate field of white space only, which the framework reads as the number 0; and signs or
// blanks inside the date and time digits, which the framework's format parser lets pass.
#include "measurements/nmeaposition.h"

#include <QByteArrayList>
#include <QDateTime>
#include <QGeoCoordinate>
#include <QRegularExpression>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

QByteArray field(const QByteArrayList& fields, int index)
{
    QByteArray text = fields.value(index);
    const int nul = text.indexOf('\0');
    return nul < 0 ? text : text.left(nul);
}

double degrees(double value, const QByteArray& hemisphere)
{
    return nmeaToDegrees(value, QString::fromLatin1(hemisphere));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray sentence(reinterpret_cast<const char*>(data), int(size));
    const QGeoPositionInfo info = positionFromNmea(sentence);
    if (info.isValid() && !info.coordinate().isValid())
        __builtin_trap();

    const QByteArray trimmed = sentence.trimmed();
    if (trimmed.isEmpty()) {
        if (info.isValid())
            __builtin_trap();
        return 0;
    }
    const QByteArrayList fields = trimmed.split(',');
    bool latitudeRead = false;
    bool longitudeRead = false;
    const double latitude = field(fields, 3).toDouble(&latitudeRead);
    const double longitude = field(fields, 5).toDouble(&longitudeRead);
    const QString dateText = QString::fromLatin1(field(fields, 9));
    const QDate date = QDate::fromString(dateText, QStringLiteral("ddMMyy")).addYears(100);
    static const QRegularExpression sixDigits(QStringLiteral("^\\d{6}$"));
    if (!sixDigits.match(dateText).hasMatch()) {
        if (info.isValid())
            __builtin_trap();
        return 0;
    }
    if (dateText == QLatin1String("290200") || field(fields, 3).trimmed().isEmpty() ||
        field(fields, 5).trimmed().isEmpty()) {
        if (info.isValid() && dateText != QLatin1String("290200"))
            __builtin_trap();
        return 0;
    }
    if (!latitudeRead || !longitudeRead) {
        if (info.isValid())
            __builtin_trap();
        return 0;
    }
    const QGeoCoordinate coordinate(degrees(latitude, field(fields, 4)),
                                    degrees(longitude, field(fields, 6)));
    const bool expectFix = date.isValid() && coordinate.isValid();
    if (info.isValid() != expectFix)
        __builtin_trap();
    if (!expectFix)
        return 0;
    if (info.coordinate().latitude() != coordinate.latitude() ||
        info.coordinate().longitude() != coordinate.longitude())
        __builtin_trap();

    const QDateTime utc = info.timestamp().toUTC();
    if (utc.date() != date)
        __builtin_trap();
    const QString timeText = QString::fromLatin1(field(fields, 1));
    static const QRegularExpression canonical(QStringLiteral("^\\d{6}\\.\\d{3}$"));
    static const QRegularExpression decimal(QStringLiteral("^\\d{6}(\\.\\d+)?$"));
    if (canonical.match(timeText).hasMatch()) {
        const QTime time = QTime::fromString(timeText, QStringLiteral("hhmmss.zzz"));
        if (utc.time() != (time.isValid() ? time : QTime(0, 0)))
            __builtin_trap();
    } else if (!decimal.match(timeText).hasMatch() && utc.time() != QTime(0, 0)) {
        __builtin_trap();
    }
    return 0;
}
