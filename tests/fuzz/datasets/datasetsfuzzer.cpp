// Feeds arbitrary bytes to the dataset store parser as a damaged control unit would send them, converts
// every series and exports the result as KML.
//
// Checked beyond "no crash, no hang, no leak": every kept record is complete and marked valid, each
// series keeps its records in number, and the KML document is well-formed XML with one point placemark
// per point, whatever the titles and GPS texts held.
#include "measurements/parsedatasetrecords.h"
#include "measurements/vectarisdataset.h"
#include "measurements/vectarisdatasetstokml.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <cstddef>
#include <cstdint>

namespace {
void silence(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (qInstallMessageHandler(silence), true);
    Q_UNUSED(quiet)

    const QByteArray image(reinterpret_cast<const char*>(data), int(size));
    const QList<DatasetRecord> records = parseDatasetRecords(image);

    QList<VectarisDataset> datasets;
    int points = 0;
    for (const DatasetRecord& record : records) {
        if (record.text.size() != DatasetRecord::kTextSize || record.recordsLength == 0)
            __builtin_trap();
        for (const DataPointRecord& point : record.points) {
            if (point.valid != 1 || point.gpsText.size() != DataPointRecord::kGpsTextSize)
                __builtin_trap();
        }
        const VectarisDataset dataset(record);
        if (dataset.points.size() != record.points.size() ||
            (dataset.date.isValid() && !dataset.title.isEmpty()))
            __builtin_trap();
        points += dataset.points.size();
        datasets.append(dataset);
    }
    // Every record takes 144 bytes of the image and each byte starts at most one slot.
    if (qint64(points) > qint64(size))
        __builtin_trap();

    QByteArray document;
    QBuffer buffer(&document);
    if (!VectarisDatasetsToKml(datasets, &buffer))
        __builtin_trap();
    QXmlStreamReader reader(document);
    int placemarks = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == "Placemark")
            ++placemarks;
    }
    if (reader.hasError() || placemarks != points + datasets.size())
        __builtin_trap();
    return 0;
}
