#include "measurements/vectarisdatasetstokml.h"

#include "measurements/exportdocument.h"
#include "measurements/exportprogress.h"
#include "measurements/generalnumber.h"
#include "measurements/kmlstreamwriter.h"

#include <QCoreApplication>
#include <QGeoCoordinate>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

const char kNamespace[] = "http://www.opengis.net/kml/2.2";
const char kPointIcon[] = "http://maps.google.com/mapfiles/kml/shapes/placemark_circle.png";

QString translated(const char* text)
{
    return QCoreApplication::translate("VectarisDatasetsToKml", text);
}

int writeUnsigned(char* out, quint32 value)
{
    return int(std::to_chars(out, out + 16, value).ptr - out);
}

void writeDigits(char* out, int value, int digits)
{
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
}

// ISO 8601 with the UTC offset ("2019-05-01T14:45:12+02:00", "Z" for UTC): a local time without its
// offset would be read as UTC and move every point in time by the offset. Written by hand because the
// framework's conversions cost several times more than the rest of a placemark.
QByteArray isoTimeWithOffset(const QDateTime& time, int offset)
{
    if (!time.isValid())
        return QByteArray();
    const QDate date = time.date();
    const QTime clock = time.time();
    if (date.year() < 0 || date.year() > 9999 || offset % 60 != 0)
        return time.toOffsetFromUtc(offset).toString(Qt::ISODate).toLatin1();
    char text[32];
    writeDigits(text, date.year(), 4);
    text[4] = '-';
    writeDigits(text + 5, date.month(), 2);
    text[7] = '-';
    writeDigits(text + 8, date.day(), 2);
    text[10] = 'T';
    writeDigits(text + 11, clock.hour(), 2);
    text[13] = ':';
    writeDigits(text + 14, clock.minute(), 2);
    text[16] = ':';
    writeDigits(text + 17, clock.second(), 2);
    if (offset == 0) {
        text[19] = 'Z';
        return QByteArray(text, 20);
    }
    const int minutes = (offset < 0 ? -offset : offset) / 60;
    text[19] = offset < 0 ? '-' : '+';
    writeDigits(text + 20, minutes / 60, 2);
    text[22] = ':';
    writeDigits(text + 23, minutes % 60, 2);
    return QByteArray(text, 25);
}

// The UTC offset of local time stamps, remembered per local minute and daylight-saving flag. The
// framework derives a local time's offset from exactly these two (through the C library, which
// costs as much as writing the rest of a placemark), and offsets change only at whole minutes, so
// the answer is the framework's own. Consecutive points are seconds apart: nearly every lookup hits.
class UtcOffsetCache
{
public:
    int offsetOf(const QDateTime& time)
    {
        if (!time.isValid() || time.timeSpec() != Qt::LocalTime)
            return time.offsetFromUtc();
        const qint64 minute = time.date().toJulianDay() * 1440 + time.time().msecsSinceStartOfDay() / 60000;
        const bool daylight = time.isDaylightTime();
        if (!m_valid || minute != m_minute || daylight != m_daylight) {
            m_offset = time.offsetFromUtc();
            m_minute = minute;
            m_daylight = daylight;
            m_valid = true;
        }
        return m_offset;
    }

private:
    bool m_valid = false;
    qint64 m_minute = 0;
    bool m_daylight = false;
    int m_offset = 0;
};

// "lon,lat,0" with ten significant digits.
int writeCoordinates(char* out, const QGeoCoordinate& coordinate)
{
    int n = writeGeneralNumber(out, coordinate.longitude(), 10);
    out[n++] = ',';
    n += writeGeneralNumber(out + n, coordinate.latitude(), 10);
    std::memcpy(out + n, ",0", 2);
    return n + 2;
}

// The measured values in document order; only the first four have a display name.
struct DataField
{
    const char* name;
    QByteArray displayName; // escaped UTF-8
};

constexpr int kFieldCount = 10;
constexpr int kFrequencyField = 4;

QByteArray escaped(const QString& text)
{
    QByteArray out;
    KmlStreamWriter::appendEscaped(out, text);
    return out;
}

class DocumentWriter
{
public:
    DocumentWriter(QIODevice* device, ExportProgress* progress) : m_xml(device), m_progress(progress)
    {
        const DataField fields[kFieldCount] = {{"MaxCoil", escaped(translated("Max. Coil [dB]"))},
                                               {"MinCoil", escaped(translated("Min. Coil [dB]"))},
                                               {"Depth", escaped(translated("Depth [m]"))},
                                               {"Amperage", escaped(translated("Amperage"))},
                                               {"Frequency", QByteArray()},
                                               {"ModeLevel", QByteArray()},
                                               {"Azimuth", QByteArray()},
                                               {"Zenit", QByteArray()},
                                               {"HazeLevel", QByteArray()},
                                               {"SisValue", QByteArray()}};
        std::copy(std::begin(fields), std::end(fields), std::begin(m_fields));
    }

