#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QtGlobal>

#include <optional>

// Lays out a control unit's dataset store image the way the instrument keeps it: a 16-byte store
// header, then one fixed-size slot per series (68-byte slot header, then 144-byte point records).
// Everything is little-endian. The defaults give a well-formed store; each header field can be
// overridden to model a damaged one. Plain value; build() does not change it.
class DatasetStoreImage
{
public:
    static constexpr quint32 kStoreHeaderSize = 16;
    static constexpr quint32 kSlotHeaderSize = 68;
    static constexpr quint32 kTextSize = 52;
    static constexpr quint32 kPointSize = 144;
    static constexpr quint32 kGpsTextSize = 84;

    struct Point
    {
        float maxCoil = 0;
        float minCoil = 0;
        float depth = 0;
        float amperage = 0;
        quint8 valid = 1;
        quint32 frequency = 0;
        float modeLevel = 0;
        float azimuth = 0;
        float zenit = 0;
        float hazeLevel = 0;
        float sisValue = 0;
        QByteArray gpsText; // cut or NUL-padded to 84 bytes
        quint8 filler = 0;  // value of the bytes the instrument does not define (17-19, 44-59)
    };

    struct Series
    {
        QByteArray text; // cut or padded with textFill to 52 bytes
        char textFill = '\0';
        QList<Point> points;
        std::optional<quint32> recordsLength; // default: 144 per point
        quint32 headerWord = 0;
        quint64 headerLongWord = 0;
    };

    quint32 version = 1;
    std::optional<quint32> firstSlotOffset; // default: right behind the store header
    std::optional<quint32> slotSize;        // default: room for the longest series (at least one point)
    std::optional<quint32> endOffset;       // default: end of the last slot
    QList<Series> series;

    QByteArray build() const;

    // One 144-byte point record.
    static QByteArray pointRecord(const Point& point);

    // An RMC sentence as a GPS receiver writes it: time "hhmmss.zzz", position "ddmm.mmmmmm" /
    // "dddmm.mmmmmm" with hemisphere letters, date "ddMMyy". The date-time is taken in UTC.
    static QByteArray rmcSentence(double latitude, double longitude, const QDateTime& utc);

    // A date header text "yy-MM-dd hh:mm" (UTC).
    static QByteArray dateText(const QDateTime& utc);
};
