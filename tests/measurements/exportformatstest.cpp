// CSV cells read back by a plain RFC 4180 parser; a failed write leaves nothing behind, and a write on its
// own thread the same bytes.

#include "measurements/datasetexport.h"
#include "measurements/vectarisdatasetstocsv.h"
#include "measurements/vectarisdatasetstogpx.h"
#include "measurements/vectarisdatasetstokml.h"

#include "kmltestdata.h"
#include "testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>
#include <functional>

namespace {

QList<VectarisDataset> testSeries()
{
    return kmltestdata::series() + kmltestdata::transitionSeries();
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
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        const DatasetExport::Format format = writer.format;
        ASSERT_TRUE(writer.toFile(datasets, reference));

        DatasetExport written(datasets, target, format);
        QSignalSpy progress(&written, &DatasetExport::progressChanged);
        EXPECT_EQ(run(written), (QVariantList{DatasetExport::Written, QString()}));
        EXPECT_EQ(readFile(target), readFile(reference));
        ASSERT_FALSE(progress.isEmpty());
        EXPECT_EQ(progress.last(), (QVariantList{total, total}));

        QFile::remove(target);
        writeFile(target, "earlier");
        DatasetExport cancelled(datasets, target, format);
        cancelled.progress().setBatchHook([&](qint64) { cancelled.cancel(); });
        EXPECT_EQ(run(cancelled).value(0), DatasetExport::Cancelled);
        EXPECT_LT(cancelled.progress().done(), total); // stopped at its first batch
        EXPECT_EQ(readFile(target), QByteArray("earlier"));
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