    bool write(const QList<VectarisDataset>& datasets)
    {
        m_xml.writeStartDocument();
        m_xml.writeStartElement("kml");
        m_xml.writeAttribute("xmlns", QLatin1String(kNamespace));
        m_xml.writeStartElement("Document");
        writeStyles();
        m_xml.writeStartElement("Folder");
        m_xml.writeRawTextElement("name", QByteArrayLiteral("Datasets"));
        for (const VectarisDataset& dataset : datasets) {
            writeSeries(dataset);
            if (m_cancelled)
                return false;
            if (m_xml.hasError())
                break;
        }
        m_xml.writeEndDocument();
        return !m_xml.hasError();
    }

private:
    void writeStyles()
    {
        m_xml.writeStartElement("Style");
        m_xml.writeAttribute("id", QStringLiteral("pointStyle"));
        m_xml.writeStartElement("IconStyle");
        m_xml.writeRawTextElement("scale", QByteArrayLiteral("0.8"));
        m_xml.writeRawTextElement("heading", QByteArrayLiteral("0"));
        m_xml.writeStartElement("Icon");
        m_xml.writeTextElement("href", QLatin1String(kPointIcon));
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeEndElement();

        m_xml.writeStartElement("Style");
        m_xml.writeAttribute("id", QStringLiteral("lineStyle"));
        m_xml.writeStartElement("LineStyle");
        m_xml.writeRawTextElement("color", QByteArrayLiteral("E30613aa"));
        m_xml.writeRawTextElement("width", QByteArrayLiteral("6"));
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }

    void writeSeries(const VectarisDataset& dataset)
    {
        m_xml.writeStartElement("Folder");
        m_xml.writeTextElement("name",
                               dataset.title.isEmpty() ? dataset.date.toString(Qt::TextDate) : dataset.title);
        // An undated series gets no time stamp rather than an empty, unreadable one.
        const QByteArray when = isoTimeWithOffset(dataset.date, m_offsets.offsetOf(dataset.date));
        if (!when.isEmpty()) {
            m_xml.writeStartElement("TimeStamp");
            m_xml.writeRawTextElement("when", when);
            m_xml.writeEndElement();
        }
        m_xml.writeStartElement("Folder");
        m_xml.writeRawTextElement("name", QByteArrayLiteral("Track"));

        QByteArray namePrefix;
        if (!dataset.title.isEmpty()) {
            KmlStreamWriter::appendEscaped(namePrefix, dataset.title);
            namePrefix.append(": ");
        }
        m_line.resize(0);
        quint32 k = 0;
        for (const VectarisDataPoint& point : dataset.points) {
            writePoint(point, namePrefix, ++k);
            if (m_xml.hasError())
                return;
            if (m_progress && !m_progress->advance()) {
                m_cancelled = true;
                return;
            }
        }

        m_xml.writeStartElement("Placemark");
        m_xml.writeRawTextElement("name", QByteArrayLiteral("Track"));
        m_xml.writeRawTextElement("styleUrl", QByteArrayLiteral("#lineStyle"));
        m_xml.writeStartElement("LineString");
        m_xml.writeRawTextElement("coordinates", m_line);
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }

    void writePoint(const VectarisDataPoint& point, const QByteArray& namePrefix, quint32 k)
    {
        char text[64];
        m_xml.writeStartElement("Placemark");
        m_name.resize(0);
        m_name.append(namePrefix);
        m_name.append(text, writeUnsigned(text, k));
        m_xml.writeRawTextElement("name", m_name);
        m_xml.writeRawTextElement("styleUrl", QByteArrayLiteral("#pointStyle"));

        // A point without a fix has no place and no time: it keeps its placemark and values only.
        const QGeoCoordinate coordinate = point.position.coordinate();
        const QDateTime timestamp = point.position.timestamp();
        if (timestamp.isValid() && coordinate.isValid()) {
            m_xml.writeStartElement("TimeStamp");
            m_xml.writeRawTextElement("when", isoTimeWithOffset(timestamp, m_offsets.offsetOf(timestamp)));
            m_xml.writeEndElement();
        }
        if (coordinate.isValid()) {
            const int n = writeCoordinates(text, coordinate);
            m_xml.writeStartElement("Point");
            m_xml.writeRawTextElement("coordinates", text, n);
            m_xml.writeEndElement();
            m_line.append(text, n);
            m_line.append(' ');
        }

        const float values[] = {point.maxCoil,   point.minCoil, point.depth, point.amperage,  0,
                                point.modeLevel, point.azimuth, point.zenit, point.hazeLevel, point.sisValue};
        m_xml.writeStartElement("ExtendedData");
        for (int i = 0; i < kFieldCount; ++i) {
            const DataField& field = m_fields[i];
            m_xml.writeStartElement("Data");
            m_xml.writeRawAttribute("name", field.name);
            if (!field.displayName.isEmpty())
                m_xml.writeRawTextElement("displayName", field.displayName);
            const int n = i == kFrequencyField ? writeUnsigned(text, point.frequency)
                                               : writeGeneralNumber(text, double(values[i]), 6);
            m_xml.writeRawTextElement("value", text, n);
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }

    KmlStreamWriter m_xml;
    ExportProgress* m_progress;
    bool m_cancelled = false;
    UtcOffsetCache m_offsets;
    DataField m_fields[kFieldCount];
    QByteArray m_line;
    QByteArray m_name;
};

} // namespace

bool VectarisDatasetsToKml(const QList<VectarisDataset>& datasets, QIODevice* device)
{
    return VectarisDatasetsToKml(datasets, device, nullptr);
}

bool VectarisDatasetsToKml(const QList<VectarisDataset>& datasets, QIODevice* device,
                           ExportProgress* progress)
{
    return ExportDocument::write(
        device, [&](QIODevice* open) { return DocumentWriter(open, progress).write(datasets); });
}

bool VectarisDatasetsToKmlFile(const QList<VectarisDataset>& datasets, const QString& fileName)
{
    return ExportDocument::save(fileName,
                                [&](QIODevice* file) { return VectarisDatasetsToKml(datasets, file); });
}
