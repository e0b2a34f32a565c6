#pragma once

#include "measurements/vectarisdataset.h"

#include <QGeoCoordinate>
#include <QLocale>

#include <clocale>

// Series that exercise the KML export: dated and titled headers, titles with XML special characters
// and fill bytes, points with and without a fix, all four hemispheres, values that print in every
// general-number form.
namespace kmltestdata {

// A locale with a decimal comma while it lives: none of it may leak into a file.
struct DecimalCommaLocale
{
    DecimalCommaLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    }
    ~DecimalCommaLocale()
    {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_NUMERIC, "C");
    }
};

inline VectarisDataPoint point(float depth, double latitude, double longitude, const QDateTime& utc)
{
    VectarisDataPoint p;
    p.maxCoil = 12.5f;
    p.minCoil = -0.000123457f;
    p.depth = depth;
    p.amperage = 1234567.0f;
    p.frequency = 32768;
    p.modeLevel = 1.015625f; // exactly halfway at six digits
    p.azimuth = 359.9f;
    p.zenit = -0.0f;
    p.hazeLevel = 1e-7f;
    p.sisValue = 3.0e38f;
    if (utc.isValid())
        p.position = QGeoPositionInfo(QGeoCoordinate(latitude, longitude), utc.toLocalTime());
    return p;
}

inline VectarisDataPoint noFix(float depth)
{
    VectarisDataPoint p = point(depth, 0, 0, QDateTime());
    p.frequency = 4294967295u;
    return p;
}

inline QDateTime utc(int h, int m, int s)
{
    return QDateTime(QDate(2019, 5, 1), QTime(h, m, s), Qt::UTC);
}

inline QList<VectarisDataset> series()
{
    VectarisDataset dated;
    dated.date = QDateTime(QDate(2019, 5, 1), QTime(13, 45), Qt::UTC).toLocalTime();
    dated.points = {point(1.5f, 48.1173, 11.516666666, utc(12, 45, 12)), noFix(2.5f),
                    point(0.25f, -33.8688197, -151.2092955, utc(12, 46, 0))};

    VectarisDataset titled;
    titled.title = QStringLiteral("Main street <5> & \"Q\" 'x'");
    titled.points = {point(3, -0.5, 0.5, utc(23, 59, 59)), point(4, 51.4778, -0.0014, utc(0, 0, 1)),
                     noFix(5)};

    VectarisDataset filled;
    filled.title = QString::fromLatin1("Fill\x01\x1f end", 10) + QChar(0) + QChar(0xFFFF) + " ä";
    filled.points = {point(6, 89.9999999, 179.9999999, utc(1, 2, 3))};

    VectarisDataset empty;
    empty.title = QStringLiteral("Empty");

    return {dated, titled, filled, empty};
}

// Points every 20 minutes (UTC) across both daylight-saving changes of 2019 in Europe and South
// America, so that local clock times repeat and jump.
inline QList<VectarisDataset> transitionSeries()
{
    VectarisDataset autumn;
    autumn.title = QStringLiteral("autumn");
    VectarisDataset spring;
    spring.title = QStringLiteral("spring");
    const QDateTime autumnStart(QDate(2019, 10, 26), QTime(23, 0), Qt::UTC);
    const QDateTime springStart(QDate(2019, 3, 30), QTime(23, 0), Qt::UTC);
    for (int i = 0; i < 12; ++i) {
        autumn.points.append(point(float(i), 48.1, 11.5, autumnStart.addSecs(i * 1200 + i)));
        spring.points.append(point(float(i), 48.1, 11.5, springStart.addSecs(i * 1200 + i)));
    }
    return {autumn, spring};
}

} // namespace kmltestdata
