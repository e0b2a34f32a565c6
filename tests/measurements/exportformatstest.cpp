// The exports read back by independent readers (gpsbabel and GDAL for GPX, a plain RFC 4180 parser for
// CSV cells); a failed write leaves nothing behind, and a write on its own thread the same bytes.

#include "measurements/datasetexport.h"
#include "measurements/vectarisdatasetstocsv.h"
#include "measurements/vectarisdatasetstogpx.h"
#include "measurements/vectarisdatasetstokml.h"

#include "kmltestdata.h"
#include "processrun.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <ctime>
#include <functional>

namespace {

struct Fix
{
    QGeoCoordinate coordinate;
    QDateTime time;
};

QList<VectarisDataset> testSeries()
{
    return kmltestdata::series() + kmltestdata::transitionSeries();
}

QList<Fix> expectedFixes(const QList<VectarisDataset>& datasets)
{
    QList<Fix> fixes;
    for (const VectarisDataset& dataset : datasets) {
        for (const VectarisDataPoint& point : dataset.points) {
            if (point.position.coordinate().isValid())
                fixes.append({point.position.coordinate(), point.position.timestamp()});
        }
    }
    return fixes;
}

void expectSameFixes(const QList<Fix>& read, const QList<Fix>& expected, const char* reader)
{
    ASSERT_EQ(read.size(), expected.size()) << reader;
    for (int i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(std::string(reader) + " point " + std::to_string(i));
        EXPECT_NEAR(read.at(i).coordinate.latitude(), expected.at(i).coordinate.latitude(), 1e-7);
        EXPECT_NEAR(read.at(i).coordinate.longitude(), expected.at(i).coordinate.longitude(), 1e-7);
        EXPECT_EQ(read.at(i).time.toMSecsSinceEpoch(), expected.at(i).time.toMSecsSinceEpoch());
    }
}

QByteArray runTool(const QString& program, const QStringList& arguments, QByteArray* errors = nullptr)
{
    const ProcessRun run = runProcess(program, arguments);
    EXPECT_EQ(run.code, 0) << program.toStdString() << ": " << run.err.toStdString();
    if (errors)
        *errors = run.err;
    return run.out;
}

bool haveTools(std::initializer_list<const char*> programs)
{
    for (const char* program : programs) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
            return false;
    }
    return true;
}

// Track points of a GPX document (gpsbabel's own output): position and UTC time.
QList<Fix> gpxTrackPoints(const QByteArray& gpx)
{
    QXmlStreamReader reader(gpx);
    QList<Fix> fixes;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("trkpt")) {
            fixes.append({QGeoCoordinate(reader.attributes().value(QLatin1String("lat")).toDouble(),
                                         reader.attributes().value(QLatin1String("lon")).toDouble()),
                          QDateTime()});
        } else if (reader.isStartElement() && reader.name() == QLatin1String("time") && !fixes.isEmpty()) {
            fixes.last().time = QDateTime::fromString(reader.readElementText(), Qt::ISODate);
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return fixes;
}

class ExportFormats : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Local time away from UTC: it may not leak into a file any more than the locale.
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }
    kmltestdata::DecimalCommaLocale locale;
};

