#include "measurements/vectarisdatasetstocsv.h"

#include "measurements/exportdocument.h"
#include "measurements/exportprogress.h"
#include "measurements/generalnumber.h"
#include "measurements/isotimetext.h"
#include "measurements/xmlsafetext.h"

#include <QGeoCoordinate>
#include <QSaveFile>

#include <charconv>

namespace {

const char kHeader[] =
    "Series,Series date,Point,Time,Latitude,Longitude,MaxCoil [dB],MinCoil [dB],Depth [m],"
    "Amperage [A],Frequency [Hz],ModeLevel,Azimuth [deg],Zenit [deg],HazeLevel,SisValue\r\n";

class CsvTableWriter
{
public:
    CsvTableWriter(QIODevice* device, ExportProgress* progress) : m_device(device), m_progress(progress)
    {
        m_block.reserve(kBlockSize + 4096);
    }

    bool write(const QList<VectarisDataset>& datasets)
    {
        m_block.append(kHeader);
        for (const VectarisDataset& dataset : datasets) {
            writeSeries(dataset);
            if (m_error || m_cancelled)
                return false;
        }
        flush();
        return !m_error;
    }

private:
    static constexpr int kBlockSize = 256 * 1024;

    void writeSeries(const VectarisDataset& dataset)
    {
        // The two series columns are the same on every row of the series: built once.
        QByteArray prefix;
        appendField(prefix, xmlSafeText(dataset.title.isEmpty() ? dataset.date.toString(Qt::TextDate)
                                                                : dataset.title));
        prefix.append(',');
        prefix.append(m_times.withOffset(dataset.date));
        prefix.append(',');

        quint32 k = 0;
        char text[32];
        for (const VectarisDataPoint& point : dataset.points) {
            m_block.append(prefix);
            m_block.append(text, int(std::to_chars(text, text + sizeof text, ++k).ptr - text));
            m_block.append(',');
            const QGeoCoordinate coordinate = point.position.coordinate();
            if (coordinate.isValid()) {
                m_block.append(m_times.withOffset(point.position.timestamp()));
                m_block.append(',');
                m_block.append(text, writeGeneralNumber(text, coordinate.latitude(), 10));
                m_block.append(',');
                m_block.append(text, writeGeneralNumber(text, coordinate.longitude(), 10));
            } else {
                m_block.append(",,", 2);
            }
            const float values[] = {point.maxCoil, point.minCoil, point.depth, point.amperage};
            for (float value : values) {
                m_block.append(',');
                m_block.append(text, writeGeneralNumber(text, double(value), 6));
            }
            m_block.append(',');
            m_block.append(text, int(std::to_chars(text, text + sizeof text, point.frequency).ptr - text));
            const float more[] = {point.modeLevel, point.azimuth, point.zenit, point.hazeLevel,
                                  point.sisValue};
            for (float value : more) {
                m_block.append(',');
                m_block.append(text, writeGeneralNumber(text, double(value), 6));
            }
            m_block.append("\r\n", 2);
            if (m_block.size() >= kBlockSize && !flush())
                return;
            if (m_progress && !m_progress->advance()) {
                m_cancelled = true;
                return;
            }
        }
    }

    // Quoted only when it has to be; quotes inside are doubled. Spreadsheets run a cell that begins
    // with =, +, - or @ as a formula, and a series title is whatever was typed on the instrument: such
    // a text gets a leading apostrophe, which they take as "this is text" and do not show.
    static void appendField(QByteArray& out, const QString& text)
    {
        QByteArray utf8 = text.toUtf8();
        if (!utf8.isEmpty() && QByteArray("=+-@").contains(utf8.at(0)))
            utf8.prepend('\'');
        if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\n') && !utf8.contains('\r')) {
            out.append(utf8);
            return;
        }
        out.append('"');
        for (char c : utf8) {
            if (c == '"')
                out.append('"');
            out.append(c);
        }
        out.append('"');
    }

    bool flush()
    {
        if (!m_error && !m_block.isEmpty() && m_device->write(m_block) != m_block.size())
            m_error = true;
        m_block.resize(0);
        return !m_error;
    }

    QIODevice* m_device;
    ExportProgress* m_progress;
    bool m_cancelled = false;
    QByteArray m_block;
    IsoTimeText m_times;
    bool m_error = false;
};

} // namespace

bool VectarisDatasetsToCsv(const QList<VectarisDataset>& datasets, QIODevice* device)
{
    return VectarisDatasetsToCsv(datasets, device, nullptr);
}

bool VectarisDatasetsToCsv(const QList<VectarisDataset>& datasets, QIODevice* device,
                           ExportProgress* progress)
{
    return ExportDocument::write(
        device, [&](QIODevice* open) { return CsvTableWriter(open, progress).write(datasets); });
}

bool VectarisDatasetsToCsvFile(const QList<VectarisDataset>& datasets, const QString& fileName)
{
    return ExportDocument::save(fileName,
                                [&](QIODevice* file) { return VectarisDatasetsToCsv(datasets, file); });
}
