// The KML, GPX and CSV exports byte for byte against files read back and checked once by independent
// readers: whatever the local time zone and locale, each series writes the same document. Run with
// SERVICE_UPDATE_GOLDEN=1 to write the files anew after a deliberate change, then check them by reading.
#include "measurements/generalnumber.h"
#include "measurements/vectarisdatasetstocsv.h"
#include "measurements/vectarisdatasetstogpx.h"
#include "measurements/vectarisdatasetstokml.h"

#include "kmltestdata.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <ctime>
#include <functional>

namespace {

using Writer = std::function<bool(const QList<VectarisDataset>&, QIODevice*)>;

const Writer kKml = [](const QList<VectarisDataset>& d, QIODevice* io) {
    return VectarisDatasetsToKml(d, io);
};
const Writer kGpx = [](const QList<VectarisDataset>& d, QIODevice* io) {
    return VectarisDatasetsToGpx(d, io);
};
const Writer kCsv = [](const QList<VectarisDataset>& d, QIODevice* io) {
    return VectarisDatasetsToCsv(d, io);
};

struct GoldenCase
{
    const char* file; // under tests/measurements/data
    const char* timeZone;
    Writer writer;
    // Made once the time zone is set: the series hold local times.
    std::function<QList<VectarisDataset>()> datasets;
};

QList<VectarisDataset> bothSeries()
{
    return kmltestdata::series() + kmltestdata::transitionSeries();
}

void PrintTo(const GoldenCase& c, std::ostream* out)
{
    *out << c.file;
}

class ExportGolden : public ::testing::TestWithParam<GoldenCase>
{
    kmltestdata::DecimalCommaLocale locale;
};

TEST_P(ExportGolden, WritesTheCheckedDocument)
{
    const GoldenCase& c = GetParam();
    qputenv("TZ", c.timeZone);
    tzset();
    QByteArray written;
    QBuffer buffer(&written);
    ASSERT_TRUE(c.writer(c.datasets(), &buffer)); // opens the buffer itself
    QFile golden(QStringLiteral(SERVICE_TEST_DATA_DIR "/") + QLatin1String(c.file));
    if (qEnvironmentVariableIsSet("SERVICE_UPDATE_GOLDEN")) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly));
        golden.write(written);
        return;
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << c.file;
    EXPECT_EQ(written.toStdString(), golden.readAll().toStdString());
}

// Dated and titled series, XML special characters and fill bytes, points without a fix, all four
// hemispheres, every general-number form; and points across both daylight-saving changes of a year.
INSTANTIATE_TEST_SUITE_P(
    Formats, ExportGolden,
    ::testing::Values(GoldenCase{"series.kml", "America/Sao_Paulo", kKml, kmltestdata::series},
                      GoldenCase{"series-utc.kml", "UTC", kKml, kmltestdata::series},
                      GoldenCase{"empty.kml", "Europe/Berlin", kKml, [] { return QList<VectarisDataset>(); }},
                      GoldenCase{"transitions.kml", "Europe/Berlin", kKml, kmltestdata::transitionSeries},
                      GoldenCase{"series.gpx", "Europe/Berlin", kGpx, bothSeries},
                      GoldenCase{"series.csv", "Europe/Berlin", kCsv, bothSeries}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) {
        std::string name = info.param.file;
        for (char& ch : name) {
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        }
        return name;
    });

TEST(GeneralNumber, MatchesTheFramework)
{
    QRandomGenerator random(12345);
    for (int i = 0; i < 200000; ++i) {
        const quint32 bits = random.generate();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        ASSERT_EQ(generalNumber(double(f), 6), QString::number(double(f), 'g', 6).toLatin1()) << bits;
        const double d = (random.generateDouble() - 0.5) * 360;
        ASSERT_EQ(generalNumber(d, 10), QString::number(d, 'g', 10).toLatin1()) << d;
    }
    for (const double v : {123456.5, 1234565.0, 1.015625, -12.03125, 0.5, 100000.0, 1e21, -0.0, 48.1173})
        EXPECT_EQ(generalNumber(v, 6), QString::number(v, 'g', 6).toLatin1()) << v;
}

} // namespace
