// The checked export files (see exportgoldentest.cpp) read by independent readers: xmllint, GDAL and
// gpsbabel open each of them and find every fix where it was recorded, gpsbabel also when (it writes UTC,
// so a time written without its offset would arrive shifted).

#include "kmltestdata.h"
#include "processrun.h"

#include <QGeoCoordinate>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Fix
{
    QGeoCoordinate coordinate;
    QDateTime time;
};

struct ReaderCase
{
    const char* file;          // under tests/measurements/data
    QStringList gpsbabelInput; // the file's format, and -t where the fixes are track points
    const char* gpsbabelPoint; // the GPX element gpsbabel writes a fix as
    std::function<QList<VectarisDataset>()> datasets;
};

// The fixes a reader printed, in document order: a line matching `point` (with groups lat and lon)
// starts one, a later GPX time gives it its time.
QList<Fix> readFixes(const ProcessRun& run, const QString& point)
{
    EXPECT_EQ(run.code, 0) << run.context();
    const QRegularExpression pointLine(point);
    const QRegularExpression timeLine(QStringLiteral("^\\s*<time>(\\S+)</time>$"));
    QList<Fix> fixes;
    for (const QString& line : QString::fromUtf8(run.out).split(QLatin1Char('\n'))) {
        if (const auto m = pointLine.match(line); m.hasMatch()) {
            fixes.append(
                {QGeoCoordinate(m.captured("lat").toDouble(), m.captured("lon").toDouble()), QDateTime()});
        } else if (const auto m = timeLine.match(line); m.hasMatch() && !fixes.isEmpty()) {
            fixes.last().time = QDateTime::fromString(m.captured(1), Qt::ISODate);
        }
    }
    return fixes;
}

TEST(GoldenReaders, EveryCheckedFileIsReadByXmllintGdalAndGpsbabel)
{
    const ReaderCase cases[] = {
        {"series.kml", {"-i", "kml"}, "wpt", kmltestdata::series},
        {"series-utc.kml", {"-i", "kml"}, "wpt", kmltestdata::series},
        {"empty.kml", {"-i", "kml"}, "wpt", [] { return QList<VectarisDataset>(); }},
        {"transitions.kml", {"-i", "kml"}, "wpt", kmltestdata::transitionSeries},
        {"series.gpx",
         {"-t", "-i", "gpx"},
         "trkpt",
         [] { return kmltestdata::series() + kmltestdata::transitionSeries(); }},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.file);
        QList<Fix> expected;
        for (const VectarisDataset& dataset : c.datasets()) {
            for (const VectarisDataPoint& point : dataset.points) {
                if (point.position.coordinate().isValid())
                    expected.append({point.position.coordinate(), point.position.timestamp()});
            }
        }
        const QString file = QStringLiteral(SERVICE_TEST_DATA_DIR "/") + QLatin1String(c.file);
        EXPECT_EQ(runProcess("xmllint", {"--noout", file}).code, 0);
        const ProcessRun gdal = runProcess("ogrinfo", {"-ro", "-al", "-q", "-geom=ISO_WKT", file});
        EXPECT_TRUE(gdal.err.isEmpty()) << gdal.context();
        const QList<Fix> byGdal = readFixes(gdal, "^  POINT (Z )?\\((?<lon>\\S+) (?<lat>\\S+)( 0)?\\)$");
        const QList<Fix> byGpsbabel = readFixes(
            runProcess("gpsbabel", c.gpsbabelInput + QStringList{"-f", file, "-o", "gpx", "-F", "-"}),
            QString("<%1 lat=\"(?<lat>\\S+)\" lon=\"(?<lon>\\S+)\">").arg(QLatin1String(c.gpsbabelPoint)));
        ASSERT_EQ(byGdal.size(), expected.size());
        ASSERT_EQ(byGpsbabel.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            for (const QGeoCoordinate& read : {byGdal.at(i).coordinate, byGpsbabel.at(i).coordinate}) {
                EXPECT_NEAR(read.latitude(), expected.at(i).coordinate.latitude(), 1e-7);
                EXPECT_NEAR(read.longitude(), expected.at(i).coordinate.longitude(), 1e-7);
            }
            EXPECT_EQ(byGpsbabel.at(i).time, expected.at(i).time);
        }
    }
}

} // namespace
