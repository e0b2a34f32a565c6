#include "measurements/vectarisdatasetstogpx.h"

#include "measurements/exportdocument.h"
#include "measurements/exportprogress.h"
#include "measurements/generalnumber.h"
#include "measurements/isotimetext.h"
#include "measurements/kmlstreamwriter.h"

#include <QGeoCoordinate>
#include <QSaveFile>

#include <charconv>

const char kVectarisGpxNamespace[] = "urn:vectaris:measurement:1";

namespace {

const char kGpxNamespace[] = "http://www.topografix.com/GPX/1/1";
const char kSchemaLocation[] = "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd";

// Element names of the measured values, in the order of the KML export's extended data.
const char* const kValueNames[] = {"vx:maxCoil",   "vx:minCoil", "vx:depth", "vx:amperage",  "vx:frequency",
                                   "vx:modeLevel", "vx:azimuth", "vx:zenit", "vx:hazeLevel", "vx:sisValue"};
constexpr int kFrequencyValue = 4;

class GpxDocumentWriter
{
public:
    GpxDocumentWriter(QIODevice* device, ExportProgress* progress) : m_xml(device), m_progress(progress) {}

    bool write(const QList<VectarisDataset>& datasets)
    {
        m_xml.writeStartDocument();
        m_xml.writeStartElement("gpx");
        m_xml.writeRawAttribute("version", "1.1");
        m_xml.writeRawAttribute("creator", "Service Tool");
        m_xml.writeRawAttribute("xmlns", kGpxNamespace);
        m_xml.writeRawAttribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
        m_xml.writeRawAttribute("xsi:schemaLocation", kSchemaLocation);
        m_xml.writeRawAttribute("xmlns:vx", kVectarisGpxNamespace);
        for (const VectarisDataset& dataset : datasets) {
            writeTrack(dataset);
            if (m_cancelled)
                return false;
            if (m_xml.hasError())
                break;
        }
        m_xml.writeEndDocument();
        return !m_xml.hasError();
    }

private:
    void writeTrack(const VectarisDataset& dataset)
    {
        m_xml.writeStartElement("trk");
        m_xml.writeTextElement("name",
                               dataset.title.isEmpty() ? dataset.date.toString(Qt::TextDate) : dataset.title);
        m_xml.writeStartElement("trkseg");
        for (const VectarisDataPoint& point : dataset.points) {
            writePoint(point);
            if (m_xml.hasError())
                return;
            // Points without a fix count as well: they were dealt with.
            if (m_progress && !m_progress->advance()) {
                m_cancelled = true;
                return;
            }
        }
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }

    void writePoint(const VectarisDataPoint& point)
    {
        const QGeoCoordinate coordinate = point.position.coordinate();
        if (!coordinate.isValid())
            return;
        char latitude[32];
        char longitude[32];
        latitude[writeGeneralNumber(latitude, coordinate.latitude(), 10)] = '\0';
        longitude[writeGeneralNumber(longitude, coordinate.longitude(), 10)] = '\0';
        m_xml.writeStartElement("trkpt");
        m_xml.writeRawAttribute("lat", latitude);
        m_xml.writeRawAttribute("lon", longitude);
        const QByteArray time = m_times.utc(point.position.timestamp());
        if (!time.isEmpty())
            m_xml.writeRawTextElement("time", time);

        const float values[] = {point.maxCoil,   point.minCoil, point.depth, point.amperage,  0,
                                point.modeLevel, point.azimuth, point.zenit, point.hazeLevel, point.sisValue};
        char text[32];
        m_xml.writeStartElement("extensions");
        for (int i = 0; i < int(std::size(kValueNames)); ++i) {
            const int n = i == kFrequencyValue
                              ? int(std::to_chars(text, text + sizeof text, point.frequency).ptr - text)
                              : writeGeneralNumber(text, double(values[i]), 6);
            m_xml.writeRawTextElement(kValueNames[i], text, n);
        }
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }

    KmlStreamWriter m_xml;
    ExportProgress* m_progress;
    bool m_cancelled = false;
    IsoTimeText m_times;
};

} // namespace

bool VectarisDatasetsToGpx(const QList<VectarisDataset>& datasets, QIODevice* device)
{
    return VectarisDatasetsToGpx(datasets, device, nullptr);
}

bool VectarisDatasetsToGpx(const QList<VectarisDataset>& datasets, QIODevice* device,
                           ExportProgress* progress)
{
    return ExportDocument::write(
        device, [&](QIODevice* open) { return GpxDocumentWriter(open, progress).write(datasets); });
}

bool VectarisDatasetsToGpxFile(const QList<VectarisDataset>& datasets, const QString& fileName)
{
    return ExportDocument::save(fileName,
                                [&](QIODevice* file) { return VectarisDatasetsToGpx(datasets, file); });
}
