// Reading and exporting a full dataset store: 100 series of 10,000 points (one million points).
//
// Targets: parse + convert at 500,000 points/s or more; KML, GPX and CSV export at 400,000 points/s or
// more each, with heap use during the export that does not grow with the number of points (the
// "extra_heap_MB" counter: largest heap in use while writing, above what was in use before; compare
// the two sizes).
#include "measurements/parsedatasetrecords.h"
#include "measurements/vectarisdataset.h"
#include "measurements/vectarisdatasetstocsv.h"
#include "measurements/vectarisdatasetstogpx.h"
#include "measurements/vectarisdatasetstokml.h"

#include "bench/support/shortrun.h"
#include "sim/datasetstoreimage.h"

#include <QCoreApplication>
#include <QIODevice>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>

namespace {

qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

QByteArray storeImage(int series, int pointsPerSeries)
{
    DatasetStoreImage image;
    const QDateTime start(QDate(2019, 5, 1), QTime(8, 0), Qt::UTC);
    for (int s = 0; s < series; ++s) {
        DatasetStoreImage::Series slot;
        slot.text = s % 2 ? DatasetStoreImage::dateText(start.addDays(s))
                          : QByteArray("Main street ") + QByteArray::number(s);
        for (int p = 0; p < pointsPerSeries; ++p) {
            DatasetStoreImage::Point point;
            point.maxCoil = 40.5f + p % 7;
            point.minCoil = -3.25f;
            point.depth = 0.01f * float(p % 300);
            point.amperage = 0.125f * float(p % 50);
            point.frequency = 32768;
            point.modeLevel = 1;
            point.azimuth = float(p % 360);
            point.zenit = -12.5f;
            point.hazeLevel = 0.3f;
            point.sisValue = 1e6f;
            point.gpsText =
                DatasetStoreImage::rmcSentence(48.1 + p * 1e-6, 11.5 - s * 1e-3, start.addSecs(p));
            slot.points.append(point);
        }
        image.series.append(slot);
    }
    return image.build();
}

QList<VectarisDataset> convert(const QByteArray& image)
{
    QList<VectarisDataset> datasets;
    for (const DatasetRecord& record : parseDatasetRecords(image))
        datasets.append(VectarisDataset(record));
    return datasets;
}

// Swallows the document, sampling the heap at every block the writer hands over.
class HeapSamplingSink : public QIODevice
{
public:
    qint64 peakHeap = 0;
    qint64 bytes = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        peakHeap = std::max(peakHeap, heapInUse());
        bytes += size;
        return size;
    }
};

void BM_ParseAndConvert(benchmark::State& state)
{
    const int pointsPerSeries = int(state.range(0)) / 100;
    const QByteArray image = storeImage(100, pointsPerSeries);
    qint64 points = 0;
    for (auto _ : state) {
        const QList<VectarisDataset> datasets = convert(image);
        points += 100 * pointsPerSeries;
        benchmark::DoNotOptimize(datasets.size());
    }
    state.SetItemsProcessed(points);
    state.SetBytesProcessed(qint64(state.iterations()) * image.size());
}
BENCHMARK(BM_ParseAndConvert)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(benchMinTime(3));

using ExportFunction = bool (*)(const QList<VectarisDataset>&, QIODevice*);

void exportBenchmark(benchmark::State& state, ExportFunction write)
{
    const QList<VectarisDataset> datasets = convert(storeImage(100, int(state.range(0)) / 100));
    qint64 points = 0;
    qint64 extraHeap = 0;
    qint64 documentBytes = 0;
    for (auto _ : state) {
        HeapSamplingSink sink;
        sink.open(QIODevice::WriteOnly);
        const qint64 before = heapInUse();
        if (!write(datasets, &sink))
            state.SkipWithError("export failed");
        extraHeap = std::max(extraHeap, sink.peakHeap - before);
        documentBytes = sink.bytes;
        points += state.range(0);
    }
    state.SetItemsProcessed(points);
    state.counters["extra_heap_MB"] = double(extraHeap) / (1 << 20);
    state.counters["document_MB"] = double(documentBytes) / (1 << 20);
}

void BM_KmlExport(benchmark::State& state)
{
    exportBenchmark(state, VectarisDatasetsToKml);
}
BENCHMARK(BM_KmlExport)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(benchMinTime(3));

void BM_GpxExport(benchmark::State& state)
{
    exportBenchmark(state, VectarisDatasetsToGpx);
}
BENCHMARK(BM_GpxExport)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(benchMinTime(3));

void BM_CsvExport(benchmark::State& state)
{
    exportBenchmark(state, VectarisDatasetsToCsv);
}
BENCHMARK(BM_CsvExport)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(benchMinTime(3));

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
