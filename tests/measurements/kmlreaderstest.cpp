// The exported KML read back by independent readers (GDAL, gpsbabel, xmllint): they must open it
// without complaint and find every placemark where and when it was recorded, under its name.

#include "measurements/vectarisdatasetstokml.h"

#include "kmltestdata.h"
#include "processrun.h"

#include <QGeoCoordinate>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

struct Placemark
{
    QString name;
    QGeoCoordinate coordinate; // invalid: no Point
    QDateTime time;            // invalid: no TimeStamp
};

// What the export must hold for every point placemark, in document order.
QList<Placemark> expectedPlacemarks(const QList<VectarisDataset>& datasets)
{
    QList<Placemark> result;
    for (const VectarisDataset& dataset : datasets) {
        const QString title = dataset.title;
        int k = 0;
        for (const VectarisDataPoint& point : dataset.points) {
            ++k;
            const QString name =
                title.isEmpty() ? QString::number(k) : QStringLiteral("%1: %2").arg(title).arg(k);
            result.append({name, point.position.coordinate(), point.position.timestamp()});
        }
    }
    return result;
}

// ogrinfo lists every feature with its fields and its geometry as WKT.
QList<Placemark> readWithGdal(const QString& fileName)
{
    const ProcessRun ogr = runProcess(QStringLiteral("ogrinfo"),
                                      {QStringLiteral("-ro"), QStringLiteral("-al"), QStringLiteral("-q"),
                                       QStringLiteral("-geom=ISO_WKT"), fileName});
    EXPECT_EQ(ogr.code, 0);
    EXPECT_TRUE(ogr.err.isEmpty()) << ogr.err.toStdString();
    QList<Placemark> result;
    const QRegularExpression point(QStringLiteral("^  POINT Z \\((\\S+) (\\S+) 0\\)$"));
    const QRegularExpression time(
        QStringLiteral("^  timestamp \\(DateTime\\) = (\\S+ \\d\\d:\\d\\d:\\d\\d)([+-]\\d\\d)$"));
    for (const QString& line : QString::fromUtf8(ogr.out).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("OGRFeature("))) {
            result.append(Placemark());
        } else if (line.startsWith(QLatin1String("  Name (String) = "))) {
            result.last().name = line.mid(18);
        } else if (const QRegularExpressionMatch m = point.match(line); m.hasMatch()) {
            result.last().coordinate = QGeoCoordinate(m.captured(2).toDouble(), m.captured(1).toDouble());
        } else if (const QRegularExpressionMatch m = time.match(line); m.hasMatch()) {
            QDateTime t = QDateTime::fromString(m.captured(1), QStringLiteral("yyyy/MM/dd hh:mm:ss"));
            t.setOffsetFromUtc(m.captured(2).toInt() * 3600);
            result.last().time = t;
        }
    }
    // Keep the point placemarks; the line placemarks are all named "Track".
    QList<Placemark> points;
    for (const Placemark& p : result) {
        if (p.name != QLatin1String("Track"))
            points.append(p);
    }
    return points;
}

// gpsbabel turns the placemarks that have a Point into GPX waypoints (nine decimals, UTC times).
QList<Placemark> readWithGpsbabel(const QString& fileName, const QString& gpxName)
{
    const ProcessRun babel =
        runProcess(QStringLiteral("gpsbabel"),
                   {QStringLiteral("-i"), QStringLiteral("kml"), QStringLiteral("-f"), fileName,
                    QStringLiteral("-o"), QStringLiteral("gpx"), QStringLiteral("-F"), gpxName});
    EXPECT_EQ(babel.code, 0);
    EXPECT_TRUE(babel.err.isEmpty()) << babel.err.toStdString();
    QFile gpx(gpxName);
    EXPECT_TRUE(gpx.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&gpx);
    QList<Placemark> result;
    bool inWaypoint = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("wpt")) {
            inWaypoint = true;
            result.append({QString(),
                           QGeoCoordinate(reader.attributes().value(QLatin1String("lat")).toDouble(),
                                          reader.attributes().value(QLatin1String("lon")).toDouble()),
                           QDateTime()});
        } else if (reader.isEndElement() && reader.name() == QLatin1String("wpt")) {
            inWaypoint = false;
        } else if (inWaypoint && reader.isStartElement() && reader.name() == QLatin1String("name")) {
            result.last().name = reader.readElementText();
        } else if (inWaypoint && reader.isStartElement() && reader.name() == QLatin1String("time")) {
            result.last().time = QDateTime::fromString(reader.readElementText(), Qt::ISODate);
        }
    }
    EXPECT_FALSE(reader.hasError());
    return result;
}

