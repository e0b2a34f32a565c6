#include "measurements/isotimetext.h"

namespace {

void writeDigits(char* out, int value, int digits)
{
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
}

constexpr int kSecondsPerDay = 86400;

} // namespace

QByteArray IsoTimeText::withOffset(const QDateTime& time)
{
    if (!time.isValid())
        return QByteArray();
    return format(time.date(), time.time().msecsSinceStartOfDay() / 1000, offsetOf(time));
}

QByteArray IsoTimeText::utc(const QDateTime& time)
{
    if (!time.isValid())
        return QByteArray();
    // Local wall-clock time minus its offset, in whole days and seconds.
    int second = time.time().msecsSinceStartOfDay() / 1000 - offsetOf(time);
    QDate date = time.date();
    if (second < 0) {
        second += kSecondsPerDay;
        date = date.addDays(-1);
    } else if (second >= kSecondsPerDay) {
        second -= kSecondsPerDay;
        date = date.addDays(1);
    }
    return format(date, second, 0);
}

int IsoTimeText::offsetOf(const QDateTime& time)
{
    if (time.timeSpec() != Qt::LocalTime)
        return time.offsetFromUtc();
    const qint64 minute = time.date().toJulianDay() * 1440 + time.time().msecsSinceStartOfDay() / 60000;
    const bool daylight = time.isDaylightTime();
    if (!m_valid || minute != m_minute || daylight != m_daylight) {
        m_offset = time.offsetFromUtc();
        m_minute = minute;
        m_daylight = daylight;
        m_valid = true;
    }
    return m_offset;
}

QByteArray IsoTimeText::format(const QDate& date, int secondOfDay, int offset)
{
    if (date.year() < 0 || date.year() > 9999 || offset % 60 != 0) {
        const QDateTime time(date, QTime(0, 0).addSecs(secondOfDay), Qt::OffsetFromUTC, offset);
        return time.toString(Qt::ISODate).toLatin1();
    }
    char text[32];
    writeDigits(text, date.year(), 4);
    text[4] = '-';
    writeDigits(text + 5, date.month(), 2);
    text[7] = '-';
    writeDigits(text + 8, date.day(), 2);
    text[10] = 'T';
    writeDigits(text + 11, secondOfDay / 3600, 2);
    text[13] = ':';
    writeDigits(text + 14, secondOfDay / 60 % 60, 2);
    text[16] = ':';
    writeDigits(text + 17, secondOfDay % 60, 2);
    if (offset == 0) {
        text[19] = 'Z';
        return QByteArray(text, 20);
    }
    const int minutes = (offset < 0 ? -offset : offset) / 60;
    text[19] = offset < 0 ? '-' : '+';
    writeDigits(text + 20, minutes / 60, 2);
    text[22] = ':';
    writeDigits(text + 23, minutes % 60, 2);
    return QByteArray(text, 25);
}