TEST_F(ExportFormats, GpxIsReadBackByGpsbabelAndGdal)
{
    if (!haveTools({"gpsbabel", "ogrinfo", "xmllint"}))
        GTEST_SKIP() << "gpsbabel, ogrinfo or xmllint missing (tools/install-deps.sh installs them)";
    QList<VectarisDataset> datasets = testSeries();
    datasets.removeAt(3); // gpsbabel remarks on an empty track
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("series.gpx"));
    ASSERT_TRUE(VectarisDatasetsToGpxFile(datasets, fileName));
    runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), fileName});
    const QList<Fix> expected = expectedFixes(datasets);
    ASSERT_EQ(expected.size(), 5 + 24);

    QByteArray babelErrors;
    const QByteArray babel = runTool(QStringLiteral("gpsbabel"),
                                     {QStringLiteral("-t"), QStringLiteral("-i"), QStringLiteral("gpx"),
                                      QStringLiteral("-f"), fileName, QStringLiteral("-o"),
                                      QStringLiteral("gpx"), QStringLiteral("-F"), QStringLiteral("-")},
                                     &babelErrors);
    EXPECT_TRUE(babelErrors.isEmpty()) << babelErrors.toStdString();
    expectSameFixes(gpxTrackPoints(babel), expected, "gpsbabel");

    // GDAL: the track points with their UTC times, and the measured values from the extensions.
    const QByteArray ogr =
        runTool(QStringLiteral("ogrinfo"),
                {QStringLiteral("--config"), QStringLiteral("GPX_USE_EXTENSIONS"), QStringLiteral("YES"),
                 QStringLiteral("-ro"), QStringLiteral("-q"), QStringLiteral("-geom=ISO_WKT"), fileName,
                 QStringLiteral("track_points")});
    const QRegularExpression point(QStringLiteral("^  POINT \\((\\S+) (\\S+)\\)$"));
    const QRegularExpression time(
        QStringLiteral("^  time \\(DateTime\\) = (\\S+ \\d\\d:\\d\\d:\\d\\d)\\+00$"));
    const QRegularExpression depth(QStringLiteral("^  vx_depth \\(\\w+\\) = (\\S+)$"));
    QList<Fix> read;
    QList<double> depths;
    for (const QString& line : QString::fromUtf8(ogr).split(QLatin1Char('\n'))) {
        if (const auto m = point.match(line); m.hasMatch()) {
            read.last().coordinate = QGeoCoordinate(m.captured(2).toDouble(), m.captured(1).toDouble());
        } else if (const auto m = time.match(line); m.hasMatch()) {
            // Built as UTC directly: read as local time first, a time in the spring gap would not exist.
            const QStringList parts = m.captured(1).split(QLatin1Char(' '));
            read.append({QGeoCoordinate(),
                         QDateTime(QDate::fromString(parts.at(0), QStringLiteral("yyyy/MM/dd")),
                                   QTime::fromString(parts.at(1), QStringLiteral("hh:mm:ss")), Qt::UTC)});
        } else if (const auto m = depth.match(line); m.hasMatch()) {
            depths.append(m.captured(1).toDouble());
        }
    }
    expectSameFixes(read, expected, "GDAL");
    ASSERT_EQ(depths.size(), expected.size());
    EXPECT_EQ(depths.at(0), 1.5);
    EXPECT_EQ(depths.at(1), 0.25); // the point without a fix is not a track point
}

// A minimal RFC 4180 reader: quoted fields with doubled quotes, CRLF line ends.
QList<QStringList> parseCsv(const QByteArray& bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.isEmpty() && row.isEmpty()) << "the last row has no line end";
    return rows;
}

TEST_F(ExportFormats, CsvTitlesThatSpreadsheetsWouldRunAsFormulasStayText)
{
    const struct
    {
        const char* title;
        const char* cell; // the series cell as a spreadsheet reads it from the file
    } cases[] = {
        {"=HYPERLINK(\"x\")", "'=HYPERLINK(\"x\")"},
        {"+49 street", "'+49 street"},
        {"-5 m, north", "'-5 m, north"}, // quoted for the comma, the apostrophe inside
        {"@SUM(A1)", "'@SUM(A1)"},
        {"Main street = 3", "Main street = 3"},
        {"'quoted", "'quoted"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        VectarisDataset dataset = testSeries().first();
        dataset.title = QString::fromUtf8(c.title);
        QBuffer buffer;
        ASSERT_TRUE(VectarisDatasetsToCsv({dataset}, &buffer));
        const QList<QStringList> rows = parseCsv(buffer.data());
        ASSERT_GE(rows.size(), 2);
        EXPECT_EQ(rows.at(1).at(0), QString::fromUtf8(c.cell));
        EXPECT_EQ(rows.at(1).size(), 16);
        EXPECT_TRUE(rows.at(1).at(7).startsWith(QLatin1Char('-'))); // a negative value stays a number
    }
}

// The three formats, each written to a device or (through a save file) to a named file.
struct Writer
{
    const char* name;
    DatasetExport::Format format;
    std::function<bool(const QList<VectarisDataset>&, QIODevice*)> toDevice;
    std::function<bool(const QList<VectarisDataset>&, const QString&)> toFile;
};
const Writer kWriters[] = {
    {"kml", DatasetExport::Format::Kml, [](auto& d, QIODevice* io) { return VectarisDatasetsToKml(d, io); },
     VectarisDatasetsToKmlFile},
    {"gpx", DatasetExport::Format::Gpx, [](auto& d, QIODevice* io) { return VectarisDatasetsToGpx(d, io); },
     VectarisDatasetsToGpxFile},
    {"csv", DatasetExport::Format::Csv, [](auto& d, QIODevice* io) { return VectarisDatasetsToCsv(d, io); },
     VectarisDatasetsToCsvFile}};

// A device that takes `limit` bytes and then fails, like a disk that fills up.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 limit) : m_limit(limit) {}

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        if (m_written + size > m_limit)
            return -1;
        m_written += size;
        return size;
    }

