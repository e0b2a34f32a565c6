#pragma once

#include <QByteArray>
#include <QDateTime>

// ISO 8601 texts of the point time stamps for the GPX and CSV exports, without the framework's
// conversions: those ask the C library for the local offset of every time stamp, which costs more than
// writing the rest of a point. The offset is remembered per local minute and daylight-saving flag (the
// framework derives it from exactly these, and offsets change only at whole minutes), so consecutive
// points, seconds apart, nearly always reuse it. Not thread-safe; one per document.
class IsoTimeText
{
public:
    // "2019-05-01T14:45:12+02:00" ("Z" for UTC); empty for an invalid time.
    QByteArray withOffset(const QDateTime& time);
    // The same instant in UTC: "2019-05-01T12:45:12Z"; empty for an invalid time.
    QByteArray utc(const QDateTime& time);

private:
    int offsetOf(const QDateTime& time);
    static QByteArray format(const QDate& date, int secondOfDay, int offset);

    bool m_valid = false;
    qint64 m_minute = 0;
    bool m_daylight = false;
    int m_offset = 0;
};
