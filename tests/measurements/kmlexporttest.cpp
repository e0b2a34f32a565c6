#include "measurements/generalnumber.h"
#include "measurements/vectarisdatasetstokml.h"

#include "kmltestdata.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <gtest/gtest.h>

#include <cstring>

namespace {

QString cleanText(const QString& text)
{
    QString result;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0xFFFE)
            result.append(c);
    }
    return result;
}

QString isoWithOffset(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

// The document as the framework's own XML writer lays it out, element for element, written the slow
// and obvious way. The export must produce exactly these bytes.
QByteArray referenceDocument(const QList<VectarisDataset>& datasets)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&buffer);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("kml"));
    xml.writeAttribute(QStringLiteral("xmlns"), QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeStartElement(QStringLiteral("Document"));
    xml.writeStartElement(QStringLiteral("Style"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("pointStyle"));
    xml.writeStartElement(QStringLiteral("IconStyle"));
    xml.writeTextElement(QStringLiteral("scale"), QStringLiteral("0.8"));
    xml.writeTextElement(QStringLiteral("heading"), QStringLiteral("0"));
    xml.writeStartElement(QStringLiteral("Icon"));
    xml.writeTextElement(QStringLiteral("href"),
                         QStringLiteral("http://maps.google.com/mapfiles/kml/shapes/placemark_circle.png"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("Style"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("lineStyle"));
    xml.writeStartElement(QStringLiteral("LineStyle"));
    xml.writeTextElement(QStringLiteral("color"), QStringLiteral("E30613aa"));
    xml.writeTextElement(QStringLiteral("width"), QStringLiteral("6"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("Folder"));
    xml.writeTextElement(QStringLiteral("name"), QStringLiteral("Datasets"));
    const QStringList names = {"MaxCoil",   "MinCoil", "Depth", "Amperage",  "Frequency",
                               "ModeLevel", "Azimuth", "Zenit", "HazeLevel", "SisValue"};
    const QStringList displayNames = {"Max. Coil [dB]", "Min. Coil [dB]", "Depth [m]", "Amperage"};
    for (const VectarisDataset& dataset : datasets) {
        const QString title = cleanText(dataset.title);
        xml.writeStartElement(QStringLiteral("Folder"));
        xml.writeTextElement(QStringLiteral("name"),
                             title.isEmpty() ? dataset.date.toString(Qt::TextDate) : title);
        if (dataset.date.isValid()) {
            xml.writeStartElement(QStringLiteral("TimeStamp"));
            xml.writeTextElement(QStringLiteral("when"), isoWithOffset(dataset.date));
            xml.writeEndElement();
        }
        xml.writeStartElement(QStringLiteral("Folder"));
        xml.writeTextElement(QStringLiteral("name"), QStringLiteral("Track"));
        QString line;
        int k = 0;
        for (const VectarisDataPoint& p : dataset.points) {
            ++k;
            xml.writeStartElement(QStringLiteral("Placemark"));
            xml.writeTextElement(QStringLiteral("name"), title.isEmpty()
                                                             ? QString::number(k)
                                                             : QStringLiteral("%1: %2").arg(title).arg(k));
            xml.writeTextElement(QStringLiteral("styleUrl"), QStringLiteral("#pointStyle"));
            if (p.position.isValid()) {
                xml.writeStartElement(QStringLiteral("TimeStamp"));
                xml.writeTextElement(QStringLiteral("when"), isoWithOffset(p.position.timestamp()));
                xml.writeEndElement();
                const QString coordinates = QStringLiteral("%1,%2,0")
                                                .arg(p.position.coordinate().longitude(), 0, 'g', 10)
                                                .arg(p.position.coordinate().latitude(), 0, 'g', 10);
                xml.writeStartElement(QStringLiteral("Point"));
                xml.writeTextElement(QStringLiteral("coordinates"), coordinates);
                xml.writeEndElement();
                line += coordinates + QLatin1Char(' ');
            }
            const QList<double> values = {p.maxCoil,   p.minCoil, p.depth, p.amperage,  0,
                                          p.modeLevel, p.azimuth, p.zenit, p.hazeLevel, p.sisValue};
            xml.writeStartElement(QStringLiteral("ExtendedData"));
            for (int i = 0; i < 10; ++i) {
                xml.writeStartElement(QStringLiteral("Data"));
                xml.writeAttribute(QStringLiteral("name"), names.at(i));
                if (i < displayNames.size())
                    xml.writeTextElement(QStringLiteral("displayName"), displayNames.at(i));
                xml.writeTextElement(QStringLiteral("value"), i == 4 ? QString::number(p.frequency)
                                                                     : QString::number(values.at(i), 'g', 6));
                xml.writeEndElement();
            }
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeStartElement(QStringLiteral("Placemark"));
        xml.writeTextElement(QStringLiteral("name"), QStringLiteral("Track"));
        xml.writeTextElement(QStringLiteral("styleUrl"), QStringLiteral("#lineStyle"));
        xml.writeStartElement(QStringLiteral("LineString"));
        xml.writeTextElement(QStringLiteral("coordinates"), line);
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return out;
}

QByteArray exported(const QList<VectarisDataset>& datasets)
{
    QByteArray out;
    QBuffer buffer(&out);
    EXPECT_TRUE(VectarisDatasetsToKml(datasets, &buffer)); // opens the buffer itself
    return out;
}

TEST(KmlExport, MatchesTheFrameworkWriterElementForElement)
{
    qputenv("TZ", "America/Sao_Paulo");
    tzset();
    const QList<VectarisDataset> datasets = kmltestdata::series();
    EXPECT_EQ(exported(datasets).toStdString(), referenceDocument(datasets).toStdString());
    EXPECT_EQ(exported({}).toStdString(), referenceDocument({}).toStdString());
}

TEST(KmlExport, TimesKeepTheirOffsetAcrossDaylightSavingChanges)
{
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const QList<VectarisDataset> datasets = kmltestdata::transitionSeries();
    const QByteArray document = exported(datasets);
    EXPECT_EQ(document.toStdString(), referenceDocument(datasets).toStdString());
    // 02:40 local happens twice on 27 October: once in summer time, once in winter time.
    EXPECT_TRUE(document.contains("<when>2019-10-27T02:40:05+02:00</when>"));
    EXPECT_TRUE(document.contains("<when>2019-10-27T02:40:08+01:00</when>"));
    EXPECT_TRUE(document.contains("<when>2019-03-31T03:00:06+02:00</when>"));
}

TEST(KmlExport, MatchesTheFrameworkWriterInUtc)
{
    qputenv("TZ", "UTC");
    tzset();
    const QList<VectarisDataset> datasets = kmltestdata::series();
    EXPECT_EQ(exported(datasets).toStdString(), referenceDocument(datasets).toStdString());
}

TEST(KmlExport, NamesCoordinatesAndValues)
{
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const QString document = QString::fromUtf8(exported(kmltestdata::series()));
    // Undated-series placemarks are "title: k", dated ones plain k; the no-fix point keeps its number.
    EXPECT_TRUE(document.contains(QStringLiteral("<name>1</name>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<name>2</name>")));
    EXPECT_TRUE(
        document.contains(QStringLiteral("<name>Main street &lt;5&gt; &amp; &quot;Q&quot; 'x': 3</name>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<name>Fill end ä: 1</name>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<coordinates>11.51666667,48.1173,0</coordinates>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<when>2019-05-01T14:45:12+02:00</when>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<when>2019-05-01T15:45:00+02:00</when>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<value>32768</value>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<value>4294967295</value>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<value>1.5</value>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<value>1.23457e+06</value>")));
    EXPECT_FALSE(document.contains(QStringLiteral("nan")));
    EXPECT_FALSE(document.contains(QStringLiteral("<when></when>")));
    EXPECT_EQ(document.count(QStringLiteral("<displayName>")), 4 * 7);
    // The line leaves the point without a fix out and ends with a space; a series without points has
    // an empty line.
    EXPECT_TRUE(document.contains(
        QStringLiteral("<coordinates>11.51666667,48.1173,0 -151.2092955,-33.8688197,0 </coordinates>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<coordinates></coordinates>")));

    QXmlStreamReader reader(document);
    int placemarks = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String("Placemark"))
            ++placemarks;
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_EQ(placemarks, 7 + 4);
}

TEST(KmlExport, GeneralNumbersMatchTheFramework)
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

// A device that accepts only so many bytes, like a disk that fills up.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room) : m_room(room) {}

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        if (size > m_room)
            return -1;
        m_room -= size;
        return size;
    }

private:
    qint64 m_room;
};

class FailingSaveFile : public QSaveFile
{
public:
    using QSaveFile::QSaveFile;

protected:
    qint64 writeData(const char*, qint64) override { return -1; }
};

TEST(KmlExport, WriteErrorsFailAndLeaveNoFileBehind)
{
    FullDevice device(1000);
    EXPECT_FALSE(VectarisDatasetsToKml(kmltestdata::series(), &device));

    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    EXPECT_FALSE(VectarisDatasetsToKml(kmltestdata::series(), &full));

    // A save file whose writes fail is cancelled: committing it leaves the old file as it was.
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.kml"));
    {
        QFile old(fileName);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    FailingSaveFile saveFile(fileName);
    ASSERT_TRUE(saveFile.open(QIODevice::WriteOnly));
    EXPECT_FALSE(VectarisDatasetsToKml(kmltestdata::series(), &saveFile));
    EXPECT_FALSE(saveFile.commit());
    QFile kept(fileName);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old"));

    EXPECT_FALSE(
        VectarisDatasetsToKmlFile(kmltestdata::series(), dir.filePath(QStringLiteral("no/such/dir.kml"))));
    EXPECT_TRUE(VectarisDatasetsToKmlFile(kmltestdata::series(), fileName));
    QFile written(fileName);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().endsWith("</kml>\n"));

    // A device that cannot be opened gets nothing.
    QFile unopenable(dir.filePath(QStringLiteral("no/such/file.kml")));
    EXPECT_FALSE(VectarisDatasetsToKml({}, &unopenable));
    QByteArray readOnlyBytes;
    QBuffer readOnly(&readOnlyBytes);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(VectarisDatasetsToKml({}, &readOnly));
    EXPECT_TRUE(readOnlyBytes.isEmpty());
}

} // namespace