private:
    qint64 m_limit;
    qint64 m_written = 0;
};

TEST_F(ExportFormats, AFailedWriteReportsFailureAndLeavesNoFile)
{
    // Enough points that the document spans several write blocks.
    QList<VectarisDataset> datasets = testSeries();
    for (int i = 0; i < 12; ++i)
        datasets[4].points += datasets[4].points;
    QTemporaryDir dir;
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        FullDevice full(300 * 1024);
        full.open(QIODevice::WriteOnly);
        EXPECT_FALSE(writer.toDevice(datasets, &full));

        QBuffer closedReadOnly;
        closedReadOnly.open(QIODevice::ReadOnly);
        EXPECT_FALSE(writer.toDevice(datasets, &closedReadOnly));

        const QString nowhere = dir.filePath(QStringLiteral("missing/series.") + QLatin1String(writer.name));
        EXPECT_FALSE(writer.toFile(datasets, nowhere));
        EXPECT_FALSE(QFile::exists(nowhere));
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

        const QString good = dir.filePath(QStringLiteral("series.") + QLatin1String(writer.name));
        EXPECT_TRUE(writer.toFile(datasets, good));
        EXPECT_GT(QFileInfo(good).size(), 300 * 1024);
        QFile::remove(good);
    }
}

// On its own thread: the same bytes as the writer on the caller's thread, progress up to the last
// point; cancelled mid-document, the earlier file stays as it was and no temporary file is left; a
// failure says why.
TEST_F(ExportFormats, AnExportOnItsThreadWritesTheSameFileOrLeavesTheEarlierOne)
{
    QList<VectarisDataset> datasets = testSeries();
    for (int i = 0; i < 8; ++i) // several batches of points
        datasets[4].points += datasets[4].points;
    qint64 total = 0;
    for (const VectarisDataset& dataset : datasets)
        total += dataset.points.size();
    QTemporaryDir dir;
    const QString reference = dir.filePath(QStringLiteral("reference"));
    const QString target = dir.filePath(QStringLiteral("target"));
    const auto run = [](DatasetExport& job) {
        QSignalSpy finished(&job, &DatasetExport::finished);
        job.start();
        return finished.wait(30000) ? finished.first() : QVariantList{};
    };
    const auto contents = [](const QString& fileName) {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    };
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        const DatasetExport::Format format = writer.format;
        ASSERT_TRUE(writer.toFile(datasets, reference));

        DatasetExport written(datasets, target, format);
        QSignalSpy progress(&written, &DatasetExport::progressChanged);
        EXPECT_EQ(run(written), (QVariantList{DatasetExport::Written, QString()}));
        EXPECT_EQ(contents(target), contents(reference));
        ASSERT_FALSE(progress.isEmpty());
        EXPECT_EQ(progress.last(), (QVariantList{total, total}));

        QFile::remove(target);
        {
            QFile earlier(target);
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        DatasetExport cancelled(datasets, target, format);
        cancelled.progress().setBatchHook([&](qint64) { cancelled.cancel(); });
        EXPECT_EQ(run(cancelled).value(0), DatasetExport::Cancelled);
        EXPECT_LT(cancelled.progress().done(), total); // stopped at its first batch
        EXPECT_EQ(contents(target), QByteArray("earlier"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral("reference"), QStringLiteral("target")}));

        DatasetExport failed(datasets, dir.filePath(QStringLiteral("missing/target")), format);
        const QVariantList result = run(failed);
        EXPECT_EQ(result.value(0), DatasetExport::Failed);
        EXPECT_FALSE(result.value(1).toString().isEmpty());
        QFile::remove(target);
    }
}

} // namespace