void expectSame(const QList<Placemark>& read, const QList<Placemark>& expected, const char* reader)
{
    ASSERT_EQ(read.size(), expected.size()) << reader;
    for (int i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(std::string(reader) + " placemark " + expected.at(i).name.toStdString());
        EXPECT_EQ(read.at(i).name, expected.at(i).name);
        EXPECT_EQ(read.at(i).coordinate.isValid(), expected.at(i).coordinate.isValid());
        if (expected.at(i).coordinate.isValid()) {
            EXPECT_NEAR(read.at(i).coordinate.latitude(), expected.at(i).coordinate.latitude(), 1e-7);
            EXPECT_NEAR(read.at(i).coordinate.longitude(), expected.at(i).coordinate.longitude(), 1e-7);
        }
        EXPECT_EQ(read.at(i).time.isValid(), expected.at(i).time.isValid());
        EXPECT_EQ(read.at(i).time.toMSecsSinceEpoch(), expected.at(i).time.toMSecsSinceEpoch());
    }
}

TEST(KmlReaders, GdalGpsbabelAndXmllintReadBackEveryPlacemark)
{
    // Local time away from UTC: a time written without its offset would be read back shifted.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    QList<VectarisDataset> datasets = kmltestdata::series();
    datasets.removeLast(); // the series without points has an empty line, which gpsbabel remarks on
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("series.kml"));
    ASSERT_TRUE(VectarisDatasetsToKmlFile(datasets, fileName));

    const ProcessRun lint = runProcess(QStringLiteral("xmllint"), {QStringLiteral("--noout"), fileName});
    EXPECT_EQ(lint.code, 0) << lint.err.toStdString();

    // Titles arrive without the characters XML cannot carry.
    QList<Placemark> expected = expectedPlacemarks(datasets);
    for (Placemark& p : expected)
        p.name.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x{fffe}\\x{ffff}]")));
    expectSame(readWithGdal(fileName), expected, "GDAL");

    QList<Placemark> withFix;
    for (const Placemark& p : expected) {
        if (p.coordinate.isValid())
            withFix.append(p);
    }
    ASSERT_EQ(withFix.size(), 5);
    expectSame(readWithGpsbabel(fileName, dir.filePath(QStringLiteral("series.gpx"))), withFix, "gpsbabel");
}

TEST(KmlReaders, SeriesWithoutPointsStillOpens)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("empty.kml"));
    ASSERT_TRUE(VectarisDatasetsToKmlFile(kmltestdata::series().mid(3), fileName));
    EXPECT_EQ(runProcess(QStringLiteral("xmllint"), {QStringLiteral("--noout"), fileName}).code, 0);
    EXPECT_EQ(runProcess(QStringLiteral("ogrinfo"),
                         {QStringLiteral("-ro"), QStringLiteral("-al"), QStringLiteral("-q"), fileName})
                  .code,
              0);
    EXPECT_EQ(runProcess(QStringLiteral("gpsbabel"),
                         {QStringLiteral("-i"), QStringLiteral("kml"), QStringLiteral("-f"), fileName,
                          QStringLiteral("-o"), QStringLiteral("gpx"), QStringLiteral("-F"),
                          dir.filePath(QStringLiteral("empty.gpx"))})
                  .code,
              0);
}

} // namespace
